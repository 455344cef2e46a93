#pragma once
// The application server in-process on a loopback ephemeral port, over a FakeStore, for the
// client's tests: plain HTTP or HTTPS with the given PEM files, with or without users who must
// sign in. Serves from construction (ok() tells whether it started) to destruction.

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "rpc/CallLog.h"
#include "support/FakeStore.h"
#include "rpc/Server.h"

namespace appserver::testing {

struct LoopbackUser {
    std::string name;
    std::string password;
    bool enabled = true;
};

struct LoopbackOptions {
    std::filesystem::path certificate;  // with key: HTTPS only
    std::filesystem::path key;
    std::vector<LoopbackUser> users;     // none: every call is served without sign-in
    std::chrono::milliseconds delay{0};  // each call of the store waits this long
};

class LoopbackAppServer {
  public:
    explicit LoopbackAppServer(const LoopbackOptions& options = {});
    ~LoopbackAppServer();
    LoopbackAppServer(const LoopbackAppServer&) = delete;
    LoopbackAppServer& operator=(const LoopbackAppServer&) = delete;

    bool ok() const { return m_server != nullptr; }
    int port() const;
    // The store's calls, one per line ("groups()"); sign-in checks are not among them.
    std::string calls() { return m_script.callsText(); }
    // How many times credentials were looked up in the store.
    int userLookups() const { return m_script.userLookups; }

  private:
    FakeStore::Script m_script;
    FakeStoreFactory m_factory{m_script};
    CallLog m_log{-1};
    std::unique_ptr<Server> m_server;
    std::thread m_runner;
};

}  // namespace appserver::testing
