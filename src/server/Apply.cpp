#include "Apply.h"

#include "BusyAnimation.h"
#include "StdDialogs.h"
#include "TBusyGuard.h"
#include "TClientDataSet.h"

namespace server {

bool Apply(TNetConnection& connection, std::string_view method, std::vector<TRemoteArg> leading,
           TClientDataSet& source, const std::string& caption, TMergeOrder order) {
    if (source.ChangeCount() <= 0) return false;

    TBusyGuard busy(aviSaving, caption);
    leading.push_back(TRemoteArg::Packet(source.Delta()));
    TServerAnswer answer = connection.AppServer().Call(method, std::move(leading));
    CheckResultServ(answer, true, 0);
    if (order == TMergeOrder::HideThenMerge) busy.Hide();
    source.MergeChangeLog();
    return true;
}

}  // namespace server
