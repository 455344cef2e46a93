#pragma once
// What an import, a replacement or an undo would change, before anything changes. The server's
// summary, a sentence saying what Aplicar does (or why it cannot), and the table of changes and
// errors, errors first in red (line and column only when some row has them). "Aplicar" is enabled
// only when there is no error, and is then the default button; Esc and "Cancelar" apply nothing.
// UI thread only.

#include <QDialog>

#include "Cli_vlp27000/TImportPreview.h"

class QLabel;
class QPushButton;
class QTableView;

// What the dialog says around the preview, in the words of the action previewed: the title, a
// line naming what it is about, and the advice with errors (%1: their count), with nothing to
// change, and for Aplicar (%1: the changes' count). RefusedOnApply is for the screen: errors the
// server found only when applying (%1: their count), as the data changed since the preview.
struct TPreviewTexts {
    QString Title, Subject, ErrorAdvice, NothingAdvice, ApplyAdvice, RefusedOnApply;
    static TPreviewTexts Import(const QString& fileName, const QString& mode);
    // An action across the suggestion lists (a replacement, an undo), in its own words.
    static TPreviewTexts AcrossLists(const QString& title, const QString& subject);
};

class TImportPreviewDialog : public QDialog {
    Q_OBJECT
  public:
    // fileName and mode are shown for the user's orientation. The preview must outlive the dialog.
    TImportPreviewDialog(const TImportPreview& preview, const QString& fileName,
                         const QString& mode, QWidget* parent = nullptr);
    TImportPreviewDialog(const TImportPreview& preview, const TPreviewTexts& texts,
                         QWidget* parent = nullptr);

    bool Run();  // modal; true when the user chose Aplicar

    QLabel* SummaryLabel() const { return m_summary; }
    QLabel* AdviceLabel() const { return m_advice; }
    QTableView* Table() const { return m_table; }
    QPushButton* ApplyButton() const { return m_apply; }
    QPushButton* CancelButton() const { return m_cancel; }

  private:
    QLabel* m_summary;
    QLabel* m_advice;
    QTableView* m_table;
    QPushButton* m_apply;
    QPushButton* m_cancel;
};
