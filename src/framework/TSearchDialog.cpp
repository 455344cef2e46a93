#include "framework/TSearchDialog.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTableView>
#include <QVBoxLayout>

#include "controls/SafeCall.h"
#include "framework/StdDialogs.h"
#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TDataSource.h"
#include "framework/TSearchHighlight.h"
#include "framework/TSearchModel.h"
#include "framework/TSearchRowAction.h"

TSearchDialog::TSearchDialog(TDataSource& source, const std::string& text, QWidget* parent)
    : QDialog(parent), m_dataSet(*source.DataSet()), m_action(TSearchRowAction::Current()) {
    std::string title = "Pesquisar", initial;
    size_t bar = text.find('|');
    if (bar == std::string::npos) {
        initial = text;
    } else {
        if (bar > 0) title = "Pesquisar " + text.substr(0, bar);
        m_notFound = text.substr(bar + 1);
    }
    if (m_notFound.empty()) m_notFound = "Nenhum registro encontrado.";
    setWindowTitle(QString::fromStdString(title));

    m_filter = new QLineEdit(this);
    m_filter->setPlaceholderText(QStringLiteral("Digite para filtrar"));
    m_filter->setClearButtonEnabled(true);
    m_filter->setMaxLength(kMaxFilter);
    m_filter->installEventFilter(this);
    m_list = new QTableView(this);
    m_model = new TSearchModel(m_dataSet, this);
    m_list->setModel(m_model);
    m_highlight = new TSearchHighlight(this);
    m_list->setItemDelegate(m_highlight);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setFocusPolicy(Qt::NoFocus);  // the filter keeps the keyboard
    m_status = new QLabel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_status);
    if (m_action) {
        auto* hint = new QLabel(m_action->Hint(), this);
        hint->setObjectName(QStringLiteral("lblAcaoLinha"));
        layout->addWidget(hint);
    }
    resize(640, 420);

    connect(m_filter, &QLineEdit::textChanged, this, [this] { ApplyFilter(); });
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this] { Choose(); });
    if (!initial.empty()) m_filter->setText(QString::fromStdString(initial));
    ApplyFilter();
    // Start on the record set's current row when it is in the list.
    int current = m_model->ModelRowOf(m_dataSet.RecNo());
    if (current >= 0) m_list->selectRow(current);
}

TSearchDialog::~TSearchDialog() = default;

bool TSearchDialog::Run() {
    m_filter->setFocus();
    exec();
    if (m_actedRow >= 0) m_action->Act(m_actedRow);
    return m_chosen;
}

void TSearchDialog::ApplyFilter() {
    m_model->SetFilter(m_filter->text().toStdString());
    m_highlight->SetQuery(m_model->Index().Query());
    int rows = m_model->rowCount();
    if (rows > 0) m_list->selectRow(0);
    m_status->setText(rows == 0 ? QString::fromStdString(m_notFound)
                                : CountLine(rows, m_model->Index().RowCount()));
}

QString TSearchDialog::CountLine(int shown, int total) {
    // Brazilian digit grouping whatever the machine's locale: "3 de 4.722 registros".
    static const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    if (shown < total)
        return QStringLiteral("%1 de %2 registros")
            .arg(brazil.toString(shown), brazil.toString(total));
    return shown == 1 ? QStringLiteral("1 registro")
                      : QStringLiteral("%1 registros").arg(brazil.toString(shown));
}

void TSearchDialog::Choose() {
    QModelIndex current = m_list->currentIndex();
    int row = m_model->RecordRow(current.isValid() ? current.row() : -1);
    if (row < 0) return;
    if (!SafeCall([&] { m_dataSet.MoveTo(row); })) return;
    m_chosen = true;
    accept();
}

void TSearchDialog::ActOnRow() {
    QModelIndex current = m_list->currentIndex();
    int row = m_model->RecordRow(current.isValid() ? current.row() : -1);
    if (row < 0) return;
    m_actedRow = row;
    reject();
}

bool TSearchDialog::eventFilter(QObject* object, QEvent* event) {
    if (object != m_filter || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(object, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (m_action && QKeySequence(key->keyCombination()) == m_action->Key()) {
        ActOnRow();
        return true;
    }
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Choose();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QApplication::sendEvent(m_list, event);
            return true;
        default:
            return false;
    }
}
