#pragma once
// What the controls ask of the layer above them: an error report and the delete confirmation.
// The framework installs its own when its library loads; until then an error is written to
// stderr and the confirmation answers No, so nothing is deleted without asking. UI thread only.

#include <exception>
#include <functional>

struct TControlServices {
    // Reports an error raised by an event handler; must not throw.
    std::function<void(std::exception_ptr)> ReportException;
    // Asks whether the current row may be deleted; true when the user answered Yes.
    std::function<bool()> ConfirmDelete;
};

TControlServices& ControlServices();
