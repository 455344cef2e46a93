#pragma once
// "Histórico": a group's saves, newest first, read a page at a time as the user scrolls down
// (THistoryModel); the rows of the save under the cursor are selected together and its whole
// text is shown below. "Desfazer gravação" (Enter, Alt+D) hands that save to the screen's undo,
// after which the history is read again from the top, as F5 does; Esc and "Fechar" close. An
// error is reported and the dialog stays. UI thread only.

#include <QDialog>
#include <functional>

#include "Cli_vlp27000/THistoryModel.h"

class QLabel;
class QPushButton;
class QTableView;

class THistoryDialog : public QDialog {
    Q_OBJECT
  public:
    // undo: true when the save was undone (then the history is read again).
    using TUndo = std::function<bool(const THistoryRow& save)>;
    THistoryDialog(const QString& subject, THistoryModel::TReadPage readPage, int pageRows,
                   TUndo undo, QWidget* parent = nullptr);

    THistoryModel* Model() const { return m_model; }
    QTableView* Table() const { return m_table; }
    QLabel* StatusLabel() const { return m_status; }
    QLabel* DetailLabel() const { return m_detail; }
    QPushButton* UndoButton() const { return m_undo; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;  // F5 reads again

  private:
    void RowChanged(int row);
    void ShowStatus();
    void Undo();
    void Reload();

    THistoryModel* m_model;
    QTableView* m_table;
    QLabel* m_status;
    QLabel* m_detail;
    QPushButton* m_undo;
    TUndo m_undoSave;
};
