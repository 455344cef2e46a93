#pragma once
// A fresh database per test, SQLite (a temporary file) or PostgreSQL (a private schema in the
// database named by VLP_TEST_PG; the test is skipped when it is unset), and short helpers that
// turn answers into one string so each case asserts once.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/SqlConnection.h"
#include "store/Store.h"
#include "support/PostgresSchema.h"
#include "wire/ChangeLog.h"
#include "wire/Packet.h"

namespace storetest {

enum class Backend { Sqlite, Postgres };

// The origin of the writes of tests that are not about the history.
inline const appserver::ChangeOrigin kByTest{"teste", "teste", ""};
std::string backendName(const testing::TestParamInfo<Backend>& info);

class StoreTest : public testing::TestWithParam<Backend> {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Another connection to the same database, as a second server thread or process would hold.
    std::unique_ptr<appserver::Store> openAnother();
    // Runs SQL on the database directly, bypassing the store; the database's error text, or "".
    std::string rawSql(const std::string& sql);
    // A connection of the store's own kind to the same database, without the store's checks.
    std::unique_ptr<appserver::SqlConnection> openConnection();

    // Products 0000000001.. with tree codes 1.01.001.0001.. and names "Produto N".
    void addProducts(int count);
    void addGroup(const std::string& code, const std::string& name, const std::string& order);
    void addMain(const std::string& group, const std::string& product, const char* quantity = "N",
                 const char* total = "S");
    void addRelated(const std::string& group, const std::string& main, const std::string& related,
                    const char* quantity = "N", const char* total = "S");

    // Every group with its main and related products and flags, one "group|main|related|flags"
    // line each (suggestions()), to compare whole states before and after an action.
    std::string lists();

    std::string url;
    std::unique_ptr<appserver::StoreFactory> factory;
    std::unique_ptr<appserver::Store> store;

  private:
    std::string m_dir;
    std::optional<PostgresSchema> m_schema;
};

// Rows as "a|b|-" lines (null shown as "-"), for one assertion per answer.
std::string dump(const wire::Packet& packet);
// The field list as "NAME(size) ...".
std::string fieldList(const wire::Packet& packet);
// "code: message" of a status, or "ok".
std::string describe(const wire::Status& status);
// An action's plan as "N acao what: before -> after" and "N erro message" lines, by place, or
// the refusal as describe() gives it.
std::string describe(const wire::Result<appserver::ActionPlan>& plan);

std::string productCode(int n);
std::string treeCode(int n);

// Change-log builders; null values are written as std::nullopt.
using Values = std::vector<wire::Value>;
wire::ChangeLog groupLog();
wire::ChangeLog mainLog();
wire::ChangeLog relatedLog();
void inserted(wire::ChangeLog& log, Values values);
void modified(wire::ChangeLog& log, Values oldValues, Values newValues);
void deleted(wire::ChangeLog& log, Values oldValues);

#define STORE_BACKENDS(Suite)                                                                   \
    INSTANTIATE_TEST_SUITE_P(                                                                   \
        Both, Suite, testing::Values(storetest::Backend::Sqlite, storetest::Backend::Postgres), \
        storetest::backendName)

}  // namespace storetest
