#pragma once
// Runs fn where Qt called us: an exception never goes back into Qt. A non-silent error is shown in
// the standard error report; EAbort only ends the operation. Returns false when fn threw.

#include <exception>
#include <utility>

#include "StdDialogs.h"

template <class Fn>
bool SafeCall(Fn&& fn) noexcept {
    try {
        std::forward<Fn>(fn)();
        return true;
    } catch (...) {
        ShowException(std::current_exception());
        return false;
    }
}
