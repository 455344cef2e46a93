#pragma once
// A scriptable application server for tests, usable two ways: as an RpcTransport with no sockets
// (transport()) or as a real HTTP/1.1 server on a loopback ephemeral port (listen()). It records
// every call with its arguments, answers each method as scripted (see FakeMethod; an unscripted
// method answers a null payload and echoes its in/out values), answers "rpc.describe" with its
// module name, and misbehaves on demand. Paths other than "/" + module answer HTTP 404.
//   FakeAppServer fake;
//   fake.on("GetGrupSegProd").answerPacket(json);
//   TNetConnection net(fake.transport());
//   ... fake.callLog() == "GetGrupSegProd()\n"
// Thread-safe; must outlive the transports it hands out.

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "support/FakeCall.h"
#include "support/FakeMethod.h"
#include "dataaccess/RpcTransport.h"

class FakeHttpServer;

// What the fake does with one request body: the HTTP answer and how to deliver it.
struct FakeExchange {
    int status = 200;
    std::string contentType = "application/json";
    std::string body;
    FakeFault fault = FakeFault::None;
    std::chrono::milliseconds delay{0};
};

class FakeAppServer {
  public:
    static constexpr const char* kModule = "VLP27000.rdmSugestaoProd";

    explicit FakeAppServer(std::string module = kModule);
    ~FakeAppServer();
    FakeAppServer(const FakeAppServer&) = delete;
    FakeAppServer& operator=(const FakeAppServer&) = delete;

    FakeMethod& on(const std::string& method);  // scripting "rpc.describe" replaces the built-in
    void describeModuleAs(std::string name);    // "rpc.describe" names another module

    std::vector<FakeCall> calls() const;  // "rpc.describe" is counted, not recorded
    std::vector<FakeCall> callsTo(std::string_view method) const;
    std::string callLog() const;  // FakeCall::toString of each call, one per line
    void clearCalls();
    void keepCalls(bool keep);  // off for benchmarks: millions of calls need no memory
    int describeCount() const;

    // In-process transport; opens count in connectCount().
    std::unique_ptr<RpcTransport> transport();
    void refuseConnections(bool refuse);  // open() fails as a closed port does
    bool refusesConnections() const;

    // Loopback HTTP server on its own thread; returns the port.
    int listen();
    int port() const;
    void stop();                 // closes the listener and every connection
    void dropIdleConnections();  // closes open connections, as a server's idle timeout does
    static int closedPort();     // a loopback port nobody listens on

    int connectCount() const;  // transport opens plus accepted HTTP connections
    void countConnect();

    // Decides the answer to one request, for both ways of use.
    FakeExchange handle(std::string_view target, std::string_view body);

  private:
    std::string describe(const std::string& idJson) const;

    mutable std::mutex m_mutex;
    std::string m_module;
    std::string m_describedModule;
    std::map<std::string, FakeMethod, std::less<>> m_methods;
    std::vector<FakeCall> m_calls;
    bool m_keepCalls = true;
    bool m_refuse = false;
    int m_describes = 0;
    int m_connects = 0;
    std::unique_ptr<FakeHttpServer> m_http;
};
