#include "ServerFixture.h"

#include <unistd.h>

#include <algorithm>

#include "wire/Rpc.h"

namespace appserver::testing {

using namespace std::chrono_literals;

void ServerFixture::SetUp() {
    options.port = 0;
    options.workers = 2;
    options.maxBodyBytes = 1024 * 1024;
    options.maxHeaderBytes = 8 * 1024;
    options.maxConnections = 8;
    options.idleTimeout = 700ms;
}

void ServerFixture::startServer(int logFd) {
    log = std::make_unique<CallLog>(logFd);
    server = std::make_unique<Server>(options, factory, *log);
    ASSERT_TRUE(server->start().isOk());
    port = server->port();
    runner = std::thread([this] { server->run(); });
}

void ServerFixture::startServerLogging() {
    ASSERT_EQ(::pipe(logPipe), 0);
    startServer(logPipe[1]);
}

std::string ServerFixture::stopAndTakeLog() {
    stopServer();
    ::close(logPipe[1]);
    std::string text(8192, '\0');
    text.resize(static_cast<std::size_t>(
        std::max<ssize_t>(0, ::read(logPipe[0], text.data(), text.size()))));
    ::close(logPipe[0]);
    return text;
}

void ServerFixture::stopServer() {
    if (!server) return;
    server->stop();
    runner.join();
    server.reset();
}

int ServerFixture::codeOf(const std::optional<HttpResponse>& r) {
    if (!r) return 1;
    auto a = wire::readAnswer(r->body(), 1);
    if (a && !a->ok) return a->errorCode;
    auto pos = r->body().find("\"code\":");
    return pos == std::string::npos ? 0 : std::stoi(r->body().substr(pos + 7));
}

bool ServerFixture::stillServes() {
    HttpTestClient c(port);
    auto r = c.post(kGroupsCall);
    return r && r->result_int() == 200 && codeOf(r) == 0;
}

}  // namespace appserver::testing
