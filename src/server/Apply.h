#pragma once
// The write convention every save follows, run after a row was posted or deleted locally: when
// the record set holds pending changes, show the busy animation (kind 1), send the leading
// arguments and the change log, and check the answer (CheckResultServ shows a refusal and
// aborts). On success the change log is merged, before or after hiding the animation as the
// caller's order asks. On failure the animation is hidden, the change log stays pending and the
// failure travels on; undoing it (CancelUpdates) is the caller's choice. UI thread only.

#include <string>
#include <string_view>
#include <vector>

#include "TNetConnection.h"

class TClientDataSet;

namespace server {

enum class TMergeOrder { MergeThenHide, HideThenMerge };

// Returns false, sending nothing and showing nothing, when ChangeCount is 0.
bool Apply(TNetConnection& connection, std::string_view method, std::vector<TRemoteArg> leading,
           TClientDataSet& source, const std::string& caption, TMergeOrder order);

}  // namespace server
