#include "framework/TDialogs.h"

#include "framework/TQtDialogs.h"

TDialogs::~TDialogs() = default;

namespace {
TDialogs* g_dialogs = nullptr;
}

TDialogs& Dialogs() {
    static TQtDialogs qtDialogs;
    return g_dialogs ? *g_dialogs : qtDialogs;
}

void SetDialogs(TDialogs* dialogs) { g_dialogs = dialogs; }
