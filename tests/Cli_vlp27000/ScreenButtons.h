#pragma once
// The enabled commands of a screen as one string, for one-line assertions.

#include <QAction>
#include <QToolButton>
#include <string>

#include "Cli_vlp27000/TfrmSugestaoProd.h"

// Enabled commands as one string, in the order the routine sets them, e.g. "C X . . . . .".
inline std::string Buttons(TfrmSugestaoProd& f) {
    const std::pair<QToolButton*, QAction*> pairs[] = {
        {f.sbtConfirmar, f.mnuConfirmar}, {f.sbtCancelar, f.mnuCancelar},
        {f.sbtIncluir, f.mnuIncluir},     {f.sbtAlterar, f.mnuAlterar},
        {f.sbtExcluir, f.mnuExcluir},     {f.sbtProcurar, f.mnuProcurar},
        {f.sbtVerificar, f.mnuVerificar},
    };
    const char* letters = "CXIAEPV";
    std::string s;
    for (int i = 0; i < 7; ++i) {
        const bool on = pairs[i].first->isEnabled();
        if (on != pairs[i].second->isEnabled()) return "button and menu item differ";
        s += on ? letters[i] : '.';
    }
    return s;
}

inline const char* const kBrowseWithRows = "..IAEPV";
inline const char* const kBrowseEmpty = "..I....";
inline const char* const kEditing = "CX.....";
