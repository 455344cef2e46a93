#pragma once
// A call's busy animation and caption, for the screen's calls that read or save nothing but what
// they answer.

#include "calls/Fetch.h"

inline calls::TFetchOptions Busy(TAviKind kind, const char* caption) {
    calls::TFetchOptions options;
    options.AviKind = kind;
    options.Caption = caption;
    return options;
}
