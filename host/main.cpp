// vlp-host: loads the screen module, opens the main window and runs the screens.
//   vlp-host [--config PATH] [--open VLP27000] [--check]

#include <QCommandLineParser>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <cstdio>

#include "HostApplication.h"
#include "HostConfigFile.h"
#include "MainWindow.h"
#include "ModuleLoader.h"
#include "controls/SafeCall.h"
#include "framework/BusyAnimation.h"
#include "framework/SignIn.h"
#include "framework/StdDialogs.h"
#include "framework/TApplication.h"

int main(int argc, char** argv) {
    HostApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Cliente VLP"));
    parser.addHelpOption();
    QCommandLineOption configOption(QStringLiteral("config"),
                                    QStringLiteral("Arquivo de configuração (INI)."),
                                    QStringLiteral("PATH"));
    QCommandLineOption openOption(QStringLiteral("open"),
                                  QStringLiteral("Abre a tela ao iniciar (VLP27000)."),
                                  QStringLiteral("CODE"));
    QCommandLineOption checkOption(
        QStringLiteral("check"),
        QStringLiteral(
            "Lê a configuração e carrega o módulo VLP27000 sem abrir a janela; sai com 0 "
            "se tudo estiver certo, ou 1 dizendo em stderr o que falhou."));
    parser.addOption(configOption);
    parser.addOption(openOption);
    parser.addOption(checkOption);
    parser.process(app);

    HostConfigResult config =
        parser.isSet(configOption)
            ? loadHostConfig(parser.value(configOption))
            : loadDefaultHostConfig(machineHostConfigPath(), defaultHostConfigPath());
    Application().SetConfig(config.config);

    MainWindow window;
    Application().SetMainForm(&window, window.mdiArea());
    InstallWaitPump();
    InstallSignIn();

    ModuleLoader module;
    QString moduleError;
    auto configured = config.config.Modules.find("VLP27000");
    QString configuredPath = configured == config.config.Modules.end()
                                 ? QString()
                                 : QString::fromStdString(configured->second);
    bool loaded = module.load(ModuleLoader::candidates(configuredPath, app.applicationDirPath(),
                                                       QStringLiteral("libvlp27000.so")),
                              &moduleError);
    if (loaded && !SafeCall([&] { module.initialize(); })) {
        loaded = false;
        moduleError = QStringLiteral("A inicialização do módulo VLP27000 falhou.");
    }
    if (parser.isSet(checkOption)) {
        QStringList problems = config.problems;
        if (!loaded) problems << moduleError;
        for (const QString& problem : problems)
            std::fprintf(stderr, "vlp-host: %s\n", qPrintable(problem));
        if (problems.isEmpty())
            std::printf("vlp-host: módulo VLP27000 carregado de %s\n", qPrintable(module.path()));
        Application().SetMainForm(nullptr, nullptr);
        SafeCall([&] { module.finalize(); });
        return problems.isEmpty() ? 0 : 1;
    }
    window.addScreen(
        QStringLiteral("&Sugestão de Produtos"), QKeySequence(Qt::CTRL | Qt::Key_1),
        [&module] { module.iniProc(); }, loaded, moduleError);
    window.show();

    // Problems are shown once the window is up, so the dialogs have a parent to sit on.
    QStringList problems = config.problems;
    if (!loaded) problems << moduleError;
    bool open = parser.isSet(openOption);
    QString code = parser.value(openOption);
    QTimer::singleShot(0, &window, [&, problems, open, code] {
        for (const QString& problem : problems)
            MessageDlg(problem.toStdString(), mtWarning, {mbOK}, 0);
        if (!open) return;
        if (code.compare(QStringLiteral("VLP27000"), Qt::CaseInsensitive) != 0) {
            MessageDlg("Tela desconhecida: " + code.toStdString() + ".", mtWarning, {mbOK}, 0);
        } else if (loaded) {
            SafeCall([&] { module.iniProc(); });
        }
    });

    int status = app.exec();
    // Screens go before the module that built them shuts down.
    window.mdiArea()->closeAllSubWindows();
    for (QMdiSubWindow* sub : window.mdiArea()->subWindowList()) delete sub;
    Application().SetMainForm(nullptr, nullptr);
    SafeCall([&] { module.finalize(); });
    return status;
}
