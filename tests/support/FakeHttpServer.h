#pragma once
// The loopback HTTP/1.1 face of FakeAppServer: Beast on its own thread, listening on 127.0.0.1 on
// an ephemeral port, keep-alive, TCP_NODELAY. Each request is answered by FakeAppServer::handle
// and delivered as the exchange says (after its delay, or with its fault). The destructor closes
// everything and joins the thread.

#include <memory>

class FakeAppServer;

class FakeHttpServer {
  public:
    explicit FakeHttpServer(FakeAppServer& fake);
    ~FakeHttpServer();
    FakeHttpServer(const FakeHttpServer&) = delete;
    FakeHttpServer& operator=(const FakeHttpServer&) = delete;

    int port() const;
    void dropConnections();  // returns once every open connection is closed

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
