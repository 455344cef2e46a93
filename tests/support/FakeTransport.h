#pragma once
// An RpcTransport with no sockets: each post is answered by a FakeAppServer in the calling
// thread, with the same failures (and the same messages) the HTTP transport gives for the
// scripted faults. The fake must outlive it.

#include <string>

#include "dataaccess/RpcTransport.h"

class FakeAppServer;

class FakeTransport : public RpcTransport {
  public:
    explicit FakeTransport(FakeAppServer& fake) : m_fake(fake) {}

    void open(const std::string& host, int port) override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    std::string post(const std::string& target, const std::string& body) override;

  private:
    FakeAppServer& m_fake;
    bool m_open = false;
    std::string m_host;
    int m_port = 0;
};
