#include "Fetch.h"

#include "StdDialogs.h"
#include "TClientDataSet.h"

namespace server {

void Fetch(TNetConnection& connection, std::string_view method, std::vector<TRemoteArg> args,
           TClientDataSet& target, const TFetchOptions& options) {
    std::string key;
    if (!options.KeyField.empty()) key = target.FieldByName(options.KeyField).AsString();

    TBusyGuard busy(options.AviKind, options.Caption);
    TServerAnswer answer = connection.AppServer().Call(method, std::move(args));
    std::string payload = CheckResultServ(answer, true, 0);
    target.SetData(payload);
    if (!options.KeyField.empty()) target.Locate(options.KeyField, key);
    if (options.AfterLoad) options.AfterLoad();
}

}  // namespace server
