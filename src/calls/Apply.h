#pragma once
// The write convention every save follows, run after a row was posted or deleted locally: when
// the record set holds pending changes, show the busy animation (kind 1), send the leading
// arguments and the change log, and check the answer (CheckResultServ shows a refusal and
// aborts). On success the change log is merged, before or after hiding the animation as the
// caller's order asks. On failure the animation is hidden, the change log stays pending and the
// failure travels on; undoing it (CancelUpdates) is the caller's choice. Arguments that do not
// match the method's description are refused (std::invalid_argument) before anything is shown
// or sent. UI thread only.

#include <string>
#include <vector>

#include "dataaccess/TNetConnection.h"
#include "wire/RemoteModule.h"

class TClientDataSet;

namespace calls {

enum class TMergeOrder { MergeThenHide, HideThenMerge };

// Returns false, sending nothing and showing nothing, when ChangeCount is 0.
bool Apply(TNetConnection& connection, const wire::Method& method, std::vector<TRemoteArg> leading,
           TClientDataSet& source, const std::string& caption, TMergeOrder order);

}  // namespace calls
