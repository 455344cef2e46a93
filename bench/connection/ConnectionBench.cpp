// A small call's round trip on a keep-alive loopback connection, through TNetConnection against
// the fake app server, beside its anchor: a blocking TCP echo (TCP_NODELAY) of a message the size
// of the call's HTTP request. The call benchmarks report ratio_to_echo; the target is <= 3.

#include <benchmark/benchmark.h>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <sstream>
#include <thread>

#include "TNetConnection.h"
#include "support/FakeAppServer.h"
#include "wire/Rpc.h"

namespace asio = boost::asio;
namespace http = boost::beast::http;
using tcp = asio::ip::tcp;

namespace {

const char* const kMethod = "GetVerifGrupo";
const char* const kArgument = "123";

double echoMicros = 0;  // per round trip, measured by the anchor first

// Bytes the call's request takes on the wire, headers included.
std::size_t requestBytes() {
    const std::string arg = kArgument;
    const wire::Argument args[] = {wire::Argument::text(arg)};
    http::request<http::string_body> request{http::verb::post,
                                             std::string("/") + FakeAppServer::kModule, 11};
    request.set(http::field::host, "127.0.0.1:65535");
    request.set(http::field::content_type, "application/json");
    request.keep_alive(true);
    request.body() = wire::writeRequest(1000, kMethod, args);
    request.prepare_payload();
    std::ostringstream out;
    out << request;
    return out.str().size();
}

// Runs the loop and returns the mean microseconds per iteration.
template <class Fn>
double timed(benchmark::State& state, Fn roundTrip) {
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) roundTrip();
    const std::chrono::duration<double, std::micro> spent =
        std::chrono::steady_clock::now() - start;
    return state.iterations() ? spent.count() / static_cast<double>(state.iterations()) : 0;
}

void BM_TcpEchoRoundTrip(benchmark::State& state) {
    asio::io_context io;
    tcp::acceptor acceptor(io, {asio::ip::make_address("127.0.0.1"), 0});
    const std::size_t size = requestBytes();
    std::thread server([&] {
        tcp::socket peer(io);
        acceptor.accept(peer);
        peer.set_option(tcp::no_delay(true));
        std::string buffer(size, '\0');
        boost::system::error_code ec;
        while (asio::read(peer, asio::buffer(buffer), ec) == size && !ec)
            asio::write(peer, asio::buffer(buffer), ec);
    });
    tcp::socket client(io);
    client.connect(acceptor.local_endpoint());
    client.set_option(tcp::no_delay(true));
    std::string message(size, 'x'), answer(size, '\0');
    echoMicros = timed(state, [&] {
        asio::write(client, asio::buffer(message));
        asio::read(client, asio::buffer(answer));
    });
    client.close();
    server.join();
    state.counters["bytes_each_way"] = static_cast<double>(size);
}

void callRoundTrip(benchmark::State& state, bool pumped) {
    FakeAppServer fake;
    fake.keepCalls(false);
    fake.on(kMethod).answerPacket(R"({"fields":[],"rows":[]})");
    TNetConnection net;
    net.ServerName = FakeAppServer::kModule;
    net.Port = fake.listen();
    net.SetConnected(true);
    if (pumped) TNetConnection::SetWaitPump([] {});
    const double micros = timed(state, [&] {
        auto answer = net.AppServer().Call(kMethod, {TRemoteArg::Text(kArgument)});
        benchmark::DoNotOptimize(answer);
    });
    TNetConnection::SetWaitPump(nullptr);
    if (echoMicros > 0) state.counters["ratio_to_echo"] = micros / echoMicros;
}

void BM_CallRoundTrip(benchmark::State& state) { callRoundTrip(state, false); }
void BM_CallRoundTripWithWaitPump(benchmark::State& state) { callRoundTrip(state, true); }

}  // namespace

BENCHMARK(BM_TcpEchoRoundTrip)->UseRealTime();
BENCHMARK(BM_CallRoundTrip)->UseRealTime();
BENCHMARK(BM_CallRoundTripWithWaitPump)->UseRealTime();

BENCHMARK_MAIN();
