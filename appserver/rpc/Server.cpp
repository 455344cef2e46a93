#include "Server.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/signal_set.hpp>
#include <csignal>
#include <exception>
#include <thread>
#include <vector>

#include "ConnectionRegistry.h"
#include "Listener.h"

namespace appserver {

namespace asio = boost::asio;

struct Server::Impl {
    Impl(ServerOptions o, StoreFactory& f, CallLog& l)
        : options(std::move(o)),
          factory(f),
          log(l),
          ioc(static_cast<int>(options.workers)),
          signals(ioc) {}

    ServerOptions options;
    StoreFactory& factory;
    CallLog& log;
    asio::io_context ioc;
    asio::signal_set signals;
    ConnectionRegistry registry;
    std::shared_ptr<Listener> listener;
    std::vector<std::unique_ptr<Store>> stores;
};

Server::Server(ServerOptions options, StoreFactory& factory, CallLog& log) {
    if (options.workers == 0) options.workers = std::max(1u, std::thread::hardware_concurrency());
    m_impl = std::make_unique<Impl>(std::move(options), factory, log);
}

Server::~Server() = default;

wire::Status Server::start() {
    for (unsigned i = 0; i < m_impl->options.workers; ++i) {
        auto store = m_impl->factory.open();
        if (!store) return store.status();
        m_impl->stores.push_back(std::move(*store));
    }
    m_impl->listener =
        std::make_shared<Listener>(m_impl->ioc, m_impl->options, m_impl->registry, m_impl->log);
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
    auto work = [this](Store* store) {
        workerStore() = store;
        for (;;) {
            try {
                m_impl->ioc.run();
                break;
            } catch (const std::exception& e) {
                // One failed handler must not take the worker, and every other client, down.
                m_impl->log.note(std::string("erro inesperado num atendimento: ") + e.what());
            }
        }
        workerStore() = nullptr;
    };
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < m_impl->stores.size(); ++i)
        threads.emplace_back(work, m_impl->stores[i].get());
    work(m_impl->stores.empty() ? nullptr : m_impl->stores[0].get());
    for (auto& t : threads) t.join();
}

void Server::stop() {
    asio::post(m_impl->ioc, [impl = m_impl.get()] {
        boost::system::error_code ignored;
        impl->signals.cancel(ignored);
        // Back to the default action: a second Ctrl+C ends the process without waiting.
        impl->signals.clear(ignored);
        if (impl->listener)
            impl->listener->stop([impl] { impl->registry.shutdownAll(); });
        else
            impl->registry.shutdownAll();
    });
}

std::size_t Server::openConnections() const { return m_impl->registry.size(); }

}  // namespace appserver
