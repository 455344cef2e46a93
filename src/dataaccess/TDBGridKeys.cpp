#include "TDBGridKeys.h"

int TDBGridVirtualKey(const QKeyEvent& event) {
    int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key;  // same codes
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Backspace:
            return VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return VK_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        case Qt::Key_Escape:
            return VK_ESCAPE;
        case Qt::Key_Space:
            return VK_SPACE;
        case Qt::Key_PageUp:
            return VK_PRIOR;
        case Qt::Key_PageDown:
            return VK_NEXT;
        case Qt::Key_End:
            return VK_END;
        case Qt::Key_Home:
            return VK_HOME;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Down:
            return VK_DOWN;
        case Qt::Key_Insert:
            return VK_INSERT;
        case Qt::Key_Delete:
            return VK_DELETE;
        case Qt::Key_Shift:
            return 16;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
            return 18;
        default:
            return key;
    }
}

TShiftState TDBGridShift(Qt::KeyboardModifiers modifiers) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= ssShift;
    if (modifiers & Qt::AltModifier) shift |= ssAlt;
    if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
    return shift;
}

char32_t TDBGridTypedChar(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return 0;
    if (event.key() == Qt::Key_Backspace) return 8;
    QString text = event.text();
    if (text.isEmpty()) return 0;
    char32_t c = text.toUcs4().value(0);
    return c >= 32 && c != 127 ? c : 0;
}
