#include "rpc/Server.h"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/strand.hpp>
#include <csignal>
#include <exception>
#include <thread>
#include <vector>

#include "rpc/CallWorkers.h"
#include "rpc/ConnectionRegistry.h"
#include "rpc/Listener.h"
#include "rpc/ServingContext.h"
#include "rpc/TlsContext.h"

namespace appserver {

namespace asio = boost::asio;

// The I/O loops read and write the sockets, one thread each: a shared loop made the threads hand
// every readiness event to each other through its lock, which cost more than the calls. Each loop
// has a store of its own for the calls it answers at once; the others run on the workers, fed by
// every loop. The listener, the signals and stopping have a loop of
// their own, so a long call never delays a stop.
struct Server::Impl {
    Impl(ServerOptions o, StoreFactory& f, CallLog& l)
        : options(std::move(o)),
          factory(f),
          log(l),
          registry(options.maxConnections, options.maxConnectionsPerAddress),
          bodies(options.bodyBudgetBytes),
          workers(l),
          // Two checks at once bound Argon2id's memory (64 MiB each) while a burst of new
          // connections signs in twice as fast as one at a time would.
          signIns(workers.executor(), options.signInQueue, 2),
          control(1),
          signals(control),
          context{options, registry, log, bodies, workers.executor(), nullptr, &auth, &signIns} {
        for (unsigned i = 0; i < options.ioThreads; ++i) {
            iocs.push_back(std::make_unique<asio::io_context>(1));
            guards.push_back(asio::make_work_guard(*iocs.back()));
        }
    }

    // Accepted connections go to the I/O loops in turn.
    asio::any_io_executor nextExecutor() { return iocs[next++ % iocs.size()]->get_executor(); }

    ServerOptions options;
    StoreFactory& factory;
    CallLog& log;
    ConnectionRegistry registry;
    BodyBudget bodies;
    Authenticator auth;
    CallWorkers workers;
    SignInQueue signIns;
    std::vector<std::unique_ptr<asio::io_context>> iocs;
    std::vector<asio::executor_work_guard<asio::io_context::executor_type>> guards;
    std::size_t next = 0;  // used on the listener's strand only
    asio::io_context control;
    asio::signal_set signals;
    ServingContext context;
    std::unique_ptr<asio::ssl::context> tls;
    std::shared_ptr<Listener> listener;
    std::vector<std::unique_ptr<Store>> stores;
};

Server::Server(ServerOptions options, StoreFactory& factory, CallLog& log) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    // Two per core: a worker waits on the store as much as it computes.
    if (options.workers == 0) options.workers = std::max(4u, 2 * cores);
    if (options.ioThreads == 0) options.ioThreads = cores;
    m_impl = std::make_unique<Impl>(std::move(options), factory, log);
}

Server::~Server() = default;

wire::Status Server::start() {
    for (unsigned i = 0; i < m_impl->options.ioThreads + m_impl->options.workers; ++i) {
        auto store = m_impl->factory.open();
        if (!store) return store.status();
        m_impl->stores.push_back(std::move(*store));
    }
    // Beyond loopback a server must know who calls, unless the operator says it is a test.
    const ServerOptions& o = m_impl->options;
    if (!isLoopback(o.host) && !o.insecure && !m_impl->stores.empty()) {
        auto any = m_impl->stores.front()->anyUser();
        if (!any) return any.status();
        if (!*any)
            return {wire::ErrorCode::Unavailable,
                    "escutar em " + o.host +
                        " exige usuários: crie o primeiro com vlp-appserver user add NOME --db "
                        "URL (ou use --insecure, só para testes)"};
    }
    if (!m_impl->options.tlsCertificate.empty()) {
        auto tls = makeServerTlsContext(m_impl->options.tlsCertificate, m_impl->options.tlsKey);
        if (!tls) return tls.status();
        // Clients will refuse it; the server still starts, so /health and the log say why.
        if (certificateExpired(**tls))
            m_impl->log.note("atenção: o certificado " + m_impl->options.tlsCertificate +
                             " está vencido; os clientes vão recusá-lo");
        m_impl->tls = std::move(*tls);
        m_impl->context.tls = m_impl->tls.get();
    }
    m_impl->listener = std::make_shared<Listener>(
        m_impl->control, [impl = m_impl.get()] { return impl->nextExecutor(); }, m_impl->context);
    if (auto s = m_impl->listener->open(); !s) return s;
    m_impl->listener->start();
    return wire::Status::ok();
}

unsigned short Server::port() const { return m_impl->listener ? m_impl->listener->port() : 0; }

void Server::stopOnSignals() {
    m_impl->signals.add(SIGINT);
    m_impl->signals.add(SIGTERM);
    m_impl->signals.async_wait([this](boost::system::error_code ec, int signal) {
        if (ec) return;
        m_impl->log.note("sinal " + std::to_string(signal) +
                         " recebido: terminando as chamadas em curso");
        stop();
    });
}

void Server::run() {
    const std::span<const std::unique_ptr<Store>> stores(m_impl->stores);
    const std::size_t loops = m_impl->iocs.size();
    m_impl->workers.start(stores.empty() ? stores : stores.subspan(loops), m_impl->options.workers);
    auto loop = [this, stores](std::size_t i) {
        workerStore() = stores.empty() ? nullptr : stores[i].get();
        for (;;) {
            try {
                m_impl->iocs[i]->run();
                break;
            } catch (const std::exception& e) {
                // One failed handler must not take the loop, and every other client, down.
                m_impl->log.note("erro inesperado numa conexão: ", e.what());
            }
        }
        workerStore() = nullptr;
    };
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < m_impl->iocs.size(); ++i) threads.emplace_back(loop, i);
    threads.emplace_back([this] { m_impl->control.run(); });
    loop(0);
    for (auto& t : threads) t.join();
    // A call under way keeps its I/O loop running until it has been answered, so once every loop
    // has ended no call is queued or running.
    m_impl->workers.finish();
}

void Server::stop() {
    asio::post(m_impl->control, [impl = m_impl.get()] {
        boost::system::error_code ignored;
        impl->signals.cancel(ignored);
        // Back to the default action: a second Ctrl+C ends the process without waiting.
        impl->signals.clear(ignored);
        // Each loop then ends once its connections have finished the calls under way.
        auto finish = [impl] {
            impl->registry.shutdownAll();
            impl->guards.clear();
        };
        if (impl->listener)
            impl->listener->stop(finish);
        else
            finish();
    });
}

std::size_t Server::openConnections() const { return m_impl->registry.size(); }

}  // namespace appserver
