#pragma once
// The search dialog of Pesquisar: a filter box over a list of the record set's rows. Typing
// filters as you type: a row is listed when its visible columns hold every word typed, in any
// order, ignoring case and accents (TSearchIndex); rows starting with the first word come first,
// the words are highlighted and a line counts the rows. Up, Down, PgUp and PgDn move in the list
// without leaving the filter; Enter or a double click chooses the row, which becomes the record
// set's current row; Esc closes without choosing. A TSearchRowAction alive when the dialog is
// built adds its key, named under the list.
// The text argument is "title|message": the title names what is searched and the message is shown
// when nothing matches; a text without '|' is the initial filter.

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QTableView;
class TDataSource;
class TClientDataSet;
class TSearchHighlight;
class TSearchModel;
class TSearchRowAction;

class TSearchDialog : public QDialog {
    Q_OBJECT
  public:
    TSearchDialog(TDataSource& source, const std::string& text, QWidget* parent = nullptr);
    ~TSearchDialog() override;

    bool Run();  // modal; true when a row was chosen

    QLineEdit* FilterBox() const { return m_filter; }
    QTableView* List() const { return m_list; }
    TSearchModel* Model() const { return m_model; }
    void Choose();  // takes the selected row, if any
    // The count line: "3 de 4.722 registros", "4.722 registros", "1 registro".
    static QString CountLine(int shown, int total);
    static constexpr int kMaxFilter = 200;  // far longer than any row; keeps each keystroke quick

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;

  private:
    void ApplyFilter();
    void ActOnRow();  // the row action's key: close without choosing, then act

    TClientDataSet& m_dataSet;
    std::string m_notFound;
    QLineEdit* m_filter;
    QTableView* m_list;
    QLabel* m_status;
    TSearchModel* m_model;
    TSearchHighlight* m_highlight;
    bool m_chosen = false;
    const TSearchRowAction* m_action;  // the row action alive when built; nullptr when none
    int m_actedRow = -1;
};
