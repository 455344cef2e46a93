#include "calls/Apply.h"

#include "calls/ArgumentCheck.h"
#include "calls/TBusyGuard.h"
#include "dataaccess/TClientDataSet.h"
#include "framework/BusyAnimation.h"
#include "framework/StdDialogs.h"

namespace calls {

bool Apply(TNetConnection& connection, const wire::Method& method, std::vector<TRemoteArg> leading,
           TClientDataSet& source, const std::string& caption, TMergeOrder order) {
    CheckLeadingArguments(method, leading);
    if (source.ChangeCount() <= 0) return false;

    TBusyGuard busy(aviSaving, caption);
    leading.push_back(TRemoteArg::Packet(source.Delta()));
    TServerAnswer answer = connection.AppServer().Call(method.name, std::move(leading));
    CheckResultServ(answer, true, 0);
    if (order == TMergeOrder::HideThenMerge) busy.Hide();
    source.MergeChangeLog();
    return true;
}

}  // namespace calls
