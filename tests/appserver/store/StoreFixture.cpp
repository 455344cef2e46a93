#include "StoreFixture.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "store/PgConnection.h"
#include "store/SqliteConnection.h"

namespace storetest {

std::string backendName(const testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Sqlite ? "Sqlite" : "Postgres";
}

void StoreTest::SetUp() {
    if (GetParam() == Backend::Sqlite) {
        char dir[] = "/tmp/vlp-store-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_dir = dir;
        url = "sqlite:" + m_dir + "/test.db";
    } else {
        if (PostgresSchema::base().empty()) GTEST_SKIP() << "VLP_TEST_PG is not set";
        m_schema.emplace("vlp_t");
        ASSERT_EQ(m_schema->error(), "");
        url = m_schema->url();
    }
    auto made = appserver::makeStoreFactory(url);
    ASSERT_TRUE(made) << made.status().message();
    factory = std::move(*made);
    store = openAnother();
    ASSERT_TRUE(store);
}

void StoreTest::TearDown() {
    store.reset();
    factory.reset();
    if (!m_dir.empty()) std::filesystem::remove_all(m_dir);
    m_schema.reset();
}

std::unique_ptr<appserver::Store> StoreTest::openAnother() {
    auto opened = factory->open();
    EXPECT_TRUE(opened) << opened.status().message();
    return opened ? std::move(*opened) : nullptr;
}

std::string StoreTest::rawSql(const std::string& sql) {
    if (GetParam() == Backend::Postgres) return postgresExec(url, sql);
    sqlite3* db = nullptr;
    sqlite3_open((m_dir + "/test.db").c_str(), &db);
    sqlite3_busy_timeout(db, 5000);
    char* message = nullptr;
    std::string error;
    if (sqlite3_exec(db, ("PRAGMA foreign_keys=ON; " + sql).c_str(), nullptr, nullptr, &message) !=
        SQLITE_OK) {
        error = message ? message : "error";
    }
    sqlite3_free(message);
    sqlite3_close(db);
    return error;
}

std::unique_ptr<appserver::SqlConnection> StoreTest::openConnection() {
    auto take = [](auto opened) -> std::unique_ptr<appserver::SqlConnection> {
        EXPECT_TRUE(opened) << opened.status().message();
        return opened ? std::move(*opened) : nullptr;
    };
    if (GetParam() == Backend::Postgres) return take(appserver::PgConnection::open(url));
    return take(appserver::SqliteConnection::open(m_dir + "/test.db"));
}

void StoreTest::addProducts(int count) {
    for (int n = 1; n <= count; ++n) {
        ASSERT_EQ(describe(store->addProduct(productCode(n), treeCode(n),
                                             "Produto " + std::to_string(n))),
                  "ok");
    }
}

void StoreTest::addGroup(const std::string& code, const std::string& name,
                         const std::string& order) {
    wire::ChangeLog log = groupLog();
    inserted(log, {code, name, order});
    ASSERT_EQ(describe(store->applyGroups(log, kByTest)), "ok");
}

void StoreTest::addMain(const std::string& group, const std::string& product, const char* quantity,
                        const char* total) {
    wire::ChangeLog log = mainLog();
    inserted(log, {std::nullopt, product, std::nullopt, group, quantity, total});
    ASSERT_EQ(describe(store->applyMainProducts(log, kByTest)), "ok");
}

void StoreTest::addRelated(const std::string& group, const std::string& main,
                           const std::string& related, const char* quantity, const char* total) {
    wire::ChangeLog log = relatedLog();
    inserted(log, {group, main, related, std::nullopt, std::nullopt, quantity, total});
    ASSERT_EQ(describe(store->applyRelatedProducts(log, kByTest)), "ok");
}

std::string StoreTest::lists() {
    wire::Packet rows;
    EXPECT_EQ(describe(store->suggestions("", rows)), "ok");
    return dump(rows);
}

std::string describe(const wire::Result<appserver::ActionPlan>& plan) {
    if (!plan) return describe(plan.status());
    std::vector<std::pair<std::size_t, std::string>> lines;
    const char* actions[] = {"incluir", "alterar", "excluir"};
    for (const auto& c : plan->changes) {
        // As the import's preview words a change.
        std::string text = actions[static_cast<int>(c.action)] + (" " + c.what);
        if (c.action == appserver::PlanAction::Alter)
            text += ": " + c.before + " -> " + c.after;
        else if (!(c.before + c.after).empty())
            text += " (" + c.before + c.after + ")";
        lines.emplace_back(c.line, text);
    }
    for (const auto& p : plan->problems) lines.emplace_back(p.line, "erro " + p.message);
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string out = plan->applied ? "aplicado\n" : "";
    for (const auto& [line, text] : lines) out += std::to_string(line) + " " + text + "\n";
    return out;
}

std::string dump(const wire::Packet& packet) {
    std::string out;
    for (const auto& row : packet.rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) out += '|';
            out += row[i] ? *row[i] : "-";
        }
        out += '\n';
    }
    return out;
}

std::string fieldList(const wire::Packet& packet) {
    std::string out;
    for (const auto& f : packet.fields) {
        if (!out.empty()) out += ' ';
        out += f.name + "(" + std::to_string(f.size) + ")";
    }
    return out;
}

std::string describe(const wire::Status& status) {
    return status ? "ok" : std::to_string(status.code()) + ": " + status.message();
}

std::string productCode(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%010d", n);
    return text;
}

std::string treeCode(int n) {
    char text[24];
    std::snprintf(text, sizeof text, "1.01.001.%04d", n);
    return text;
}

wire::ChangeLog groupLog() {
    return {{{"CDGRUSUGESPROD", 10}, {"NMGRUSUGESPROD", 40}, {"NRORDEM", 4}}, {}};
}

wire::ChangeLog mainLog() {
    return {{{"CDARVPROD", 20},
             {"CDPRODUTO", 10},
             {"NMPRODUTO", 50},
             {"CDGRUSUGESPROD", 10},
             {"IDQUANTPRODPRINC", 1},
             {"IDTOTALPRODPRINC", 1}},
            {}};
}

wire::ChangeLog relatedLog() {
    return {{{"CDGRUSUGESPROD", 10},
             {"CDPRODUTO", 10},
             {"CDPRODUTORELAC", 10},
             {"CDARVPRODRELAC", 20},
             {"NMPRODUTORELAC", 50},
             {"IDQUANTPROD", 1},
             {"IDTOTALPROD", 1}},
            {}};
}

void inserted(wire::ChangeLog& log, Values values) {
    log.changes.push_back({wire::ChangeKind::Insert, {}, std::move(values)});
}

void modified(wire::ChangeLog& log, Values oldValues, Values newValues) {
    log.changes.push_back({wire::ChangeKind::Modify, std::move(oldValues), std::move(newValues)});
}

void deleted(wire::ChangeLog& log, Values oldValues) {
    log.changes.push_back({wire::ChangeKind::Delete, std::move(oldValues), {}});
}

}  // namespace storetest
