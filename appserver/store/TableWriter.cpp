#include "store/TableWriter.h"

#include "store/CatalogueApplier.h"
#include "store/GroupApplier.h"
#include "store/MainProductApplier.h"
#include "store/RelatedProductApplier.h"

namespace appserver {

namespace {

namespace col = wire::column;

constexpr int kAnySize = 8192;

template <class Applier>
wire::Status replay(SqlConnection& conn, const wire::ChangeLog& log, HistoryRecorder& history) {
    Applier applier(conn);
    return applier.apply(log, &history);
}

}  // namespace

wire::Status writeTable(SqlConnection& conn, StoredTable table, const wire::ChangeLog& log,
                        HistoryRecorder& history) {
    switch (table) {
        case StoredTable::Products:
            return replay<CatalogueApplier>(conn, log, history);
        case StoredTable::Groups:
            return replay<GroupApplier>(conn, log, history);
        case StoredTable::MainProducts:
            return replay<MainProductApplier>(conn, log, history);
        case StoredTable::RelatedProducts:
            break;
    }
    return replay<RelatedProductApplier>(conn, log, history);
}

wire::ChangeLog logOver(std::span<const std::string_view> fields) {
    wire::ChangeLog log;
    for (std::string_view f : fields) log.fields.push_back({std::string(f), kAnySize});
    return log;
}

wire::ChangeLog logOver(std::initializer_list<wire::Column> columns) {
    wire::ChangeLog log;
    for (const wire::Column& c : columns) log.fields.push_back({std::string(c.name), kAnySize});
    return log;
}

wire::ChangeLog mainProductLog() {
    return logOver(
        {col::CDGRUSUGESPROD, col::CDPRODUTO, col::IDQUANTPRODPRINC, col::IDTOTALPRODPRINC});
}

wire::ChangeLog relatedProductLog() {
    return logOver({col::CDGRUSUGESPROD, col::CDPRODUTO, col::CDPRODUTORELAC, col::IDQUANTPROD,
                    col::IDTOTALPROD});
}

}  // namespace appserver
