#pragma once
// Holds a call's arguments to the remote module's description of its method, so that no call
// sends what the server would read differently: the same number, and each of the kind its
// parameter takes (a text as Text, a tree code InOut, an operation code either, a change log
// Packet). A mismatch is a fault of the caller: std::invalid_argument naming the method.

#include <vector>

#include "dataaccess/TNetConnection.h"
#include "wire/RemoteModule.h"

namespace calls {

void CheckArguments(const wire::Method& method, const std::vector<TRemoteArg>& args);

// A write's leading arguments: every parameter but the change log, which must come last.
void CheckLeadingArguments(const wire::Method& method, const std::vector<TRemoteArg>& leading);

}  // namespace calls
