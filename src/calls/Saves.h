#pragma once
// The remote module's writes, one typed function per method of the description (wire::method),
// each following the write convention of Apply: source's change log goes last, and nothing is
// sent (false) when it holds no change. UI thread only.

#include <string>

#include "calls/Apply.h"

namespace calls {

bool SetGrupSegProd(TNetConnection& connection, TClientDataSet& source, const std::string& caption,
                    TMergeOrder order);

// operation: the operation code of a product save, "I", "E" or "D", as text or in/out (the
// caller's variable then receives what the server leaves in it); any other argument is refused.
bool SetArvProd(TNetConnection& connection, TRemoteArg operation, TClientDataSet& source,
                const std::string& caption, TMergeOrder order);
bool SetProdRelac(TNetConnection& connection, TRemoteArg operation, TClientDataSet& source,
                  const std::string& caption, TMergeOrder order);

// SetArvProd and SetProdRelac alike, for code that serves both product families.
using TProductSave = bool (*)(TNetConnection&, TRemoteArg, TClientDataSet&, const std::string&,
                              TMergeOrder);

}  // namespace calls
