// The random walk's steps as they reach the screen: the action performed where the user would
// perform it, and what the step found and sent.
#include <QClipboard>
#include <QKeySequence>
#include <QTabBar>
#include <QTest>
#include <algorithm>

#include "RandomWalk.h"
#include "controls/TDBGrid.h"
#include "framework/FrameworkUtils.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"

std::set<std::string> RandomWalk::SavesSent() const {
    std::set<std::string> saves;
    for (const FakeCall& call : sent)
        if (call.method.starts_with("Set")) saves.insert(call.method);
    return saves;
}

bool RandomWalk::Sent(const std::string& method) const {
    return std::any_of(sent.begin(), sent.end(),
                       [&](const FakeCall& c) { return c.method == method; });
}

std::string RandomWalk::Fresh(TfrmSugestaoProd& f, const ScreenList& list) {
    const std::string group = f.cdsGrupSegProd.FieldByName("CDGRUSUGESPROD").AsString();
    if (list.r == &f.cdsGrupSegProd) return other->Groups();
    if (list.r == &f.cdsArvProd) return other->Rows("GetArvProd", {group}, "cdsArvProd");
    return other->Rows("GetProdRelac", {group, MainProduct(f)}, "cdsProdRelac");
}

StepStart RandomWalk::Start(TfrmSugestaoProd& f) const {
    return {PendingAll(f), MainProduct(f), m_dialogs->Log.size(), m_commandsStale,
            EditedUnfocused(f) != nullptr};
}

std::string RandomWalk::Perform(TfrmSugestaoProd& f, const UserAction& a) {
    QWidget* focus = QApplication::focusWidget();
    std::vector<TDBGrid*> grids{f.dbgPadrao};
    if (f.pgcPadrao->ActivePage() == f.tshProduto) grids = {f.dbgProduto, f.dbgProdRelac};
    auto at = [](double fraction, std::size_t count) {
        return std::min(count - 1, static_cast<std::size_t>(fraction * count));
    };
    switch (a.kind) {
        case UserAction::Key:
            QTest::keyClick(focus, a.key, a.modifiers);
            QApplication::processEvents();
            return "key " + QKeySequence(a.key | a.modifiers).toString().toStdString();
        case UserAction::Paste:
            QGuiApplication::clipboard()->setText(QString::fromStdString(a.text));
            QTest::keyClick(focus, Qt::Key_V, Qt::ControlModifier);
            QApplication::processEvents();
            return "paste \"" + a.text + "\"";
        case UserAction::Type:
            for (QChar c : QString::fromStdString(a.text)) {
                QWidget* target = QApplication::focusWidget();
                if (!target || !f.isAncestorOf(target)) break;
                // QTest spells only ASCII keys; a letter like "ç" goes as its key and text.
                const auto key = c.unicode() < 128 ? QTest::asciiToKey(c.toLatin1())
                                                   : Qt::Key(c.toUpper().unicode());
                QTest::sendKeyEvent(QTest::Click, target, key, QString(c), Qt::NoModifier);
            }
            QApplication::processEvents();
            return "type \"" + a.text + "\"";
        case UserAction::ClickCell:
        case UserAction::DoubleClickCell: {
            TDBGrid& grid = *grids[static_cast<std::size_t>(a.grid) % grids.size()];
            const std::string name = grid.objectName().toStdString();
            const int rows = grid.model()->rowCount();
            if (rows == 0) {
                QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(8, 8));
                QApplication::processEvents();
                return "click " + name + " (no rows)";
            }
            const int row = static_cast<int>(at(a.row, static_cast<std::size_t>(rows)));
            std::vector<std::string> columns;
            for (const TColumn& column : grid.Columns())
                if (column.Visible) columns.push_back(column.FieldName);
            const std::string field =
                IndiceCol(grid, a.field) >= 0 ? a.field : columns[at(a.column, columns.size())];
            const std::string what = name + " row " + std::to_string(row) + " " + field;
            if (a.kind == UserAction::ClickCell) {
                ClickCell(grid, row, field.c_str());
                return "click " + what;
            }
            const QModelIndex cell = grid.model()->index(row, IndiceCol(grid, field));
            grid.scrollTo(cell);
            QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cell).center());
            QApplication::processEvents();
            return "double-click " + what;
        }
        case UserAction::ClickTab: {
            QTabBar* tabs = f.pgcPadrao->tabBar();
            const int tab = static_cast<int>(at(a.at, static_cast<std::size_t>(tabs->count())));
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
            QApplication::processEvents();
            return "click tab " + tabs->tabText(tab).toStdString();
        }
        case UserAction::ClickButton: {
            std::vector<QToolButton*> enabled;
            for (QToolButton* b : {f.sbtIncluir, f.sbtAlterar, f.sbtExcluir, f.sbtConfirmar,
                                   f.sbtCancelar, f.sbtProcurar, f.sbtVerificar})
                if (b->isEnabled()) enabled.push_back(b);
            if (enabled.empty()) return "no tool button enabled";
            QToolButton* button = enabled[at(a.at, enabled.size())];
            Click(button);
            return "click " + button->objectName().toStdString();
        }
        case UserAction::Answer:
        case UserAction::Pick:
            if (!m_dialogs->Ready(a)) return "(two answers wait already)";
            return a.kind == UserAction::Answer ? "ready to answer " + AnswerName(a.answer)
                                                : "ready to pick row " + std::to_string(a.answer);
    }
    return "";
}
