#pragma once
// Translation of Qt key events into the virtual key codes and shift state grid events carry.

#include <QKeyEvent>

#include "controls/TDBGrid.h"

// Virtual key code of a key event; keys without one keep their Qt key code.
int TDBGridVirtualKey(const QKeyEvent& event);
TShiftState TDBGridShift(Qt::KeyboardModifiers modifiers);
// The character a key press types (what OnKeyPress sees): printable characters, backspace and
// Enter; 0 for everything else (movement, Ctrl/Alt combinations).
char32_t TDBGridTypedChar(const QKeyEvent& event);
