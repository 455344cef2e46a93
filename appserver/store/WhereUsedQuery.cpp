#include "store/WhereUsedQuery.h"

#include <string>

namespace appserver {

namespace {

// flags: a main row's and a related row's flags, or "" for none.
std::string places(const char* mainFlags, const char* relatedFlags, const char* outerFlags) {
    return std::string(
               "SELECT U.CDGRUSUGESPROD, U.NMGRUSUGESPROD, U.CDPRODUTO, P.CDARVPROD, P.NMPRODUTO, "
               "U.TPUSO") +
           outerFlags +
           " FROM (SELECT M.CDGRUSUGESPROD, G.NMGRUSUGESPROD, G.NRORDEM, M.CDPRODUTO, "
           "'P' AS TPUSO" +
           mainFlags +
           " FROM PRODPRINC M JOIN GRUSUGESPROD G ON G.CDGRUSUGESPROD = M.CDGRUSUGESPROD "
           "WHERE M.CDPRODUTO = $1 UNION ALL "
           "SELECT R.CDGRUSUGESPROD, G.NMGRUSUGESPROD, G.NRORDEM, R.CDPRODUTO, 'R'" +
           relatedFlags +
           " FROM PRODRELAC R JOIN GRUSUGESPROD G ON G.CDGRUSUGESPROD = R.CDGRUSUGESPROD "
           "WHERE R.CDPRODUTORELAC = $1) U JOIN PRODUTO P ON P.CDPRODUTO = U.CDPRODUTO ORDER BY "
           "length(ltrim(U.NRORDEM, '0')), ltrim(U.NRORDEM, '0'), U.NRORDEM, "
           "length(ltrim(U.CDGRUSUGESPROD, '0')), ltrim(U.CDGRUSUGESPROD, '0'), "
           "U.CDGRUSUGESPROD, P.CDARVPROD, U.TPUSO";
}

const std::string kWhereUsedSql = places("", "", "");
const std::string kPlacesSql =
    places(", M.IDQUANTPRODPRINC AS IDQUANT, M.IDTOTALPRODPRINC AS IDTOTAL",
           ", R.IDQUANTPROD, R.IDTOTALPROD", ", U.IDQUANT, U.IDTOTAL");

}  // namespace

const Query kWhereUsed{kWhereUsedSql.c_str()};
const Query kPlacesWithFlags{kPlacesSql.c_str()};

}  // namespace appserver
