#pragma once
// "Onde é usado": every list a product is in, with what can be done from there. Enter or a double
// click on a line goes to that list ("Ir para" closes the dialog with the line); "Substituir
// por…" and "Remover de todos" run the screen's actions with the dialog open, each of which
// reads the list again (SetRows). Esc and "Fechar" close choosing nothing. An action's error is
// reported and the dialog stays. UI thread only.

#include <QDialog>
#include <functional>
#include <optional>

#include "Cli_vlp27000/TWhereUsed.h"

class QLabel;
class QPushButton;
class QTableView;
class TWhereUsedModel;

class TWhereUsedDialog : public QDialog {
    Q_OBJECT
  public:
    using TAction = std::function<void(TWhereUsedDialog&)>;
    TWhereUsedDialog(TProductRef product, TAction replace, TAction removeAll,
                     QWidget* parent = nullptr);

    void SetRows(std::vector<TWhereUsedRow> rows);
    std::optional<TWhereUsedRow> Run();  // modal; the line to go to, nullopt when closed

    const TProductRef& Product() const { return m_product; }
    QLabel* CountLabel() const { return m_count; }
    QTableView* Table() const { return m_table; }

  private:
    void GoTo();

    TProductRef m_product;
    TWhereUsedModel* m_model;
    QLabel* m_count;
    QTableView* m_table;
    QPushButton *m_goTo, *m_replace, *m_remove;
    std::optional<TWhereUsedRow> m_chosen;
};
