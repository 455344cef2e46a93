// The store's small reads against the bare driver doing the same lookup (the anchor), and a
// whole-catalogue read streamed into an answer. Both on one seeded SQLite file, in one run.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "store/Store.h"
#include "wire/PacketWriter.h"

namespace {

struct Seeded {
    std::string dir;
    std::string path;
    std::unique_ptr<appserver::StoreFactory> factory;
    std::unique_ptr<appserver::Store> store;

    Seeded() {
        char name[] = "/tmp/vlp-store-bench-XXXXXX";
        dir = mkdtemp(name);
        path = dir + "/bench.db";
        factory = std::move(*appserver::makeStoreFactory("sqlite:" + path));
        store = std::move(*factory->open());
        if (!store->seedDemo()) std::abort();
    }
    ~Seeded() {
        store.reset();
        std::filesystem::remove_all(dir);
    }
};

Seeded& seeded() {
    static Seeded s;
    return s;
}

// Anchor: one prepared statement, bound, stepped and reset, values copied out as text.
void BM_Anchor_SqliteLookup(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open(seeded().path.c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT CDPRODUTO, CDARVPROD, NMPRODUTO FROM PRODUTO WHERE CDARVPROD = ?1",
                       -1, &stmt, nullptr);
    std::string out;
    for (auto _ : state) {
        out.clear();
        sqlite3_bind_text(stmt, 1, "1.01.001.0007", -1, SQLITE_STATIC);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < 3; ++c)
                out.append(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)));
        }
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(out.data());
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations());
}

// The same lookup through the store, written as the JSON packet of an answer.
void BM_Store_ProductByTreeCode(benchmark::State& state) {
    auto& store = *seeded().store;
    std::string out;
    for (auto _ : state) {
        out.clear();
        std::string code = "1.01.001.0007";
        wire::PacketWriter writer(out);
        if (!store.productByTreeCode(code, writer)) state.SkipWithError("read failed");
        writer.finish();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Store_GroupsByName(benchmark::State& state) {
    auto& store = *seeded().store;
    std::string out;
    for (auto _ : state) {
        out.clear();
        wire::PacketWriter writer(out);
        if (!store.groupsByName("CHURRASCO", writer)) state.SkipWithError("read failed");
        writer.finish();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Store_AllProducts(benchmark::State& state) {
    auto& store = *seeded().store;
    std::string out;
    for (auto _ : state) {
        out.clear();
        wire::PacketWriter writer(out);
        if (!store.allProducts(writer)) state.SkipWithError("read failed");
        writer.finish();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = static_cast<double>(out.size());
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_Anchor_SqliteLookup);
BENCHMARK(BM_Store_ProductByTreeCode);
BENCHMARK(BM_Store_GroupsByName);
BENCHMARK(BM_Store_AllProducts)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
