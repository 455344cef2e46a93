#pragma once
// The seam beneath TNetConnection: carries one request body to the server and brings back the
// answer body. The default is HTTP/1.1 keep-alive (HttpTransport); tests put an in-process
// server behind it. Failures throw ETransportError with a message naming host, port and what
// happened. Used by one thread at a time.

#include <chrono>
#include <memory>
#include <string>

#include "dataaccess/EDatabaseError.h"
#include "dataaccess/RpcWaiter.h"

class ETransportError : public EDatabaseError {
  public:
    using EDatabaseError::EDatabaseError;
};

// How a transport secures its connection: TLS with the server's certificate always verified,
// against the authorities of caFile (PEM) or, when it is empty, the system's.
struct RpcTls {
    bool enabled = false;
    std::string caFile;
    bool operator==(const RpcTls&) const = default;
};

class RpcTransport {
  public:
    virtual ~RpcTransport() = default;
    virtual void open(const std::string& host, int port) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // POST body to /target; returns the answer body. A dropped connection closes the transport,
    // so the next open() reconnects.
    virtual std::string post(const std::string& target, const std::string& body) = 0;
    // A transport that drives its own I/O waits for it through waiter (null: it simply blocks)
    // and returns true; one that can only block returns false and is run on a helper thread.
    virtual bool setWaiter(RpcWaiter* waiter) {
        (void)waiter;
        return false;
    }
    // Applies to the connections opened from now on. A transport without TLS refuses it rather
    // than carry the calls in the clear.
    virtual void setTls(const RpcTls& tls) {
        if (tls.enabled) throw ETransportError("Este meio de conexão não oferece TLS.");
    }
    // The Authorization header sent with every post from now on ("" sends none). The transport
    // wipes its copy when it is replaced or the transport goes.
    virtual void setAuthorization(const std::string& header) { (void)header; }
};

struct RpcTimeouts {
    std::chrono::milliseconds connect{5000};
    std::chrono::milliseconds answer{120000};
};

std::unique_ptr<RpcTransport> MakeHttpTransport(RpcTimeouts timeouts = {});
