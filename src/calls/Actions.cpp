#include "calls/Actions.h"

#include "calls/ArgumentCheck.h"
#include "framework/StdDialogs.h"

namespace calls {
namespace {

TRemoteArg Text(const std::string& value) { return TRemoteArg::Text(value); }
TRemoteArg Flag(bool previewOnly) { return TRemoteArg::Text(previewOnly ? "S" : "N"); }

}  // namespace

void GetOndeUsado(TNetConnection& connection, const std::string& productCode,
                  TClientDataSet& target, const TFetchOptions& options) {
    Fetch(connection, wire::method::GetOndeUsado, {Text(productCode)}, target, options);
}

void SetSubstituiProduto(TNetConnection& connection, const std::string& from, const std::string& to,
                         bool previewOnly, TClientDataSet& target, const TFetchOptions& options) {
    Fetch(connection, wire::method::SetSubstituiProduto, {Text(from), Text(to), Flag(previewOnly)},
          target, options);
}

void GetHistorico(TNetConnection& connection, const std::string& groupCode,
                  const std::string& mainProductCode, const std::string& before,
                  TClientDataSet& target, const TFetchOptions& options) {
    Fetch(connection, wire::method::GetHistorico,
          {Text(groupCode), Text(mainProductCode), Text(before)}, target, options);
}

void SetDesfazGravacao(TNetConnection& connection, const std::string& saveId, bool previewOnly,
                       TClientDataSet& target, const TFetchOptions& options) {
    Fetch(connection, wire::method::SetDesfazGravacao, {Text(saveId), Flag(previewOnly)}, target,
          options);
}

void SetCopiaGrupo(TNetConnection& connection, const std::string& source, const std::string& code,
                   const std::string& name, const std::string& order, const std::string& caption) {
    std::vector<TRemoteArg> args = {Text(source), Text(code), Text(name), Text(order)};
    CheckArguments(wire::method::SetCopiaGrupo, args);
    TBusyGuard busy(aviSaving, caption);
    CheckResultServ(connection.AppServer().Call(wire::method::SetCopiaGrupo.name, std::move(args)),
                    true, 0);
}

}  // namespace calls
