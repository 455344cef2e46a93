#include "support/FakeAppServer.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <boost/asio/ip/tcp.hpp>

#include "support/FakeHttpServer.h"
#include "support/FakeTransport.h"

FakeAppServer::FakeAppServer(std::string module)
    : m_module(std::move(module)), m_describedModule(m_module) {}

FakeAppServer::~FakeAppServer() { stop(); }

FakeMethod& FakeAppServer::on(const std::string& method) {
    std::lock_guard lock(m_mutex);
    return m_methods.try_emplace(method, m_mutex).first->second;
}

void FakeAppServer::describeModuleAs(std::string name) {
    std::lock_guard lock(m_mutex);
    m_describedModule = std::move(name);
}

std::vector<FakeCall> FakeAppServer::calls() const {
    std::lock_guard lock(m_mutex);
    return m_calls;
}

std::vector<FakeCall> FakeAppServer::callsTo(std::string_view method) const {
    std::vector<FakeCall> found;
    for (auto& call : calls())
        if (call.method == method) found.push_back(std::move(call));
    return found;
}

std::string FakeAppServer::callLog() const {
    std::string log;
    for (const auto& call : calls()) log += call.toString() + "\n";
    return log;
}

void FakeAppServer::clearCalls() {
    std::lock_guard lock(m_mutex);
    m_calls.clear();
}

void FakeAppServer::keepCalls(bool keep) {
    std::lock_guard lock(m_mutex);
    m_keepCalls = keep;
}

int FakeAppServer::describeCount() const {
    std::lock_guard lock(m_mutex);
    return m_describes;
}

std::unique_ptr<RpcTransport> FakeAppServer::transport() {
    return std::make_unique<FakeTransport>(*this);
}

void FakeAppServer::refuseConnections(bool refuse) {
    std::lock_guard lock(m_mutex);
    m_refuse = refuse;
}

bool FakeAppServer::refusesConnections() const {
    std::lock_guard lock(m_mutex);
    return m_refuse;
}

int FakeAppServer::listen() {
    if (!m_http) m_http = std::make_unique<FakeHttpServer>(*this);
    return m_http->port();
}

int FakeAppServer::port() const { return m_http ? m_http->port() : 0; }

void FakeAppServer::stop() { m_http.reset(); }

void FakeAppServer::dropIdleConnections() {
    if (m_http) m_http->dropConnections();
}

int FakeAppServer::closedPort() {
    namespace asio = boost::asio;
    asio::io_context io;
    asio::ip::tcp::acceptor probe(io, {asio::ip::make_address("127.0.0.1"), 0});
    return probe.local_endpoint().port();  // released when probe closes; nobody else binds it
}

int FakeAppServer::connectCount() const {
    std::lock_guard lock(m_mutex);
    return m_connects;
}

void FakeAppServer::countConnect() {
    std::lock_guard lock(m_mutex);
    ++m_connects;
}

std::string FakeAppServer::describe(const std::string& idJson) const {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> w(buffer);
    w.StartObject();
    w.Key("jsonrpc");
    w.String("2.0");
    w.Key("id");
    w.RawValue(idJson.data(), idJson.size(), rapidjson::kNumberType);
    w.Key("result");
    w.StartObject();
    w.Key("module");
    w.String(m_describedModule.data(), m_describedModule.size());
    w.Key("methods");
    w.StartArray();
    for (const auto& [name, script] : m_methods) w.String(name.data(), name.size());
    w.EndArray();
    w.EndObject();
    w.EndObject();
    return {buffer.GetString(), buffer.GetSize()};
}

FakeExchange FakeAppServer::handle(std::string_view target, std::string_view body) {
    FakeExchange exchange;
    std::unique_lock lock(m_mutex);
    if (target != "/" + m_module) {
        exchange.status = 404;
        exchange.contentType = "text/plain";
        exchange.body = "Not Found";
        return exchange;
    }
    std::string idJson;
    auto request = wire::readRequest(body, idJson);
    if (!request) {
        exchange.body = wire::writeError(idJson, request.status());
        return exchange;
    }
    auto script = m_methods.find(request->method);
    if (request->method == "rpc.describe") {
        ++m_describes;
        if (script == m_methods.end()) {
            exchange.body = describe(idJson);
            return exchange;
        }
    } else if (m_keepCalls) {
        m_calls.push_back({request->method, request->params});
    }
    FakeMethod method = script != m_methods.end() ? script->second : FakeMethod(m_mutex);
    lock.unlock();

    FakeReply reply = method.replyTo({request->method, std::move(request->params)});
    exchange.delay = method.delay();
    exchange.fault = method.fault();
    if (exchange.fault == FakeFault::WrongId) idJson = idJson == "1000000" ? "1000001" : "1000000";
    if (exchange.fault == FakeFault::NullId) idJson = "null";
    if (exchange.fault == FakeFault::GarbageBody) {
        exchange.body = R"({"resposta":"isto não é JSON-RPC"})";
    } else if (exchange.fault == FakeFault::HttpStatus) {
        exchange.status = method.httpStatus();
        exchange.contentType = "text/plain";
        exchange.body = "falha simulada";
    } else {
        if (exchange.fault == FakeFault::HttpStatusWithAnswer)
            exchange.status = method.httpStatus();
        exchange.body = reply.errorCode != 0
                            ? wire::writeError(idJson, reply.errorCode, reply.errorMessage)
                            : wire::writeResult(idJson, reply.payload, *reply.out);
    }
    return exchange;
}
