// An import of 100,000 lines killed with SIGKILL while it applies leaves all of it or none of it,
// and the database it leaves takes the same import again.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/AppServerProcess.h"
#include "support/BulkSuggestionFiles.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr BulkSuggestionFiles kFiles;
constexpr int kGroups = 100, kMains = 10, kRelated = 100;

long long count(const fs::path& db, const char* table) {
    sqlite3* raw = nullptr;
    long long n = -1;
    if (sqlite3_open_v2(db.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        const std::string sql = std::string("SELECT count(*) FROM ") + table;
        if (sqlite3_prepare_v2(raw, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            n = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(raw);
    return n;
}

struct Counts {
    long long groups, mains, related, history;
    bool operator==(const Counts&) const = default;
};

Counts counts(const fs::path& db) {
    return {count(db, "GRUSUGESPROD"), count(db, "PRODPRINC"), count(db, "PRODRELAC"),
            count(db, "history")};
}

std::ostream& operator<<(std::ostream& out, const Counts& c) {
    return out << c.groups << " grupos, " << c.mains << " principais, " << c.related
               << " relacionados, " << c.history << " linhas de histórico";
}

// Beside the history the catalogue's own import left.
Counts nothing(long long history) { return {0, 0, 0, history}; }
Counts everything(long long history) {
    return {kGroups, kGroups * kMains, kGroups * kMains * kRelated,
            history + kGroups + kGroups * kMains + kGroups * kMains * kRelated};
}

class ImportKilled : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("vlp-import-killed-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        kFiles.writeProducts(dir / "produtos.csv");
        kFiles.writeSuggestions(dir / "sugestoes.csv");
        std::string out;
        ASSERT_EQ(AppServerProcess::runToExit({"products", "import",
                                               (dir / "produtos.csv").string(), "--db",
                                               "sqlite:" + catalogue().string()},
                                              &out),
                  0)
            << out;
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path catalogue() const { return dir / "catalogo.sqlite"; }
    std::vector<std::string> importInto(const fs::path& db) const {
        return {"import", (dir / "sugestoes.csv").string(), "--db", "sqlite:" + db.string(),
                "--user", "ana"};
    }

    fs::path dir;
};

TEST_F(ImportKilled, AtAnyMomentOfTheApplyLeavesAllOrNothing) {
    const long long before = count(catalogue(), "history");
    const Counts kNothing = nothing(before), kEverything = everything(before);
    // From right after the preview, when the transaction has just begun, to well into it.
    for (auto delay : {0ms, 300ms, 1500ms}) {
        SCOPED_TRACE(std::to_string(delay.count()) + " ms depois da prévia");
        const fs::path db = dir / ("killed-" + std::to_string(delay.count()) + ".sqlite");
        fs::copy_file(catalogue(), db);
        AppServerProcess import;
        ASSERT_TRUE(import.startUntil(importInto(db), "erros: 0\n")) << import.output();
        std::this_thread::sleep_for(delay);
        const bool killedWhileApplying =
            import.output().find("importação aplicada") == std::string::npos;
        const int code = import.stop(SIGKILL);
        const Counts left = counts(db);
        EXPECT_TRUE(left == kNothing || left == kEverything) << left;
        if (delay == 0ms) {
            // Too soon for 100,000 rows: the kill met the transaction, which left nothing.
            EXPECT_TRUE(killedWhileApplying);
            EXPECT_EQ(code, 128 + SIGKILL);
            EXPECT_EQ(left, kNothing);
            std::string out;
            ASSERT_EQ(AppServerProcess::runToExit(importInto(db), &out), 0)
                << out.substr(out.size() > 2000 ? out.size() - 2000 : 0);
            EXPECT_EQ(counts(db), kEverything);
        }
    }
}

}  // namespace
