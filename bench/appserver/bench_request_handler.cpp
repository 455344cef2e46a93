// The cost of the JSON-RPC layer: GetVerifGrupo through handleRequest (parse, check, dispatch,
// answer) beside its anchor, the bare store read into a packet, on the same in-memory database.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "rpc/RequestHandler.h"
#include "store/Store.h"
#include "wire/PacketWriter.h"

namespace {

appserver::Store& demoStore() {
    static auto store = [] {
        auto factory = appserver::makeStoreFactory("sqlite::memory:");
        if (!factory) std::abort();
        auto opened = (*factory)->open();
        if (!opened || !(*opened)->seedDemo()) std::abort();
        return std::move(*opened);
    }();
    return *store;
}

void StoreReadAnchor(benchmark::State& state) {
    auto& store = demoStore();
    for (auto _ : state) {
        std::string packet;
        wire::PacketWriter writer(packet);
        if (!store.groupsByCode("0000000001", writer)) state.SkipWithError("read failed");
        writer.finish();
        benchmark::DoNotOptimize(packet);
    }
}
BENCHMARK(StoreReadAnchor);

void HandleRequestGetVerifGrupo(benchmark::State& state) {
    auto& store = demoStore();
    const std::string body =
        R"({"jsonrpc":"2.0","id":1,"method":"GetVerifGrupo","params":["0000000001"]})";
    for (auto _ : state) {
        auto reply = appserver::handleRequest(store, "POST", "/VLP27000.rdmSugestaoProd", body);
        if (reply.code != 0) state.SkipWithError("call failed");
        benchmark::DoNotOptimize(reply);
    }
}
BENCHMARK(HandleRequestGetVerifGrupo);

}  // namespace

BENCHMARK_MAIN();
