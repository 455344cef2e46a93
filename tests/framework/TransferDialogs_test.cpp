// The dialogs of a file transfer from the keyboard: a choice among answers (arrows, mnemonics,
// Enter, Esc, a disabled answer never chosen), and the standard file dialogs, scripted through
// Dialogs() and the real ones answered with a typed name.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sstream>

#include "framework/StdDialogs.h"
#include "framework/TChoiceDialog.h"
#include "framework/TQtDialogs.h"
#include "support/TScriptedDialogs.h"

namespace {

// Words as QKeySequence spells them, typed into whatever has the dialog's focus.
void Type(QWidget& dialog, const std::string& keys) {
    // The arrows move among the answers through the application's focus: the window must be
    // active first, as it is for a person looking at it.
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    std::istringstream words(keys);
    for (std::string word; words >> word && dialog.isVisible();) {
        const QKeySequence key = QKeySequence::fromString(QString::fromStdString(word));
        QWidget* target = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
        ASSERT_FALSE(key.isEmpty()) << word;
        QTest::keyClick(target, key[0].key(), key[0].keyboardModifiers());
        if (key[0].keyboardModifiers() & Qt::AltModifier) QTest::qWait(150);
    }
}

TEST(TChoiceDialog, TheKeyboardChooses) {
    const struct {
        int chosen;  // checked at first
        bool secondEnabled;
        const char* keys;
        int answer;  // -1: cancelled
    } cases[] = {
        {0, true, "Return", 0},       {1, true, "Return", 1},       {0, true, "Down Return", 1},
        {0, true, "Alt+T Return", 1}, {1, true, "Alt+G Return", 0}, {0, true, "Down Escape", -1},
        {1, false, "Return", 0},  // a disabled answer is never the one checked
        {0, false, "Down Return", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        TChoiceDialog dialog("Exportar", "O que exportar?",
                             {{"&Grupo atual", "Só este grupo.", true},
                              {"&Todos os grupos", "Todos.", c.secondEnabled}},
                             c.chosen);
        QTimer::singleShot(0, [&] { Type(dialog, c.keys); });
        const std::optional<int> answer = dialog.Run();
        EXPECT_EQ(answer.value_or(-1), c.answer);
    }
}

TEST(FileDialogs, ScriptedAnswersGoThroughTheDialogsInForce) {
    TScriptedDialogs dialogs;
    dialogs.QueueFileName("/tmp/a.csv");
    dialogs.QueueFileName("");
    EXPECT_EQ(SaveFileName("Exportar", "sugestoes.csv", "CSV (*.csv)").value_or("-"), "/tmp/a.csv");
    EXPECT_EQ(OpenFileName("Importar", "CSV (*.csv)").value_or("-"), "-");
    EXPECT_EQ(OpenFileName("Importar", "CSV (*.csv)").value_or("-"), "-") << "none queued";
    EXPECT_EQ(dialogs.Log,
              (std::vector<std::string>{"SaveFileName Exportar: sugestoes.csv",
                                        "OpenFileName Importar", "OpenFileName Importar"}));
}

TEST(FileDialogs, TheStandardDialogTakesATypedNameOrEsc) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const struct {
        bool save;
        const char* keys;  // into the file name box
        std::string chosen;
    } cases[] = {
        {true, "Return", "sugestoes.csv"},  // the suggested name taken as it is
        {true, "Escape", "-"},
        {false, "Escape", "-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        QTimer::singleShot(50, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), c.save ? "Exportar" : "Importar");
            Type(*dialog, c.keys);
        });
        TQtDialogs qt;
        const std::optional<std::string> path =
            c.save ? qt.SaveFileName("Exportar", "sugestoes.csv", "Arquivos CSV (*.csv)")
                   : qt.OpenFileName("Importar", "Arquivos CSV (*.csv)");
        EXPECT_EQ(path ? QFileInfo(QString::fromStdString(*path)).fileName().toStdString() : "-",
                  c.chosen);
    }
}

}  // namespace
