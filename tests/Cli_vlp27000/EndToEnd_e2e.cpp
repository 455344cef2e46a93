// The screen opened against the real application server on loopback, over a fresh SQLite file
// seeded with the demo catalogue.
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "ScreenFixture.h"
#include "TTabSheet.h"

namespace {

// Starts the server on an ephemeral port and learns the port from its start-up line.
class RealServer {
  public:
    RealServer() {
        const QString db = "sqlite:" + m_dir.filePath("vlp.db");
        m_process.setProgram(VLP_APPSERVER_PATH);
        m_process.setArguments({"--db", db, "--seed-demo", "--listen", "127.0.0.1:0"});
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start();
        QRegularExpression line("escutando em [^:\\s]+:(\\d+)");
        QString seen;
        while (m_port == 0 && m_process.waitForReadyRead(10000)) {
            seen += QString::fromUtf8(m_process.readAll());
            QRegularExpressionMatch m = line.match(seen);
            if (m.hasMatch()) m_port = m.captured(1).toInt();
        }
    }
    ~RealServer() {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) m_process.kill();
        m_process.waitForFinished(5000);
    }
    int port() const { return m_port; }

  private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};

class EndToEnd : public ScreenTest {};

TEST_F(EndToEnd, OpensWithTheDemoGroupsAndClosesCleanly) {
    RealServer server;
    ASSERT_GT(server.port(), 0) << "the application server did not start";
    TfrmSugestaoProd::SetTransportFactory(nullptr);
    THostConfig config;
    config.WebURL = "127.0.0.1";
    config.WebPort = server.port();
    Application().SetConfig(config);

    TfrmSugestaoProd& form = Open();
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{});
    EXPECT_TRUE(form.NetSugProd.Connected());
    EXPECT_FALSE(form.cdsGrupSegProd.IsEmpty());
    EXPECT_TRUE(form.tshProduto->Enabled());
    CloseScreen();
    EXPECT_FALSE(Cli_vlp27000::boIdCriado);
}

}  // namespace
