// Record-set speed and memory, each figure beside its anchor from the same run:
// - SetData and Data in MB/s of packet text beside memcpy of the same bytes (and SetData beside
//   the bare decoder);
// - record-set heap bytes beside the packet's size (ratio);
// - Locate over 100,000 rows beside std::find over the same values as strings;
// - ChangeCount + Delta + MergeChangeLog after a one-row change, 100 rows beside 1,000,000.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <new>

#include "ProductPacket.h"
#include "dataaccess/TClientDataSet.h"
#include "wire/PacketReader.h"

// Live heap bytes of this process, counted by replacing the global allocation functions.
namespace {
std::atomic<long long> g_liveBytes{0};
}

void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    g_liveBytes += static_cast<long long>(malloc_usable_size(p));
    return p;
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept {
    if (!p) return;
    g_liveBytes -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
void operator delete[](void* p) noexcept { ::operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { ::operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { ::operator delete(p); }

namespace {

constexpr int kRows = 100000;

const std::string& packet() {
    static const std::string text = productPacket(kRows);
    return text;
}

void BM_MemcpyAnchor(benchmark::State& state) {
    const std::string& source = packet();
    std::unique_ptr<char[]> target(new char[source.size()]);
    for (auto _ : state) {
        std::memcpy(target.get(), source.data(), source.size());
        benchmark::DoNotOptimize(target.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * source.size()));
}
BENCHMARK(BM_MemcpyAnchor)->Unit(benchmark::kMillisecond);

void BM_SetData(benchmark::State& state) {
    TClientDataSet ds("cdsArvProd", productFieldDefs());
    for (auto _ : state) ds.SetData(packet());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * packet().size()));
    state.counters["rows"] = ds.RecordCount();
}
BENCHMARK(BM_SetData)->Unit(benchmark::kMillisecond);

// The decoder alone, into a sink that keeps nothing: what SetData adds is storage.
void BM_ReadPacketAnchor(benchmark::State& state) {
    struct Discard : wire::PacketSink {
        wire::Status onFields(const std::vector<wire::FieldDef>&) override { return {}; }
        wire::Status onRow(std::span<const wire::ValueView>) override { return {}; }
    } sink;
    for (auto _ : state)
        if (!wire::readPacket(packet(), sink)) state.SkipWithError("packet refused");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * packet().size()));
}
BENCHMARK(BM_ReadPacketAnchor)->Unit(benchmark::kMillisecond);

void BM_Data(benchmark::State& state) {
    TClientDataSet ds("cdsArvProd", productFieldDefs());
    ds.SetData(packet());
    for (auto _ : state) benchmark::DoNotOptimize(ds.Data());
    if (ds.Data() != packet()) state.SkipWithError("Data() differs from the packet loaded");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * packet().size()));
}
BENCHMARK(BM_Data)->Unit(benchmark::kMillisecond);

void BM_RecordSetMemory(benchmark::State& state) {
    const std::string& text = packet();
    long long held = 0;
    for (auto _ : state) {
        const long long before = g_liveBytes.load();
        auto ds = std::make_unique<TClientDataSet>("cdsArvProd", productFieldDefs());
        ds->SetData(text);
        held = g_liveBytes.load() - before;
        benchmark::DoNotOptimize(ds.get());
    }
    state.counters["packet_bytes"] = static_cast<double>(text.size());
    state.counters["recordset_bytes"] = static_cast<double>(held);
    state.counters["ratio"] = static_cast<double>(held) / static_cast<double>(text.size());
}
BENCHMARK(BM_RecordSetMemory)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_LocateAnchorStringFind(benchmark::State& state) {
    std::vector<std::string> codes;
    for (int row = 0; row < kRows; ++row) codes.push_back(productTreeCode(row));
    const std::string missing = "9.99.999.9999.999999";
    for (auto _ : state)
        benchmark::DoNotOptimize(std::find(codes.begin(), codes.end(), missing) == codes.end());
}
BENCHMARK(BM_LocateAnchorStringFind)->Unit(benchmark::kMicrosecond);

void BM_Locate(benchmark::State& state) {
    TClientDataSet ds("cdsArvProd", productFieldDefs());
    ds.SetData(packet());
    // A code no row has: every row is compared, and nothing moves.
    for (auto _ : state) benchmark::DoNotOptimize(ds.Locate("CDARVPROD", "9.99.999.9999.999999"));
    if (!ds.Locate("CDARVPROD", productTreeCode(kRows - 1)) || ds.RecNo() != kRows - 1)
        state.SkipWithError("Locate missed the last row");
    state.counters["rows_scanned"] = kRows;
}
BENCHMARK(BM_Locate)->Unit(benchmark::kMicrosecond);

// Record sets of many rows are costly to build: one per size, kept for the run.
TClientDataSet& loaded(int rows) {
    static std::map<int, std::unique_ptr<TClientDataSet>> sets;
    auto& ds = sets[rows];
    if (!ds) {
        ds = std::make_unique<TClientDataSet>("cdsArvProd", productFieldDefs());
        ds->SetData(productPacket(rows));
    }
    return *ds;
}

void BM_OneRowChangeThenLog(benchmark::State& state) {
    TClientDataSet& ds = loaded(static_cast<int>(state.range(0)));
    ds.MoveTo(ds.RecordCount() / 2);
    TField& name = ds.FieldByName("NMPRODUTO");
    const std::string names[] = {"Sugestão de inverno", "Sugestão de verão"};
    std::size_t deltaBytes = 0;
    int flip = 0;
    for (auto _ : state) {
        ds.Edit();
        name.SetAsString(names[flip ^= 1]);
        ds.Post();
        benchmark::DoNotOptimize(ds.ChangeCount());
        deltaBytes = ds.Delta().size();
        ds.MergeChangeLog();
    }
    state.counters["rows"] = static_cast<double>(ds.RecordCount());
    state.counters["delta_bytes"] = static_cast<double>(deltaBytes);
}
BENCHMARK(BM_OneRowChangeThenLog)->Arg(100)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
