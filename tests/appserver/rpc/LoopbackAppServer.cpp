#include "LoopbackAppServer.h"

#include "auth/PasswordHash.h"

namespace appserver::testing {

LoopbackAppServer::LoopbackAppServer(const LoopbackOptions& options) {
    for (const auto& user : options.users)
        m_script.users[user.name] = {hashPassword(user.password), user.enabled};
    m_script.delay = options.delay;
    ServerOptions serving;
    serving.port = 0;
    serving.workers = 2;
    serving.ioThreads = 1;
    serving.tlsCertificate = options.certificate.string();
    serving.tlsKey = options.key.string();
    auto server = std::make_unique<Server>(serving, m_factory, m_log);
    if (!server->start().isOk()) return;
    m_server = std::move(server);
    m_runner = std::thread([this] { m_server->run(); });
}

LoopbackAppServer::~LoopbackAppServer() {
    if (!m_server) return;
    m_server->stop();
    m_runner.join();
}

int LoopbackAppServer::port() const { return m_server ? m_server->port() : 0; }

}  // namespace appserver::testing
