#include "calls/Saves.h"

namespace calls {

bool SetGrupSegProd(TNetConnection& connection, TClientDataSet& source, const std::string& caption,
                    TMergeOrder order) {
    return Apply(connection, wire::method::SetGrupSegProd, {}, source, caption, order);
}

bool SetArvProd(TNetConnection& connection, TRemoteArg operation, TClientDataSet& source,
                const std::string& caption, TMergeOrder order) {
    return Apply(connection, wire::method::SetArvProd, {std::move(operation)}, source, caption,
                 order);
}

bool SetProdRelac(TNetConnection& connection, TRemoteArg operation, TClientDataSet& source,
                  const std::string& caption, TMergeOrder order) {
    return Apply(connection, wire::method::SetProdRelac, {std::move(operation)}, source, caption,
                 order);
}

}  // namespace calls
