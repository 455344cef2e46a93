// A small call's round trip on a keep-alive loopback connection, through TNetConnection against
// the fake app server, beside its anchor: a blocking TCP echo (TCP_NODELAY) of a message the size
// of the call's HTTP request. The call benchmarks report ratio_to_echo; the target is <= 3, also
// with the host's own wait pump installed and the busy overlay around the call, as the screen
// calls.
// A slow call (the server answers after 300 ms) reports how often the pump ran and how far the
// overlay's animation moved meanwhile.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <sstream>
#include <thread>

#include "framework/BusyAnimation.h"
#include "framework/TApplication.h"
#include "dataaccess/TNetConnection.h"
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
double timed(benchmark::State& state, Fn&& roundTrip) {
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

// A connection to a loopback fake that answers kMethod, after delay.
struct LoopbackCall {
    explicit LoopbackCall(std::chrono::milliseconds delay = {}) {
        fake.keepCalls(false);
        fake.on(kMethod).answerPacket(R"({"fields":[],"rows":[]})").delay(delay);
        net.ServerName = FakeAppServer::kModule;
        net.Port = fake.listen();
        net.SetConnected(true);
    }
    void operator()() {
        auto answer = net.AppServer().Call(kMethod, {TRemoteArg::Text(kArgument)});
        benchmark::DoNotOptimize(answer);
    }

    FakeAppServer fake;
    TNetConnection net;
};

void reportRatio(benchmark::State& state, double micros) {
    if (echoMicros > 0) state.counters["ratio_to_echo"] = micros / echoMicros;
}

void BM_CallRoundTrip(benchmark::State& state) {
    LoopbackCall call;
    reportRatio(state, timed(state, call));
}

void BM_CallRoundTripWithWaitPump(benchmark::State& state) {
    LoopbackCall call;
    TNetConnection::SetWaitPump([] {});
    reportRatio(state, timed(state, call));
    TNetConnection::SetWaitPump(nullptr);
}

// The host's window with its wait pump installed. Around each call the busy overlay is shown and
// hidden, as the screen's server calls do.
class HostWindow {
  public:
    HostWindow() {
        m_window.resize(1024, 768);
        m_window.show();
        Application().SetMainForm(&m_window, nullptr);
        InstallWaitPump();
        QApplication::processEvents();
    }
    ~HostWindow() {
        TNetConnection::SetWaitPump(nullptr);
        Application().SetMainForm(nullptr, nullptr);
        QApplication::processEvents();
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    static void callUnderOverlay(LoopbackCall& call) {
        ActiveShowAvi(nullptr, aviReading, "Lendo os registros do servidor...");
        call();
        DeactiveShowAvi();
    }

  private:
    QMainWindow m_window;
};

void BM_CallRoundTripWithHostPump(benchmark::State& state) {
    LoopbackCall call;
    HostWindow host;
    reportRatio(state, timed(state, [&] { HostWindow::callUnderOverlay(call); }));
}

// Counts the paint events the application delivers.
class PaintCounter : public QObject {
  public:
    PaintCounter() { qApp->installEventFilter(this); }
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Not a speed figure: shows that a long call keeps the window painting and the animation moving.
void BM_SlowCallWithHostPump(benchmark::State& state) {
    LoopbackCall call(std::chrono::milliseconds(300));
    HostWindow host;
    PaintCounter counter;
    int pumps = 0;
    TNetConnection::SetWaitPump([&] {
        ++pumps;
        WaitPumpOnce();
    });
    const int frames = AviFrame();
    timed(state, [&] { HostWindow::callUnderOverlay(call); });
    const auto calls = static_cast<double>(state.iterations());
    state.counters["pumps_per_call"] = pumps / calls;
    state.counters["frames_per_call"] = (AviFrame() - frames) / calls;
    state.counters["paints_per_call"] = counter.paints / calls;
}

}  // namespace

BENCHMARK(BM_TcpEchoRoundTrip)->UseRealTime();
BENCHMARK(BM_CallRoundTrip)->UseRealTime();
BENCHMARK(BM_CallRoundTripWithWaitPump)->UseRealTime();
BENCHMARK(BM_CallRoundTripWithHostPump)->UseRealTime();
BENCHMARK(BM_SlowCallWithHostPump)->UseRealTime()->Iterations(5)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
