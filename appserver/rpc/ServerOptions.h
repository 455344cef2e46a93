#pragma once
// The application server's command line: what it serves, where it listens and its limits.
// parseOptions never exits or prints; main() decides what to do with help and errors.

#include <chrono>
#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "wire/DefaultAddress.h"
#include "wire/Limits.h"

namespace appserver {

struct ServerOptions {
    std::string db = "sqlite:vlp.sqlite";
    std::string host{wire::kDefaultHost};
    unsigned short port = wire::kDefaultPort;  // 0: any free port (tests)
    bool seedDemo = false;
    unsigned workers = 0;  // threads running long calls, with a store each; 0: 2 per core, >= 4
    unsigned ioThreads =
        0;  // threads serving the sockets and key reads, with a store each; 0: 1/core
    std::size_t maxBodyBytes = wire::kMaxBodyBytes;
    // Bytes of request bodies held at once across every connection; beyond, 503 + Retry-After.
    std::size_t bodyBudgetBytes = 256 * 1024 * 1024;
    std::size_t maxHeaderBytes = 64 * 1024;
    std::size_t maxConnections = 10000;
    std::size_t maxConnectionsPerAddress = 32;        // from one client address
    std::chrono::milliseconds idleTimeout{60'000};    // waiting for a request to start
    std::chrono::milliseconds headerTimeout{10'000};  // from its first byte to its last header
    std::size_t minBodyBytesPerSecond = 1024;         // averaged over the body, after a grace
    std::string tlsCertificate;  // PEM chain; with tlsKey, the server speaks HTTPS only
    std::string tlsKey;
    bool insecure = false;  // may listen beyond loopback without TLS (tests)
    // Not on the command line; tests shorten them.
    std::size_t signInQueue = 64;                       // sign-in checks under way at once
    std::chrono::milliseconds credentialRecheck{5000};  // a connection's accepted credentials
};

struct ParsedOptions {
    ServerOptions options;
    bool help = false;
    std::string error;  // non-empty: the command line was refused, with this text
};

// args excludes the program name. Accepts "--opt value" and "--opt=value". With --config FILE the
// file's settings are read first (config/ConfigFile.h) and the command line's override them; a
// refusal in the file names its line.
ParsedOptions parseOptions(std::span<const std::string_view> args);

// The --help text, listing every option with its default, from the table parseOptions reads.
std::string optionsHelp();

// A configuration file for --config from the same table: every option with its meaning and
// default in comments; those in settings ("db" -> URL) written as lines in force, the others
// commented out with their default.
std::string optionsFile(const std::map<std::string, std::string, std::less<>>& settings);

// True for 127.0.0.0/8, ::1 and "localhost".
bool isLoopback(std::string_view host);

// The database URL with any password replaced, for logs.
std::string redactedUrl(std::string_view url);

}  // namespace appserver
