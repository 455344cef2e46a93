#include "calls/Reads.h"

namespace calls {
namespace {

TRemoteArg Text(std::string& value) { return TRemoteArg::Text(std::move(value)); }

}  // namespace

void GetGrupSegProd(TNetConnection& connection, TClientDataSet& target,
                    const TFetchOptions& options) {
    Fetch(connection, wire::method::GetGrupSegProd, {}, target, options);
}

void GetVerifGrupo(TNetConnection& connection, std::string groupCode, TClientDataSet& target,
                   const TFetchOptions& options) {
    Fetch(connection, wire::method::GetVerifGrupo, {Text(groupCode)}, target, options);
}

void GetNmGrupo(TNetConnection& connection, std::string groupName, TClientDataSet& target,
                const TFetchOptions& options) {
    Fetch(connection, wire::method::GetNmGrupo, {Text(groupName)}, target, options);
}

void GetVerifOrd(TNetConnection& connection, std::string order, TClientDataSet& target,
                 const TFetchOptions& options) {
    Fetch(connection, wire::method::GetVerifOrd, {Text(order)}, target, options);
}

void GetPesqProdPrinc(TNetConnection& connection, TClientDataSet& target,
                      const TFetchOptions& options) {
    Fetch(connection, wire::method::GetPesqProdPrinc, {}, target, options);
}

void GetVerifProduto(TNetConnection& connection, std::string& treeCode, TClientDataSet& target,
                     const TFetchOptions& options) {
    Fetch(connection, wire::method::GetVerifProduto, {TRemoteArg::InOut(treeCode)}, target,
          options);
}

void GetArvProd(TNetConnection& connection, std::string groupCode, TClientDataSet& target,
                const TFetchOptions& options) {
    Fetch(connection, wire::method::GetArvProd, {Text(groupCode)}, target, options);
}

void GetVdProdPrinc(TNetConnection& connection, std::string groupCode, std::string& treeCode,
                    TClientDataSet& target, const TFetchOptions& options) {
    Fetch(connection, wire::method::GetVdProdPrinc, {Text(groupCode), TRemoteArg::InOut(treeCode)},
          target, options);
}

void GetProdRelac(TNetConnection& connection, std::string groupCode, std::string mainProductCode,
                  TClientDataSet& target, const TFetchOptions& options) {
    Fetch(connection, wire::method::GetProdRelac, {Text(groupCode), Text(mainProductCode)}, target,
          options);
}

void GetPesqProd(TNetConnection& connection, std::string mainProductCode, std::string groupCode,
                 TClientDataSet& target, const TFetchOptions& options) {
    Fetch(connection, wire::method::GetPesqProd, {Text(mainProductCode), Text(groupCode)}, target,
          options);
}

void GetVdProduto(TNetConnection& connection, std::string groupCode, std::string mainProductCode,
                  std::string& treeCode, TClientDataSet& target, const TFetchOptions& options) {
    Fetch(connection, wire::method::GetVdProduto,
          {Text(groupCode), Text(mainProductCode), TRemoteArg::InOut(treeCode)}, target, options);
}

}  // namespace calls
