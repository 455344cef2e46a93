#include "store/SqlStore.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

#include "store/ConstraintMessages.h"
#include "store/DemoCatalogue.h"
#include "store/FirstRowSink.h"
#include "store/GroupApplier.h"
#include "store/ImportStepApplier.h"
#include "store/MainProductApplier.h"
#include "store/ProductApplier.h"
#include "store/RelatedProductApplier.h"
#include "store/TextKeys.h"
#include "store/UserNames.h"
#include "store/UserTable.h"
#include "store/UtcTime.h"
#include "wire/ColumnFields.h"
#include "wire/FieldDef.h"

namespace appserver {

namespace {

using Fields = std::vector<wire::FieldDef>;

const Fields kGroupFields = wire::fieldDefs(wire::fields::kGroups);
const Fields kGroupCheckFields = wire::fieldDefs(wire::fields::kGroupCheck);
const Fields kMainFields = wire::fieldDefs(wire::fields::kMainProducts);
const Fields kProductFields = wire::fieldDefs(wire::fields::kProducts);
const Fields kMainRowFields = wire::fieldDefs(wire::fields::kMainProductRows);
const Fields kRelatedRowFields = wire::fieldDefs(wire::fields::kRelatedRows);
const Fields kRelatedFields = wire::fieldDefs(wire::fields::kRelatedProducts);

// Orders and group codes are digit strings: leading zeros aside, a shorter one is a smaller number.
// Reads a table of the schema, so a missing schema or an unreadable file fails too.
const Query kPing{"SELECT 1 FROM GRUSUGESPROD LIMIT 1"};
const Query kGroups{
    "SELECT CDGRUSUGESPROD, NMGRUSUGESPROD, NRORDEM FROM GRUSUGESPROD ORDER BY "
    "length(ltrim(NRORDEM, '0')), ltrim(NRORDEM, '0'), NRORDEM, "
    "length(ltrim(CDGRUSUGESPROD, '0')), ltrim(CDGRUSUGESPROD, '0'), CDGRUSUGESPROD"};
const Query kGroupsByCode{
    "SELECT CDGRUSUGESPROD, NMGRUSUGESPROD FROM GRUSUGESPROD WHERE CDGRUSUGESPROD = $1"};
// By the folded key, so "SUGESTÃO " finds "Sugestão" and a renamed group finds itself.
const Query kGroupsByName{
    "SELECT CDGRUSUGESPROD, NMGRUSUGESPROD FROM GRUSUGESPROD WHERE NMGRUSUGESCHAVE = $1"};
const Query kGroupsByOrder{
    "SELECT CDGRUSUGESPROD, NMGRUSUGESPROD, NRORDEM FROM GRUSUGESPROD WHERE NRORDEM = $1"};
const Query kMainProducts{
    "SELECT P.CDARVPROD, P.CDPRODUTO, P.NMPRODUTO, M.CDGRUSUGESPROD, M.IDQUANTPRODPRINC, "
    "M.IDTOTALPRODPRINC FROM PRODPRINC M JOIN PRODUTO P ON P.CDPRODUTO = M.CDPRODUTO "
    "WHERE M.CDGRUSUGESPROD = $1 ORDER BY P.CDARVPROD"};
const Query kAllProducts{"SELECT CDPRODUTO, CDARVPROD, NMPRODUTO FROM PRODUTO ORDER BY CDARVPROD"};
const Query kProductExact{
    "SELECT CDPRODUTO, CDARVPROD, NMPRODUTO FROM PRODUTO WHERE CDARVPROD = $1"};
const Query kProductDigits{
    "SELECT CDPRODUTO, CDARVPROD, NMPRODUTO FROM PRODUTO WHERE CDARVPRODDIG = $1 "
    "ORDER BY CDARVPROD LIMIT 1"};
const Query kMainRows{
    "SELECT P.CDARVPROD, P.NMPRODUTO, P.CDPRODUTO, M.CDGRUSUGESPROD FROM PRODPRINC M "
    "JOIN PRODUTO P ON P.CDPRODUTO = M.CDPRODUTO WHERE M.CDGRUSUGESPROD = $1 AND M.CDPRODUTO = $2"};
const Query kRelatedRows{
    "SELECT P.CDPRODUTO, P.NMPRODUTO FROM PRODRELAC R JOIN PRODUTO P ON P.CDPRODUTO = "
    "R.CDPRODUTORELAC "
    "WHERE R.CDGRUSUGESPROD = $1 AND R.CDPRODUTO = $2 AND R.CDPRODUTORELAC = $3"};
const Query kCandidates{
    "SELECT CDPRODUTO, CDARVPROD, NMPRODUTO FROM PRODUTO WHERE CDPRODUTO <> $1 ORDER BY CDARVPROD"};
const Query kRelatedProducts{
    "SELECT R.CDGRUSUGESPROD, R.CDPRODUTO, R.CDPRODUTORELAC, P.CDARVPROD, P.NMPRODUTO, "
    "R.IDQUANTPROD, R.IDTOTALPROD FROM PRODRELAC R JOIN PRODUTO P ON P.CDPRODUTO = "
    "R.CDPRODUTORELAC "
    "WHERE R.CDGRUSUGESPROD = $1 AND R.CDPRODUTO = $2 ORDER BY P.CDARVPROD"};
const Fields kSuggestionFields = wire::fieldDefs(std::array{
    wire::column::CDGRUSUGESPROD, wire::column::NMGRUSUGESPROD, wire::column::NRORDEM,
    wire::column::CDARVPROD, wire::column::IDQUANTPRODPRINC, wire::column::IDTOTALPRODPRINC,
    wire::column::CDARVPRODRELAC, wire::column::IDQUANTPROD, wire::column::IDTOTALPROD});
// One row per group, main product and related product; a group or main product without children
// still gives its one row, so only one row of each can hold nulls and where nulls sort is moot.
const Query kSuggestions{
    "SELECT G.CDGRUSUGESPROD, G.NMGRUSUGESPROD, G.NRORDEM, P.CDARVPROD, M.IDQUANTPRODPRINC, "
    "M.IDTOTALPRODPRINC, Q.CDARVPROD, R.IDQUANTPROD, R.IDTOTALPROD FROM GRUSUGESPROD G "
    "LEFT JOIN PRODPRINC M ON M.CDGRUSUGESPROD = G.CDGRUSUGESPROD "
    "LEFT JOIN PRODUTO P ON P.CDPRODUTO = M.CDPRODUTO "
    "LEFT JOIN PRODRELAC R ON R.CDGRUSUGESPROD = M.CDGRUSUGESPROD AND R.CDPRODUTO = M.CDPRODUTO "
    "LEFT JOIN PRODUTO Q ON Q.CDPRODUTO = R.CDPRODUTORELAC "
    "WHERE ($1 IS NULL OR G.CDGRUSUGESPROD = $1) ORDER BY "
    "length(ltrim(G.NRORDEM, '0')), ltrim(G.NRORDEM, '0'), G.NRORDEM, "
    "length(ltrim(G.CDGRUSUGESPROD, '0')), ltrim(G.CDGRUSUGESPROD, '0'), G.CDGRUSUGESPROD, "
    "P.CDARVPROD, Q.CDARVPROD"};
const Query kAnyData{"SELECT 1 FROM PRODUTO UNION ALL SELECT 1 FROM GRUSUGESPROD LIMIT 1"};

// Sizes bound nothing here (the rows are read, never written by a client); 8192 is the largest a
// packet allows.
const Fields kHistoryFields = {{"quando", 24},
                               {"usuario", static_cast<int>(kMaxUserName)},
                               {"metodo", 20},
                               {"operacao", wire::param::kOperation.size},
                               {"tipo", 6},
                               {"grupo", wire::column::CDGRUSUGESPROD.size},
                               {"antes", 8192},
                               {"depois", 8192},
                               {"gravacao", wire::column::NRGRAVACAO.size}};
const Query kHistory{
    "SELECT at_utc, user_name, method, operation, kind, group_code, old_row, new_row, save_id "
    "FROM history "
    "WHERE ($1 IS NULL OR at_utc >= $1) AND ($2 IS NULL OR user_name = $2) "
    "AND ($3 IS NULL OR group_code = $3) ORDER BY at_utc, id"};

constexpr int kWriteAttempts = 3;

// A value no stored row can hold (invalid UTF-8 or a NUL) matches nothing; PostgreSQL would
// otherwise fail on it instead of answering "no rows".
bool searchable(std::initializer_list<wire::ValueView> params) {
    for (const wire::ValueView& p : params) {
        if (p && (p->find('\0') != std::string_view::npos || !wire::isValidUtf8(*p))) return false;
    }
    return true;
}

template <class Applier>
wire::Status applyWith(SqlConnection& conn, const wire::ChangeLog& log,
                       HistoryRecorder* history = nullptr) {
    Applier applier(conn);
    return applier.apply(log, history);
}

std::string now() { return utcTimestamp(std::chrono::system_clock::now()); }

wire::ValueView unlessEmpty(const std::string& text) {
    return text.empty() ? std::nullopt : wire::ValueView(text);
}

// Only what hashPassword makes is stored, so a password passed by mistake never lands in the
// table; the value itself is never repeated in the message.
wire::Status checkHash(std::string_view hash) {
    constexpr std::string_view kPrefix = "$argon2id$";
    bool printable =
        std::all_of(hash.begin(), hash.end(), [](char c) { return c > ' ' && c < 127; });
    if (hash.starts_with(kPrefix) && hash.size() < 128 && printable) return {};
    return {wire::ErrorCode::Internal,
            "O resumo da senha não está no formato esperado; nada foi alterado."};
}

}  // namespace

wire::Status SqlStore::read(const Query& query, const Fields& fields,
                            std::initializer_list<wire::ValueView> params, wire::PacketSink& out) {
    if (wire::Status status = out.onFields(fields); !status) return status;
    if (!searchable(params)) return {};
    SqlError err = m_conn->run(query, {params.begin(), params.size()}, &out);
    return ConstraintMessages::describe(err);
}

wire::Status SqlStore::ping() {
    return ConstraintMessages::describe(m_conn->run(kPing, {}, nullptr));
}

wire::Status SqlStore::groups(wire::PacketSink& out) {
    return read(kGroups, kGroupFields, {}, out);
}

wire::Status SqlStore::groupsByCode(std::string_view code, wire::PacketSink& out) {
    return read(kGroupsByCode, kGroupCheckFields, {code}, out);
}

wire::Status SqlStore::groupsByName(std::string_view name, wire::PacketSink& out) {
    std::string key = nameKey(name);
    return read(kGroupsByName, kGroupCheckFields, {key}, out);
}

wire::Status SqlStore::groupsByOrder(std::string_view order, wire::PacketSink& out) {
    return read(kGroupsByOrder, kGroupFields, {order}, out);
}

wire::Status SqlStore::mainProducts(std::string_view group, wire::PacketSink& out) {
    return read(kMainProducts, kMainFields, {group}, out);
}

wire::Status SqlStore::allProducts(wire::PacketSink& out) {
    return read(kAllProducts, kProductFields, {}, out);
}

wire::Status SqlStore::findProduct(std::string& treeCode, FirstRowSink& product) {
    treeCode = std::string(trimBlanks(treeCode));
    if (treeCode.empty() || !searchable({treeCode})) return {};
    if (SqlError err =
            m_conn->run(kProductExact, std::vector<wire::ValueView>{treeCode}, &product)) {
        return ConstraintMessages::describe(err);
    }
    if (!product.found()) {
        // The edit mask may or may not have put its dots in: compare the digits alone.
        std::string digits = treeDigits(treeCode);
        if (digits.empty()) return {};
        if (SqlError err =
                m_conn->run(kProductDigits, std::vector<wire::ValueView>{digits}, &product)) {
            return ConstraintMessages::describe(err);
        }
    }
    if (product.found()) treeCode = *product.row()[1];
    return {};
}

wire::Status SqlStore::productByTreeCode(std::string& treeCode, wire::PacketSink& out) {
    if (wire::Status status = out.onFields(kProductFields); !status) return status;
    FirstRowSink product;
    if (wire::Status status = findProduct(treeCode, product); !status || !product.found())
        return status;
    std::vector<wire::ValueView> row(product.row().begin(), product.row().end());
    return out.onRow(row);
}

wire::Status SqlStore::mainProductRows(std::string_view group, std::string& treeCode,
                                       wire::PacketSink& out) {
    FirstRowSink product;
    if (wire::Status status = findProduct(treeCode, product); !status) return status;
    if (!product.found()) return out.onFields(kMainRowFields);
    return read(kMainRows, kMainRowFields, {group, product.row()[0]}, out);
}

wire::Status SqlStore::relatedRows(std::string_view group, std::string_view mainProduct,
                                   std::string& treeCode, wire::PacketSink& out) {
    FirstRowSink product;
    if (wire::Status status = findProduct(treeCode, product); !status) return status;
    if (!product.found()) return out.onFields(kRelatedRowFields);
    return read(kRelatedRows, kRelatedRowFields, {group, mainProduct, product.row()[0]}, out);
}

wire::Status SqlStore::candidates(std::string_view mainProduct, std::string_view /*group*/,
                                  wire::PacketSink& out) {
    return read(kCandidates, kProductFields, {mainProduct}, out);
}

wire::Status SqlStore::relatedProducts(std::string_view group, std::string_view mainProduct,
                                       wire::PacketSink& out) {
    return read(kRelatedProducts, kRelatedFields, {group, mainProduct}, out);
}

wire::Status SqlStore::inTransaction(const std::function<wire::Status(SqlConnection&)>& body) {
    for (int attempt = 1;; ++attempt) {
        SqlError err = m_conn->begin();
        wire::Status status = err ? ConstraintMessages::describe(err) : body(*m_conn);
        if (!err && status) {
            err = m_conn->commit();
            status = ConstraintMessages::describe(err);
        } else if (!err) {
            m_conn->rollback();
        }
        if (status || !ConstraintMessages::mayRetry(status) || attempt == kWriteAttempts)
            return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(10 * attempt));
    }
}

template <class Applier>
wire::Status SqlStore::applyRecorded(const wire::ChangeLog& log, const ChangeOrigin& origin) {
    return inTransaction([&](SqlConnection& conn) {
        SaveRecord save(conn, origin.user, origin.method, now());
        HistoryRecorder history(conn, origin, save);
        return applyWith<Applier>(conn, log, &history);
    });
}

wire::Status SqlStore::applyGroups(const wire::ChangeLog& log, const ChangeOrigin& origin) {
    return applyRecorded<GroupApplier>(log, origin);
}

wire::Status SqlStore::applyMainProducts(const wire::ChangeLog& log, const ChangeOrigin& origin) {
    return applyRecorded<MainProductApplier>(log, origin);
}

wire::Status SqlStore::applyRelatedProducts(const wire::ChangeLog& log,
                                            const ChangeOrigin& origin) {
    return applyRecorded<RelatedProductApplier>(log, origin);
}

wire::Status SqlStore::addProduct(std::string_view code, std::string_view treeCode,
                                  std::string_view name) {
    wire::ChangeLog log;
    log.fields = kProductFields;
    log.changes.push_back({wire::ChangeKind::Insert,
                           {},
                           {std::string(code), std::string(treeCode), std::string(name)}});
    return inTransaction([&](SqlConnection& conn) { return applyWith<ProductApplier>(conn, log); });
}

wire::Status SqlStore::suggestions(std::string_view group, wire::PacketSink& out) {
    return read(kSuggestions, kSuggestionFields,
                {group.empty() ? std::nullopt : wire::ValueView(group)}, out);
}

wire::Status SqlStore::applyImport(std::span<const ImportStep> steps, std::string_view user) {
    return inTransaction(
        [&](SqlConnection& conn) { return applyImportSteps(conn, steps, user, now()); });
}

wire::Status SqlStore::seedEmpty(SqlConnection& conn) {
    // Two servers seeding at once: the second waits here, then finds the data of the first.
    if (SqlError err = conn.lockSchema()) return ConstraintMessages::describe(err);
    FirstRowSink any;
    if (SqlError err = conn.run(kAnyData, {}, &any)) return ConstraintMessages::describe(err);
    if (any.found()) return {};
    auto built = DemoCatalogue::build();
    if (!built) return built.status();
    const DemoCatalogue& demo = *built;
    wire::Status status = applyWith<ProductApplier>(conn, demo.products);
    if (status) status = applyWith<GroupApplier>(conn, demo.groups);
    if (status) status = applyWith<MainProductApplier>(conn, demo.mainProducts);
    if (status) status = applyWith<RelatedProductApplier>(conn, demo.relatedProducts);
    return status;
}

wire::Status SqlStore::seedDemo() {
    return inTransaction([&](SqlConnection& conn) { return seedEmpty(conn); });
}

wire::Status SqlStore::addUser(std::string_view name, std::string_view passwordHash) {
    if (wire::Status status = checkUserName(name); !status) return status;
    if (wire::Status status = checkHash(passwordHash); !status) return status;
    return inTransaction(
        [&](SqlConnection& conn) { return UserTable(conn).add(name, passwordHash, now()); });
}

wire::Status SqlStore::changeUser(std::string_view name,
                                  const std::function<wire::Status(UserTable&)>& change) {
    if (wire::Status status = checkUserName(name); !status) return status;
    return inTransaction([&](SqlConnection& conn) {
        UserTable users(conn);
        return change(users);
    });
}

wire::Status SqlStore::setUserPassword(std::string_view name, std::string_view passwordHash) {
    if (wire::Status status = checkHash(passwordHash); !status) return status;
    return changeUser(
        name, [&](UserTable& users) { return users.setPassword(name, passwordHash, now()); });
}

wire::Status SqlStore::setUserEnabled(std::string_view name, bool enabled) {
    return changeUser(name,
                      [&](UserTable& users) { return users.setEnabled(name, enabled, now()); });
}

wire::Result<std::optional<StoredUser>> SqlStore::findUser(std::string_view name) {
    // A name no user can have (from a sign-in attempt, say) is not looked up at all.
    if (!checkUserName(name)) return std::optional<StoredUser>();
    return UserTable(*m_conn).find(name);
}

wire::Result<bool> SqlStore::anyUser() { return UserTable(*m_conn).any(); }

wire::Status SqlStore::history(const HistoryFilter& filter, wire::PacketSink& out) {
    return read(kHistory, kHistoryFields,
                {unlessEmpty(filter.since), unlessEmpty(filter.user), unlessEmpty(filter.group)},
                out);
}

}  // namespace appserver
