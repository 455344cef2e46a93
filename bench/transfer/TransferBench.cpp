// The CSV transfers of 100,000 lines through the real program, each beside the sqlite3 shell doing
// the bare form of the same work in the same run: the export beside `sqlite3 -csv` of the same
// join, and the import (preview and apply in one transaction) beside `.import` of the same file
// into a bare table. Both sides are child processes timed by the wall clock; the import's peak
// memory is its resident set over that of the same program importing a header-only file.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/BulkSuggestionFiles.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr long kLines = BulkSuggestionFiles().lines();

struct Run {
    double seconds = 0;
    long peakKiB = 0;
    bool ok = false;
};

// Runs argv with standard output to outPath (or /dev/null); wall time and peak resident set.
Run run(const std::vector<std::string>& args, const std::string& outPath = "/dev/null") {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Run result;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        result.peakKiB = usage.ru_maxrss;
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    return result;
}

// A folder with the catalogue's database, the 100,000-line suggestions file and a header-only one.
struct Workspace {
    fs::path dir;
    fs::path catalogue, suggestions, headerOnly;
    std::string server = VLP_APPSERVER_BIN;

    Workspace() {
        char name[] = "/tmp/vlp-transfer-bench-XXXXXX";
        dir = mkdtemp(name);
        catalogue = dir / "catalogue.sqlite";
        suggestions = dir / "sugestoes.csv";
        headerOnly = dir / "vazio.csv";
        const BulkSuggestionFiles files;
        files.writeProducts(dir / "produtos.csv");
        files.writeSuggestions(suggestions);
        std::ofstream(headerOnly, std::ios::binary) << BulkSuggestionFiles::kHeader;
        if (!run({server, "products", "import", (dir / "produtos.csv").string(), "--db",
                  "sqlite:" + catalogue.string()})
                 .ok)
            std::abort();
    }
    ~Workspace() { fs::remove_all(dir); }

    // A copy of the catalogue without suggestions, to import into.
    std::string freshCopy(const std::string& name) const {
        const fs::path copy = dir / name;
        fs::copy_file(catalogue, copy, fs::copy_options::overwrite_existing);
        return copy.string();
    }
    // The catalogue with the suggestions imported, to export from.
    const std::string& loaded() {
        if (m_loaded.empty()) {
            m_loaded = freshCopy("loaded.sqlite");
            if (!run({server, "import", suggestions.string(), "--db", "sqlite:" + m_loaded}).ok)
                std::abort();
        }
        return m_loaded;
    }

  private:
    std::string m_loaded;
};

Workspace& workspace() {
    static Workspace w;
    return w;
}

// Times each iteration by its child alone, setup excluded.
template <class Setup, class Child>
void timeChild(benchmark::State& state, Setup setup, Child child) {
    Run last;
    for (auto _ : state) {
        setup();
        last = child();
        if (!last.ok) state.SkipWithError("the program failed");
        state.SetIterationTime(last.seconds);
    }
    state.counters["peak_MiB"] = static_cast<double>(last.peakKiB) / 1024;
    state.SetItemsProcessed(state.iterations() * kLines);
}

// The export's join as the store writes it (appserver/store/SqlStore.cpp kSuggestions).
const char* kExportJoin =
    "SELECT G.CDGRUSUGESPROD, G.NMGRUSUGESPROD, G.NRORDEM, P.CDARVPROD, M.IDQUANTPRODPRINC, "
    "M.IDTOTALPRODPRINC, Q.CDARVPROD, R.IDQUANTPROD, R.IDTOTALPROD FROM GRUSUGESPROD G "
    "LEFT JOIN PRODPRINC M ON M.CDGRUSUGESPROD = G.CDGRUSUGESPROD "
    "LEFT JOIN PRODUTO P ON P.CDPRODUTO = M.CDPRODUTO "
    "LEFT JOIN PRODRELAC R ON R.CDGRUSUGESPROD = M.CDGRUSUGESPROD AND R.CDPRODUTO = M.CDPRODUTO "
    "LEFT JOIN PRODUTO Q ON Q.CDPRODUTO = R.CDPRODUTORELAC ORDER BY "
    "length(ltrim(G.NRORDEM, '0')), ltrim(G.NRORDEM, '0'), G.NRORDEM, "
    "length(ltrim(G.CDGRUSUGESPROD, '0')), ltrim(G.CDGRUSUGESPROD, '0'), G.CDGRUSUGESPROD, "
    "P.CDARVPROD, Q.CDARVPROD";

void BM_Anchor_SqliteCsvExport(benchmark::State& state) {
    Workspace& w = workspace();
    const std::string db = w.loaded();
    timeChild(state, [] {}, [&] { return run({"sqlite3", "-csv", "-separator", ";", db, kExportJoin}); });
}

void BM_Export(benchmark::State& state) {
    Workspace& w = workspace();
    const std::string db = "sqlite:" + w.loaded();
    timeChild(state, [] {}, [&] { return run({w.server, "export", "--db", db}); });
}

void BM_Anchor_SqliteImport(benchmark::State& state) {
    Workspace& w = workspace();
    const fs::path bare = w.dir / "bare.sqlite";
    timeChild(
        state, [&] { fs::remove(bare); },
        [&] {
            return run({"sqlite3", bare.string(), ".mode csv", ".separator ;",
                        ".import " + w.suggestions.string() + " t"});
        });
}

void BM_Import(benchmark::State& state) {
    Workspace& w = workspace();
    std::string db;
    timeChild(
        state, [&] { db = "sqlite:" + w.freshCopy("import.sqlite"); },
        [&] { return run({w.server, "import", w.suggestions.string(), "--db", db}); });
    const Run empty =
        run({w.server, "import", w.headerOnly.string(), "--db", "sqlite:" + w.freshCopy("e.sqlite")});
    const double fileMiB = static_cast<double>(fs::file_size(w.suggestions)) / (1024 * 1024);
    const double overMiB = (state.counters["peak_MiB"] - static_cast<double>(empty.peakKiB) / 1024);
    state.counters["file_MiB"] = fileMiB;
    state.counters["over_base_MiB"] = overMiB;
    state.counters["mem_per_file"] = overMiB / fileMiB;
}

}  // namespace

BENCHMARK(BM_Anchor_SqliteCsvExport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Export)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Anchor_SqliteImport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Import)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_MAIN();
