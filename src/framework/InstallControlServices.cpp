// The framework answers for the controls below it: errors in the standard error report, the
// delete confirmation as the standard "Excl" question. Installed when the library loads.

#include "controls/ControlServices.h"
#include "framework/StdDialogs.h"
#include "framework/TMessages.h"

namespace {
[[maybe_unused]] const bool installed = [] {
    TControlServices& services = ControlServices();
    services.ReportException = ShowException;
    services.ConfirmDelete = [] {
        return MessageDlg(TMessages::Standard().Msg("Excl"), mtConfirmation, {mbYes, mbNo}, 0) ==
               mrYes;
    };
    return true;
}();
}  // namespace
