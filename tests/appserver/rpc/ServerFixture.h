#pragma once
// The real HTTP server in-process on an ephemeral loopback port over a FakeStore, for the tests
// of its behaviour through the socket: options to set before startServer(), the store's script,
// and the log read back once the server has stopped.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "HttpTestClient.h"
#include "rpc/CallLog.h"
#include "rpc/Server.h"
#include "support/FakeStore.h"

namespace appserver::testing {

// A call of the module that reads every group.
inline const std::string kGroupsCall =
    R"({"jsonrpc":"2.0","id":1,"method":"GetGrupSegProd","params":[]})";

class ServerFixture : public ::testing::Test {
  protected:
    // Small limits and a short idle timeout, so limits are reached and idle clients go quickly.
    void SetUp() override;
    void TearDown() override { stopServer(); }

    void startServer(int logFd = -1);
    // The server logs into a pipe that stopAndTakeLog() reads once the server has stopped.
    void startServerLogging();
    std::string stopAndTakeLog();
    void stopServer();
    // The JSON-RPC error code of an answer, 0 for success, 1 for no answer.
    static int codeOf(const std::optional<HttpResponse>& r);
    // A new connection gets kGroupsCall answered.
    bool stillServes();

    ServerOptions options;
    FakeStore::Script script;
    FakeStoreFactory factory{script};
    std::unique_ptr<CallLog> log;
    std::unique_ptr<Server> server;
    std::thread runner;
    unsigned short port = 0;
    int logPipe[2] = {-1, -1};
};

// The suite of the server's HTTP behaviour, whichever file its tests are in.
using HttpServerTest = ServerFixture;

}  // namespace appserver::testing
