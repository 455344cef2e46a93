#include "support/FakeTransport.h"

#include <thread>

#include "support/FakeAppServer.h"
#include "dataaccess/HttpTransport.h"
#include "dataaccess/RpcMessages.h"

void FakeTransport::open(const std::string& host, int port) {
    m_open = false;
    m_host = host;
    m_port = port;
    if (m_fake.refusesConnections()) throw ETransportError(rpcmsg::refused(host, port));
    m_fake.countConnect();
    m_open = true;
}

std::string FakeTransport::post(const std::string& target, const std::string& body) {
    if (!m_open) throw ETransportError(rpcmsg::notOpen(m_host, m_port));
    FakeExchange exchange = m_fake.handle(target, body);
    if (exchange.delay.count() > 0) std::this_thread::sleep_for(exchange.delay);
    switch (exchange.fault) {
        case FakeFault::ResetMidAnswer:
        case FakeFault::CloseWithoutAnswer:
            m_open = false;
            throw ETransportError(rpcmsg::dropped(m_host, m_port));
        case FakeFault::GarbageBytes:
            m_open = false;
            throw ETransportError(rpcmsg::notUnderstood(m_host, m_port, "HTTP inválido"));
        default:
            break;
    }
    if (exchange.status == 200 || exchange.contentType == "application/json") return exchange.body;
    throw EHttpStatusError(rpcmsg::httpStatus(m_host, m_port, exchange.status, {}),
                           exchange.status);
}
