#pragma once
// The HTTP/1.1 keep-alive transport: one TCP connection (TCP_NODELAY), with TLS over it when
// setTls says so (TlsClient.h), reused by every post, with the connect and answer timeouts of
// RpcTimeouts (the TLS handshake counts as connecting) and Beast's body limit at
// wire::kMaxBodyBytes.
// Any failure during a post closes the connection, so the next open() starts afresh; a
// connection the server closed while idle is reopened before a request is sent, never after.
// A non-200 answer throws EHttpStatusError unless it carries a JSON body, which is returned for
// the JSON-RPC layer to read. Every wait on the network (name lookup included) goes through the
// waiter when one is set. Used by one thread at a time.

#include <memory>
#include <string>

#include "dataaccess/RpcTransport.h"

class EHttpStatusError : public ETransportError {
  public:
    EHttpStatusError(const std::string& message, int status)
        : ETransportError(message), m_status(status) {}
    int status() const { return m_status; }

  private:
    int m_status;
};

class HttpTransport : public RpcTransport {
  public:
    explicit HttpTransport(RpcTimeouts timeouts = {});
    ~HttpTransport() override;
    HttpTransport(const HttpTransport&) = delete;
    HttpTransport& operator=(const HttpTransport&) = delete;

    void open(const std::string& host, int port) override;
    void close() override;
    bool isOpen() const override;
    std::string post(const std::string& target, const std::string& body) override;
    bool setWaiter(RpcWaiter* waiter) override;
    void setTls(const RpcTls& tls) override;  // a change closes the open connection
    void setAuthorization(const std::string& header) override;

    // Times the TCP connection was opened, silent reopenings included.
    int connectCount() const;

  private:
    struct Impl;  // keeps Beast and Asio out of every includer
    std::unique_ptr<Impl> m_impl;
};
