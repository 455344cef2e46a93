#pragma once
// The locate dialog of Procura: choose a field (its label) and type a value; OK locates the first
// row whose field equals the value exactly, which becomes current. When no row matches the user is
// told so and the dialog stays open; Esc closes it without moving.

#include <QDialog>

class QComboBox;
class QLineEdit;
class TClientDataSet;

class TLocateDialog : public QDialog {
    Q_OBJECT
  public:
    TLocateDialog(TClientDataSet& dataSet, QWidget* parent = nullptr);

    bool Run();  // modal; true when a row was found
    QComboBox* FieldBox() const { return m_field; }
    QLineEdit* ValueBox() const { return m_value; }
    bool TryLocate();  // the OK button: true (and accepted) when found

  private:
    TClientDataSet& m_dataSet;
    QComboBox* m_field;
    QLineEdit* m_value;
    bool m_found = false;
};
