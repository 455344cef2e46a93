#pragma once
// "Copiar grupo": the new group's code (digits only), name and order, keyboard first: Tab between
// the boxes, Enter copies ("Copiar"), Esc closes copying nothing. Copiar runs the screen's copy,
// which checks the values as the group grid does; a refusal is reported, the dialog stays with
// what was typed and the focus goes to the box at fault (FocusBox). UI thread only.

#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;
class QPushButton;

struct TNewGroup {
    std::string Code, Name, Order;
};

class TCopyGroupDialog : public QDialog {
    Q_OBJECT
  public:
    enum TBox { kCode, kName, kOrder };
    // copy may rewrite the values (the code filled with zeros) and throws to refuse.
    using TCopy = std::function<void(TCopyGroupDialog&, TNewGroup&)>;
    TCopyGroupDialog(const QString& source, TNewGroup proposed, int codeSize, int nameSize,
                     int orderSize, TCopy copy, QWidget* parent = nullptr);

    bool Run();  // modal; true once copied
    const TNewGroup& Copied() const { return m_group; }
    void FocusBox(TBox box);
    QLineEdit* Box(TBox box) const;
    QPushButton* CopyButton() const { return m_copyButton; }

  private:
    void Copy();

    QLineEdit *m_code, *m_name, *m_order;
    QPushButton* m_copyButton;
    TCopy m_copy;
    TNewGroup m_group;
};
