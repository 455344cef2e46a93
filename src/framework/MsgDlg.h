#pragma once
// Dialog types, buttons and modal results of the message dialogs, with the numeric values screens
// compare against (mtConfirmation = 3, mrYes = 6, mrNo = 7).

#include <initializer_list>

enum TMsgDlgType {
    mtWarning = 0,
    mtError = 1,
    mtInformation = 2,
    mtConfirmation = 3,
    mtCustom = 4
};

enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore };

// A set of buttons: MessageDlg(text, mtConfirmation, {mbYes, mbNo}, 0).
class TMsgDlgButtons {
  public:
    TMsgDlgButtons() = default;
    TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
        for (TMsgDlgBtn b : buttons) m_bits |= 1u << b;
    }
    bool Contains(TMsgDlgBtn b) const { return (m_bits >> b) & 1u; }
    bool Empty() const { return m_bits == 0; }

  private:
    unsigned m_bits = 0;
};

enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7
};
