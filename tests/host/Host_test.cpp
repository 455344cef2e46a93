// vlp-host's parts: configuration file, module loader, main window, last-resort error handler.
#include <gtest/gtest.h>

#include <cctype>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFile>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "framework/EAbort.h"
#include "HostConfigFile.h"
#include "MainWindow.h"
#include "ModuleLoader.h"
#include "support/TScriptedDialogs.h"

namespace {

class HostConfigTest : public ::testing::Test {
  protected:
    QString Write(const QByteArray& text) {
        QString path = dir.filePath("vlp-host.ini");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(HostConfigTest, ReadsServerMasksAndModules) {
    auto result =
        loadHostConfig(Write("[Server]\nWebURL=app.local\nWebPort=9001\n"
                             "[Masks]\nDBPict0=9.99;_\nDBPict2=AAA\n"
                             "[Modules]\nVLP27000=/opt/vlp/libvlp27000.so\n"));
    EXPECT_TRUE(result.problems.isEmpty()) << result.problems.join("\n").toStdString();
    EXPECT_EQ(result.config.WebURL, "app.local");
    EXPECT_EQ(result.config.WebPort, 9001);
    EXPECT_EQ(result.config.Pictures[0], "9.99;_");
    EXPECT_EQ(result.config.Pictures[2], "AAA");
    EXPECT_EQ(result.config.Modules["VLP27000"], "/opt/vlp/libvlp27000.so");
}

TEST_F(HostConfigTest, AMissingFileGivesDefaultsAndAMessageNamingIt) {
    QString path = dir.filePath("nao-existe.ini");
    auto result = loadHostConfig(path);
    ASSERT_EQ(result.problems.size(), 1);
    EXPECT_TRUE(result.problems[0].contains(path));
    EXPECT_EQ(result.config.WebURL, "127.0.0.1");
    EXPECT_EQ(result.config.WebPort, 8427);
    EXPECT_EQ(result.config.Pictures[0], "9.99.999.9999;_");
}

TEST_F(HostConfigTest, BadValuesAreReportedAndReplacedByDefaults) {
    for (const char* port : {"abc", "0", "70000", "-5", ""}) {
        auto result = loadHostConfig(
            Write(QByteArray("[Server]\nWebURL=\nWebPort=") + port + "\n[Masks]\nOutra=1\n"));
        EXPECT_EQ(result.config.WebURL, "127.0.0.1");
        EXPECT_EQ(result.config.WebPort, 8427) << port;
        EXPECT_EQ(result.problems.size(), 2) << port;  // the port and the unknown mask key
    }
}

TEST_F(HostConfigTest, TlsIsAYesOrNoAsPeopleWriteItAndCaFileAFileBesideTheConfiguration) {
    QFile authority(dir.filePath("empresa-ca.pem"));
    ASSERT_TRUE(authority.open(QIODevice::WriteOnly));
    const QByteArray absolute = authority.fileName().toUtf8();
    const struct {
        QByteArray lines;
        bool tls;
        QByteArray caFile;
        const char* problem;  // part of the one problem reported; nullptr: none
    } cases[] = {
        {"", false, "", nullptr},
        {"Tls=1", true, "", nullptr},
        {"tls=SIM", true, "", nullptr},
        {"TLS=True", true, "", nullptr},
        {"Tls=\"sim\"", true, "", nullptr},
        {"Tls=0", false, "", nullptr},
        {"Tls=NÃO", false, "", nullptr},
        {"Tls=false", false, "", nullptr},
        {"Tls=talvez", false, "", "Tls inválido em "},
        {"Tls=", false, "", "Tls inválido em "},
        {"Tls=1\nCaFile=empresa-ca.pem", true, absolute, nullptr},
        {"CaFile=" + absolute, false, absolute, nullptr},
        {"CaFile=", false, "", nullptr},
        {"Tls=sim\nCaFile=nenhuma.pem", true, "", "CaFile não encontrado em "},
        {"CaFile=" + dir.path().toUtf8(), false, "", "CaFile não encontrado em "},
    };
    for (const auto& c : cases) {
        auto result = loadHostConfig(Write("[Server]\n" + c.lines + "\n"));
        EXPECT_EQ(result.config.Tls, c.tls) << c.lines.toStdString();
        EXPECT_EQ(result.config.CaFile, c.caFile.toStdString()) << c.lines.toStdString();
        if (!c.problem) {
            EXPECT_TRUE(result.problems.isEmpty()) << result.problems.join("\n").toStdString();
            continue;
        }
        ASSERT_EQ(result.problems.size(), 1) << c.lines.toStdString();
        EXPECT_TRUE(result.problems[0].startsWith(QString::fromUtf8(c.problem)))
            << result.problems[0].toStdString();
        EXPECT_TRUE(result.problems[0].contains(dir.path())) << result.problems[0].toStdString();
    }
}

TEST_F(HostConfigTest, ABrokenFileGivesDefaultsAndAMessage) {
    auto result = loadHostConfig(Write("[Server\nWebPort=1\nsem igual\n=x\n"));
    EXPECT_FALSE(result.problems.isEmpty());
    EXPECT_EQ(result.config.WebURL, "127.0.0.1");
    auto folder = loadHostConfig(dir.path());  // a folder, not a file
    EXPECT_EQ(folder.problems.size(), 1);
}

TEST(ModuleLoaderTest, LoadsAModuleAndRunsItsEntries) {
    qunsetenv("VLP_TEST_MODULE_LOG");
    ModuleLoader module;
    QString error;
    ASSERT_TRUE(module.load({"/nao/existe.so", FULL_MODULE}, &error)) << error.toStdString();
    module.initialize();
    module.initialize();  // once only
    module.iniProc();
    module.finalize();
    module.finalize();
    EXPECT_EQ(qgetenv("VLP_TEST_MODULE_LOG"), "Initialize IniProc Finalize ");
}

TEST(ModuleLoaderTest, AMissingModuleOrEntryIsNamed) {
    ModuleLoader missing;
    QString error;
    EXPECT_FALSE(missing.load({"/nao/existe/libvlp27000.so"}, &error));
    EXPECT_TRUE(error.contains("/nao/existe/libvlp27000.so")) << error.toStdString();
    EXPECT_FALSE(missing.isLoaded());

    ModuleLoader partial;
    EXPECT_FALSE(partial.load({PARTIAL_MODULE}, &error));
    EXPECT_TRUE(error.contains("Finalize")) << error.toStdString();
    EXPECT_TRUE(error.contains("IniProc")) << error.toStdString();
    EXPECT_FALSE(error.contains("Initialize")) << error.toStdString();
    EXPECT_FALSE(partial.isLoaded());
    partial.iniProc();  // harmless when not loaded
}

TEST(ModuleLoaderTest, CandidatesPreferTheConfiguredPathThenBesideTheProgram) {
    EXPECT_EQ(ModuleLoader::candidates("/x/lib.so", "/bin", "lib.so"), QStringList{"/x/lib.so"});
    EXPECT_EQ(ModuleLoader::candidates("", "/b/host", "lib.so"),
              (QStringList{"/b/host/lib.so", "/b/host/../src/Pkg_vlp27000/lib.so"}));
}

TEST(MainWindowTest, AScreenEntryReportsItsErrorsAndIsDisabledWithoutItsModule) {
    TScriptedDialogs dialogs;
    MainWindow window;
    QAction* broken = window.addScreen(
        "Tela", {}, [] { throw std::runtime_error("Sem conexão."); }, true);
    broken->trigger();
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{"Error: Sem conexão."});
    QAction* missing = window.addScreen(
        "Outra", {}, [] {}, false, "Módulo não encontrado.");
    EXPECT_FALSE(missing->isEnabled());
    EXPECT_EQ(missing->toolTip(), "Módulo não encontrado.");
}

// The toolkit's standard buttons, as the file dialogs and message boxes show them, speak the
// users' language.
TEST(HostApplicationTest, StandardButtonsAreInPortuguese) {
    const std::pair<QDialogButtonBox::StandardButton, const char*> cases[] = {
        {QDialogButtonBox::Save, "Salvar"},
        {QDialogButtonBox::Open, "Abrir"},
        {QDialogButtonBox::Cancel, "Cancelar"},
    };
    QDialogButtonBox box;
    for (const auto& [button, text] : cases)
        EXPECT_EQ(box.addButton(button)->text().remove('&').toStdString(), text);
}

// A screen that refuses to close, as one with unsaved work might.
class Stubborn : public QWidget {
  protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

TEST(MainWindowTest, ClosingWaitsForEveryScreenToClose) {
    MainWindow window;
    window.show();
    QMdiSubWindow* sub = window.mdiArea()->addSubWindow(new Stubborn);
    sub->show();
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    sub->setWidget(new QWidget);
    EXPECT_TRUE(window.close());
}

QAction* menuItem(MainWindow& window, const char* text) {
    for (QAction* action : window.findChildren<QAction*>())
        if (action->text() == text) return action;
    return nullptr;
}

// The titles of the screens still open, in the order they were opened.
std::string openScreens(MainWindow& window) {
    std::string titles;
    for (QMdiSubWindow* sub : window.mdiArea()->subWindowList())
        if (sub->isVisible()) titles += sub->windowTitle().toStdString();
    return titles;
}

// "Fechar" closes the active screen and "Fechar todas" every screen that agrees; both are
// disabled while no screen is open. Screens open in order, the last one active.
TEST(MainWindowTest, JanelaClosesTheActiveScreenOrEveryOneThatAgrees) {
    const char* kClose = "&Fechar";
    const char* kCloseAll = "Fechar &todas";
    const struct {
        const char* screens;  // one letter a screen; a small letter refuses to close
        const char* item;
        bool byShortcut;  // Ctrl+F4 on the main window, else the menu item itself
        const char* left;
    } cases[] = {
        {"", kClose, true, ""},     {"", kCloseAll, false, ""},    {"A", kClose, true, ""},
        {"A", kClose, false, ""},   {"A", kCloseAll, false, ""},   {"aB", kClose, true, "a"},
        {"Ab", kClose, true, "Ab"}, {"aB", kCloseAll, false, "a"}, {"Ab", kCloseAll, false, "b"},
    };
    for (const auto& c : cases) {
        const std::string what = std::string(c.screens) + " " + c.item;
        MainWindow window;
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        for (const char* s = c.screens; *s; ++s) {
            QWidget* screen = std::islower(*s) ? new Stubborn : new QWidget;
            QMdiSubWindow* sub = window.mdiArea()->addSubWindow(screen);
            sub->setAttribute(Qt::WA_DeleteOnClose);
            sub->setWindowTitle(QString(QChar(*s)));
            sub->show();
        }
        QAction* item = menuItem(window, c.item);
        ASSERT_TRUE(item) << what;
        EXPECT_EQ(item->isEnabled(), *c.screens != 0) << what;
        if (c.byShortcut)
            QTest::keyClick(&window, Qt::Key_F4, Qt::ControlModifier);
        else
            item->trigger();
        EXPECT_EQ(openScreens(window), c.left) << what;
        for (const char* text : {kClose, kCloseAll})
            EXPECT_EQ(menuItem(window, text)->isEnabled(), *c.left != 0) << what << " / " << text;
    }
}

// Throws from inside an event handler, as a screen's handler might if nothing caught it.
class Thrower : public QObject {
  public:
    std::function<void()> what;
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) what();
        return QObject::event(e);
    }
};

TEST(LastResortTest, ErrorsReachingTheEventLoopAreShownAndTheProgramGoesOn) {
    TScriptedDialogs dialogs;
    Thrower thrower;
    thrower.what = [] { throw std::runtime_error("Conexão perdida."); };
    QEvent first(QEvent::User);
    EXPECT_TRUE(QApplication::sendEvent(&thrower, &first));
    thrower.what = [] { throw EAbort(); };
    QEvent second(QEvent::User);
    QApplication::sendEvent(&thrower, &second);
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{"Error: Conexão perdida."});

    // Still alive: the event loop runs on.
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    QApplication::processEvents();
    EXPECT_TRUE(ran);
}

}  // namespace

namespace {

TEST(HostApplicationTest, NumbersReadAsInBrazilWhateverTheMachineLocale) {
    EXPECT_EQ(QLocale().toString(4721), "4.721");
    EXPECT_EQ(QString("%L1 registros").arg(100000), "100.000 registros");
}

}  // namespace
