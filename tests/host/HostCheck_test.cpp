// vlp-host --check, the program itself: the configuration read and the module loaded without a
// window, exit 0 naming the module, or 1 saying what failed.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

TEST(HostCheckTest, LoadsTheModuleWithoutAWindowAndSaysWhatFailed) {
    const struct {
        QByteArray config;  // the file given with --config
        int exitCode;
        const char* said;  // on standard output when it passed, else on standard error
    } cases[] = {
        {"[Modules]\nVLP27000=" FULL_MODULE "\n", 0, "carregado de " FULL_MODULE},
        // Beside the program, where the build and the package put the screen module.
        {"[Server]\nWebPort=8427\n", 0, "/libvlp27000.so"},
        {"[Modules]\nVLP27000=/nao/existe/libvlp27000.so\n", 1,
         "Módulo não encontrado: /nao/existe/libvlp27000.so."},
        {"[Modules]\nVLP27000=" PARTIAL_MODULE "\n", 1, "não exporta Finalize, IniProc"},
        {"[Server]\nWebPort=0\n", 1, "WebPort inválido"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString config = dir.filePath("vlp-host.ini");
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.config);
        file.close();
        QProcess host;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        host.setProcessEnvironment(env);
        host.start(HOST_PROGRAM, {"--check", "--config", config});
        ASSERT_TRUE(host.waitForFinished(60000)) << c.config.toStdString();
        const QString out = QString::fromUtf8(host.readAllStandardOutput());
        const QString err = QString::fromUtf8(host.readAllStandardError());
        EXPECT_EQ(host.exitCode(), c.exitCode) << c.config.toStdString() << err.toStdString();
        EXPECT_TRUE((c.exitCode == 0 ? out : err).contains(QString::fromUtf8(c.said)))
            << c.config.toStdString() << "\nout: " << out.toStdString()
            << "\nerr: " << err.toStdString();
    }
}

}  // namespace
