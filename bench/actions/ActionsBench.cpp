// The reads behind "where used" and the history dialog at scale, each beside its anchor in the
// same run, on one SQLite file: a product related in 10,000 lists of a catalogue of 1,000,000
// links, and a group with 100,000 history rows beside one with ten.
//
// GetOndeUsado against a bare indexed SELECT of the same places (the product's related rows, by
// IX_PRODRELAC_USO) through the sqlite3 C API, and against one bare SELECT that joins and orders
// the whole answer in SQL; GetHistorico's first page against the bare keyset SELECT of its 200
// rows, and beside the first page of a group with ten.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "store/Store.h"
#include "wire/PacketWriter.h"

namespace {

constexpr int kGroups = 100, kMainsPerGroup = 100, kRelatedPerList = 100, kPool = 1000;
constexpr int kHistoryRows = 100000, kRowsPerSave = 100;
const char* const kUsed = "P000000000";  // related in every list
const char* const kBigGroup = "0000000001";
const char* const kSmallGroup = "0000000002";

std::string code(char kind, int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%c%09d", kind, n);
    return text;
}

std::string tree(char kind, int n) {
    char text[24];
    std::snprintf(text, sizeof text, "%d.%02d.%03d.%04d", kind == 'M' ? 1 : 2, n / 10000 % 100,
                  n / 100 % 1000, n % 10000);
    return text;
}

void exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, error);
        std::abort();
    }
}

// Runs sql once per call of each(row) with text parameters bound.
struct Inserter {
    sqlite3_stmt* stmt = nullptr;
    Inserter(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr); }
    ~Inserter() { sqlite3_finalize(stmt); }
    void row(std::initializer_list<std::string> values) {
        int i = 0;
        for (const std::string& v : values)
            sqlite3_bind_text(stmt, ++i, v.c_str(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(stmt) != SQLITE_DONE) std::abort();
        sqlite3_reset(stmt);
    }
};

// The catalogue and the history written straight into a schema the store made, in one
// transaction (setting up 1,100,000 rows through the store's writers would take minutes).
void fill(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    exec(db, "BEGIN");
    {
        Inserter product(db,
                         "INSERT INTO PRODUTO (CDPRODUTO, CDARVPROD, NMPRODUTO, CDARVPRODDIG) "
                         "VALUES (?1, ?2, ?3, ?2)");
        product.row({kUsed, "9.99.999.9999", "Produto usado em toda lista"});
        for (int n = 1; n <= kMainsPerGroup; ++n)
            product.row({code('M', n), tree('M', n), "Principal " + std::to_string(n)});
        for (int n = 1; n <= kPool; ++n)
            product.row({code('R', n), tree('R', n), "Relacionado " + std::to_string(n)});
        Inserter group(db,
                       "INSERT INTO GRUSUGESPROD (CDGRUSUGESPROD, NMGRUSUGESPROD, NRORDEM, "
                       "NMGRUSUGESCHAVE) VALUES (?1, ?2, ?3, ?2)");
        Inserter main(db, "INSERT INTO PRODPRINC VALUES (?1, ?2, 'N', 'S')");
        Inserter related(db, "INSERT INTO PRODRELAC VALUES (?1, ?2, ?3, 'N', 'S')");
        for (int g = 1; g <= kGroups; ++g) {
            const std::string gc = code('0', g);
            group.row({gc, "Grupo " + std::to_string(g), std::to_string(kGroups + 1 - g)});
            for (int m = 1; m <= kMainsPerGroup; ++m) {
                main.row({gc, code('M', m)});
                related.row({gc, code('M', m), kUsed});
                for (int r = 1; r < kRelatedPerList; ++r)
                    related.row({gc, code('M', m), code('R', (g * 7 + m * 13 + r) % kPool + 1)});
            }
        }
        Inserter save(db,
                      "INSERT INTO saves (id, at_utc, user_name, origin) VALUES (?1, ?2, 'ana', "
                      "'SetProdRelac')");
        Inserter history(db,
                         "INSERT INTO history (at_utc, user_name, method, operation, kind, "
                         "group_code, old_row, new_row, save_id, main_product) VALUES (?1, 'ana', "
                         "'SetProdRelac', 'E', 'modify', ?2, ?3, ?4, ?5, ?6)");
        const std::string at = "2026-12-09T19:00:00.000Z";
        auto row = [&](const std::string& group, int n, const char* was, const char* is) {
            const std::string main = code('M', n % kMainsPerGroup + 1);
            const std::string key = R"({"CDGRUSUGESPROD":")" + group + R"(","CDPRODUTO":")" + main +
                                    R"(","CDPRODUTORELAC":")" + code('R', n % kPool + 1) +
                                    R"(","IDQUANTPROD":")";
            return std::pair{key + was + R"(","IDTOTALPROD":"S"})",
                             key + is + R"(","IDTOTALPROD":"S"})"};
        };
        for (int n = 0; n < kHistoryRows + 10; ++n) {
            const bool big = n < kHistoryRows;
            const std::string saveId = std::to_string(n / kRowsPerSave + 1);
            if (n % kRowsPerSave == 0) save.row({saveId, at});
            auto [was, is] = row(big ? kBigGroup : kSmallGroup, n, "N", "S");
            history.row({at, big ? kBigGroup : kSmallGroup, was, is, saveId,
                         code('M', n % kMainsPerGroup + 1)});
        }
    }
    exec(db, "COMMIT");
    exec(db, "ANALYZE");
    sqlite3_close(db);
}

struct Catalogue {
    std::string dir, path;
    std::unique_ptr<appserver::StoreFactory> factory;
    std::unique_ptr<appserver::Store> store;

    Catalogue() {
        char name[] = "/tmp/vlp-actions-bench-XXXXXX";
        dir = mkdtemp(name);
        path = dir + "/bench.db";
        factory = std::move(*appserver::makeStoreFactory("sqlite:" + path));
        store = std::move(*factory->open());
        fill(path);
    }
    ~Catalogue() {
        store.reset();
        std::filesystem::remove_all(dir);
    }
};

Catalogue& catalogue() {
    static Catalogue c;
    return c;
}

// Steps sql with one text parameter, copying every value out as text; the rows it gave.
std::size_t bare(sqlite3_stmt* stmt, const char* param, std::string& out) {
    std::size_t rows = 0;
    sqlite3_bind_text(stmt, 1, param, -1, SQLITE_STATIC);
    const int columns = sqlite3_column_count(stmt);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < columns; ++c)
            if (auto* v = sqlite3_column_text(stmt, c))
                out.append(reinterpret_cast<const char*>(v));
    }
    sqlite3_reset(stmt);
    return rows;
}

void bareSelect(benchmark::State& state, const char* sql, const char* param, std::size_t rows) {
    sqlite3* db = nullptr;
    sqlite3_open(catalogue().path.c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        return;
    }
    std::string out;
    for (auto _ : state) {
        out.clear();
        if (bare(stmt, param, out) != rows) state.SkipWithError("other rows");
        benchmark::DoNotOptimize(out.data());
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

constexpr std::size_t kPlaces = kGroups * kMainsPerGroup;

void BM_Anchor_BareIndexedSelectOfThePlaces(benchmark::State& state) {
    bareSelect(state, "SELECT CDGRUSUGESPROD, CDPRODUTO FROM PRODRELAC WHERE CDPRODUTORELAC = ?1",
               kUsed, kPlaces);
}

// The answer's rows joined and ordered by SQL alone (related places only: the product is no
// main product here).
void BM_Anchor_JoinedAndOrderedInSql(benchmark::State& state) {
    bareSelect(state,
               "SELECT G.CDGRUSUGESPROD, G.NMGRUSUGESPROD, P.CDPRODUTO, P.CDARVPROD, P.NMPRODUTO, "
               "'R' FROM PRODRELAC R JOIN GRUSUGESPROD G ON G.CDGRUSUGESPROD = R.CDGRUSUGESPROD "
               "JOIN PRODUTO P ON P.CDPRODUTO = R.CDPRODUTO WHERE R.CDPRODUTORELAC = ?1 ORDER BY "
               "length(ltrim(G.NRORDEM, '0')), ltrim(G.NRORDEM, '0'), G.NRORDEM, "
               "length(ltrim(G.CDGRUSUGESPROD, '0')), ltrim(G.CDGRUSUGESPROD, '0'), "
               "G.CDGRUSUGESPROD, P.CDARVPROD",
               kUsed, kPlaces);
}

void BM_Store_GetOndeUsado(benchmark::State& state) {
    auto& store = *catalogue().store;
    std::string out;
    for (auto _ : state) {
        out.clear();
        wire::PacketWriter writer(out);
        if (!store.whereUsed(kUsed, writer)) state.SkipWithError("read failed");
        writer.finish();
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_Anchor_BareHistoryFirstPage(benchmark::State& state) {
    bareSelect(state,
               "SELECT h.id, h.save_id, h.at_utc, h.user_name, s.origin, h.kind, h.old_row, "
               "h.new_row FROM history h JOIN saves s ON s.id = h.save_id "
               "WHERE h.group_code = ?1 ORDER BY h.id DESC LIMIT 200",
               kBigGroup, 200);
}

// Arg 0: the group with 100,000 rows; 1: the group with ten.
void BM_Store_GetHistoricoFirstPage(benchmark::State& state) {
    auto& store = *catalogue().store;
    const char* group = state.range(0) == 0 ? kBigGroup : kSmallGroup;
    std::string out;
    for (auto _ : state) {
        out.clear();
        wire::PacketWriter writer(out);
        if (!store.historyPage({group, "", ""}, writer)) state.SkipWithError("read failed");
        writer.finish();
        benchmark::DoNotOptimize(out.data());
    }
}

}  // namespace

BENCHMARK(BM_Anchor_BareIndexedSelectOfThePlaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Anchor_JoinedAndOrderedInSql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Store_GetOndeUsado)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Anchor_BareHistoryFirstPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Store_GetHistoricoFirstPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
