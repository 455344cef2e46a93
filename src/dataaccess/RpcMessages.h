#pragma once
// The Portuguese texts of connection failures, shared by every transport so that the user reads
// the same words whatever carried the call. Each names the server as HOST:PORT.

#include <chrono>
#include <string>
#include <string_view>

namespace rpcmsg {

std::string endpoint(std::string_view host, int port);

std::string refused(std::string_view host, int port);
std::string hostNotFound(std::string_view host, int port);
std::string connectTimedOut(std::string_view host, int port);
std::string connectFailed(std::string_view host, int port, std::string_view why);
std::string answerTimedOut(std::string_view host, int port, std::chrono::milliseconds waited);
std::string notOpen(std::string_view host, int port);
std::string dropped(std::string_view host, int port);
std::string sendFailed(std::string_view host, int port);
std::string tooLarge(std::string_view host, int port);
std::string notUnderstood(std::string_view host, int port, std::string_view why);
std::string httpStatus(std::string_view host, int port, int status, std::string_view reason);
std::string moduleNotHosted(std::string_view host, int port, std::string_view module);

// TLS: the server's protocol not matching ours, the handshake, and the authorities' file.
std::string notHttps(std::string_view host, int port);
std::string onlyHttps(std::string_view host, int port);
std::string tlsDropped(std::string_view host, int port);
std::string tlsTimedOut(std::string_view host, int port);
std::string tlsFailed(std::string_view host, int port, std::string_view why);
std::string certificateRefused(std::string_view host, int port, std::string_view why);
std::string caFileUnusable(std::string_view path, std::string_view why);

}  // namespace rpcmsg
