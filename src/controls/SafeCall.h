#pragma once
// Runs fn where Qt called us: an exception never goes back into Qt. The error goes to the
// installed report (ControlServices), which shows the standard error dialog and keeps silent
// aborts silent. Returns false when fn threw.

#include <exception>
#include <utility>

#include "controls/ControlServices.h"

template <class Fn>
bool SafeCall(Fn&& fn) noexcept {
    try {
        std::forward<Fn>(fn)();
        return true;
    } catch (...) {
        try {
            if (auto& report = ControlServices().ReportException) report(std::current_exception());
        } catch (...) {
            // The report itself failed; going on beats throwing into Qt.
        }
        return false;
    }
}
