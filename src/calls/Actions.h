#pragma once
// The actions across a group's lists, one typed function per method of the description
// (wire::method): where a product is used and its replacement everywhere, a group's history and
// the undo of one save, the copy of a group. The reads and previews follow the read convention of
// Fetch (the answer loaded into target); the copy, which answers nothing, the write convention of
// the saves without a change log (busy animation, CheckResultServ). UI thread only.

#include <string>

#include "calls/Fetch.h"

namespace calls {

// Every list productCode is in (wire::fields::kWhereUsed); an unknown product is refused.
void GetOndeUsado(TNetConnection& connection, const std::string& productCode,
                  TClientDataSet& target, const TFetchOptions& options = {});

// The preview (wire::fields::kImportPreview) of replacing from by to in every list (to "":
// removing it); previewOnly false also applies it, whole, when the preview holds no error.
void SetSubstituiProduto(TNetConnection& connection, const std::string& from, const std::string& to,
                         bool previewOnly, TClientDataSet& target,
                         const TFetchOptions& options = {});

// One page of wire::kHistoryPageRows rows of the group's history (wire::fields::kHistory), newest
// first: of mainProductCode's list, or of the whole group when it is "". before: "" for the
// first page, else the NRHISTORICO of the last row already shown.
void GetHistorico(TNetConnection& connection, const std::string& groupCode,
                  const std::string& mainProductCode, const std::string& before,
                  TClientDataSet& target, const TFetchOptions& options = {});

// The preview (wire::fields::kImportPreview) of undoing save saveId (a NRGRAVACAO);
// previewOnly false also applies it, whole, when the preview holds no error.
void SetDesfazGravacao(TNetConnection& connection, const std::string& saveId, bool previewOnly,
                       TClientDataSet& target, const TFetchOptions& options = {});

// Copies group source with its main and related products to a new group code, name and order;
// a refusal is shown and aborts (CheckResultServ) with the group checks' messages.
void SetCopiaGrupo(TNetConnection& connection, const std::string& source, const std::string& code,
                   const std::string& name, const std::string& order, const std::string& caption);

}  // namespace calls
