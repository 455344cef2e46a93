#pragma once
// The read convention every server read follows: optionally note the key of the target's
// current row, show the busy animation, call the method, check the answer (CheckResultServ
// shows a server refusal and aborts), load the payload into the target and re-position it on
// the noted key. The animation is hidden on every path; failures travel on unchanged and leave
// the target as it was unless loading itself failed. Arguments that do not match the method's
// description are refused (std::invalid_argument) before anything is shown or sent. UI thread
// only.

#include <functional>
#include <string>
#include <vector>

#include "calls/TBusyGuard.h"
#include "dataaccess/TNetConnection.h"
#include "wire/RemoteModule.h"

class TClientDataSet;

namespace calls {

struct TFetchOptions {
    TAviKind AviKind = aviNone;  // aviReading for reads, aviNone for the group checks
    std::string Caption;         // shown with the animation; "" for none
    std::string KeyField;        // re-position on this field's value of the current row; "" none
    std::function<void()> AfterLoad;  // runs after loading, before the animation is hidden
};

void Fetch(TNetConnection& connection, const wire::Method& method, std::vector<TRemoteArg> args,
           TClientDataSet& target, const TFetchOptions& options);

}  // namespace calls
