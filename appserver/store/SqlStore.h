#pragma once
// The Store over one SqlConnection: the same statements and rules for SQLite and PostgreSQL.
// Reads run outside transactions; every write runs in one transaction, retried a few times when
// PostgreSQL reports a deadlock or serialisation failure, and otherwise rolled back whole.

#include <functional>
#include <memory>

#include "store/SqlConnection.h"
#include "store/Store.h"

namespace appserver {

class FirstRowSink;
class UserTable;

class SqlStore : public Store {
  public:
    explicit SqlStore(std::unique_ptr<SqlConnection> conn) : m_conn(std::move(conn)) {}
    SqlStore(const SqlStore&) = delete;
    SqlStore& operator=(const SqlStore&) = delete;

    wire::Status groups(wire::PacketSink& out) override;
    wire::Status groupsByCode(std::string_view code, wire::PacketSink& out) override;
    wire::Status groupsByName(std::string_view name, wire::PacketSink& out) override;
    wire::Status groupsByOrder(std::string_view order, wire::PacketSink& out) override;
    wire::Status mainProducts(std::string_view group, wire::PacketSink& out) override;
    wire::Status allProducts(wire::PacketSink& out) override;
    wire::Status productByTreeCode(std::string& treeCode, wire::PacketSink& out) override;
    wire::Status mainProductRows(std::string_view group, std::string& treeCode,
                                 wire::PacketSink& out) override;
    wire::Status relatedRows(std::string_view group, std::string_view mainProduct,
                             std::string& treeCode, wire::PacketSink& out) override;
    wire::Status candidates(std::string_view mainProduct, std::string_view group,
                            wire::PacketSink& out) override;
    wire::Status relatedProducts(std::string_view group, std::string_view mainProduct,
                                 wire::PacketSink& out) override;

    wire::Status applyGroups(const wire::ChangeLog& log, const ChangeOrigin& origin) override;
    wire::Status applyMainProducts(const wire::ChangeLog& log, const ChangeOrigin& origin) override;
    wire::Status applyRelatedProducts(const wire::ChangeLog& log,
                                      const ChangeOrigin& origin) override;

    wire::Status suggestions(std::string_view group, wire::PacketSink& out) override;
    wire::Status applyImport(std::span<const ImportStep> steps, std::string_view user) override;

    wire::Status whereUsed(std::string_view product, wire::PacketSink& out) override;
    wire::Result<ActionPlan> replaceProduct(std::string_view from, std::string_view to, bool apply,
                                            std::string_view user) override;
    wire::Status historyPage(const HistoryPageQuery& query, wire::PacketSink& out) override;
    wire::Result<ActionPlan> undoSave(std::string_view save, bool apply,
                                      std::string_view user) override;
    wire::Status copyGroup(const GroupCopy& copy, std::string_view user) override;

    wire::Status ping() override;
    wire::Status seedDemo() override;
    wire::Status addProduct(std::string_view code, std::string_view treeCode,
                            std::string_view name) override;

    wire::Status addUser(std::string_view name, std::string_view passwordHash) override;
    wire::Status setUserPassword(std::string_view name, std::string_view passwordHash) override;
    wire::Status setUserEnabled(std::string_view name, bool enabled) override;
    wire::Result<std::optional<StoredUser>> findUser(std::string_view name) override;
    wire::Result<bool> anyUser() override;
    wire::Status history(const HistoryFilter& filter, wire::PacketSink& out) override;

  private:
    wire::Status read(const Query& query, const std::vector<wire::FieldDef>& fields,
                      std::initializer_list<wire::ValueView> params, wire::PacketSink& out);
    // Normalises treeCode and finds its product (CDPRODUTO, CDARVPROD, NMPRODUTO) into product.
    wire::Status findProduct(std::string& treeCode, FirstRowSink& product);
    wire::Status inTransaction(const std::function<wire::Status(SqlConnection&)>& body);
    // An action with a preview: without apply, body plans on the connection as it is; with
    // apply, body plans and applies in one transaction, rolled back when the plan holds a
    // refusal (the plan is answered, not applied).
    using PlanBody = std::function<wire::Result<ActionPlan>(SqlConnection&, bool apply)>;
    wire::Result<ActionPlan> planned(bool apply, const PlanBody& body);
    // Applies the log with Applier and records each entry's history, in one transaction.
    template <class Applier>
    wire::Status applyRecorded(const wire::ChangeLog& log, const ChangeOrigin& origin);
    // Runs a change to one user's row, named by a valid name, in a transaction.
    wire::Status changeUser(std::string_view name,
                            const std::function<wire::Status(UserTable&)>& change);
    wire::Status seedEmpty(SqlConnection& conn);

    std::unique_ptr<SqlConnection> m_conn;
};

}  // namespace appserver
