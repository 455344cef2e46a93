#pragma once
// The remote module's reads, one typed function per method of the description (wire::method),
// each following the read convention of Fetch: the answer is loaded into target, positioned and
// animated as options say. Texts travel as text; a tree code travels in/out, the caller's
// variable receiving what the server leaves in it. UI thread only.

#include <string>

#include "calls/Fetch.h"

namespace calls {

// Groups, and the checks of a group row.
void GetGrupSegProd(TNetConnection& connection, TClientDataSet& target,
                    const TFetchOptions& options = {});
void GetVerifGrupo(TNetConnection& connection, std::string groupCode, TClientDataSet& target,
                   const TFetchOptions& options = {});
void GetNmGrupo(TNetConnection& connection, std::string groupName, TClientDataSet& target,
                const TFetchOptions& options = {});
void GetVerifOrd(TNetConnection& connection, std::string order, TClientDataSet& target,
                 const TFetchOptions& options = {});

// The products of the catalogue.
void GetPesqProdPrinc(TNetConnection& connection, TClientDataSet& target,
                      const TFetchOptions& options = {});
void GetVerifProduto(TNetConnection& connection, std::string& treeCode, TClientDataSet& target,
                     const TFetchOptions& options = {});

// Main products of a group.
void GetArvProd(TNetConnection& connection, std::string groupCode, TClientDataSet& target,
                const TFetchOptions& options = {});
void GetVdProdPrinc(TNetConnection& connection, std::string groupCode, std::string& treeCode,
                    TClientDataSet& target, const TFetchOptions& options = {});

// Products related to a main product.
void GetProdRelac(TNetConnection& connection, std::string groupCode, std::string mainProductCode,
                  TClientDataSet& target, const TFetchOptions& options = {});
void GetPesqProd(TNetConnection& connection, std::string mainProductCode, std::string groupCode,
                 TClientDataSet& target, const TFetchOptions& options = {});
void GetVdProduto(TNetConnection& connection, std::string groupCode, std::string mainProductCode,
                  std::string& treeCode, TClientDataSet& target, const TFetchOptions& options = {});

}  // namespace calls
