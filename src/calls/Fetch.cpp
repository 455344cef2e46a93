#include "calls/Fetch.h"

#include "calls/ArgumentCheck.h"
#include "dataaccess/TClientDataSet.h"
#include "framework/StdDialogs.h"

namespace calls {

void Fetch(TNetConnection& connection, const wire::Method& method, std::vector<TRemoteArg> args,
           TClientDataSet& target, const TFetchOptions& options) {
    CheckArguments(method, args);
    std::string key;
    if (!options.KeyField.empty()) key = target.FieldByName(options.KeyField).AsString();

    TBusyGuard busy(options.AviKind, options.Caption);
    TServerAnswer answer = connection.AppServer().Call(method.name, std::move(args));
    std::string payload = CheckResultServ(answer, true, 0);
    target.SetData(payload);
    if (!options.KeyField.empty()) target.Locate(options.KeyField, key);
    if (options.AfterLoad) options.AfterLoad();
}

}  // namespace calls
