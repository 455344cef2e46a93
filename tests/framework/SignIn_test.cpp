// Signing in from the keyboard: the dialog on its own (focus, Enter, Tab, Esc), then through the
// real widgets against the application server in-process over HTTPS, which asks for credentials:
// wrong then right, the name remembered for the session, Esc giving the server's refusal, and the
// busy animation out of the way while the user answers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>

#include "framework/BusyAnimation.h"
#include "LoopbackAppServer.h"
#include "framework/SignIn.h"
#include "framework/TApplication.h"
#include "dataaccess/TNetConnection.h"
#include "framework/TSignInDialog.h"
#include "support/TestCertificate.h"

namespace {

using appserver::testing::LoopbackAppServer;
using appserver::testing::LoopbackOptions;

// Keys to the widget that has the dialog's focus: "\t" is Tab, "\n" Enter, "\x1b" Esc.
void Type(QDialog& dialog, const QString& keys) {
    for (QChar key : keys) {
        QWidget* target = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
        if (key == '\t')
            QTest::keyClick(target, Qt::Key_Tab);
        else if (key == '\n')
            QTest::keyClick(target, Qt::Key_Return);
        else if (key == '\x1b')
            QTest::keyClick(target, Qt::Key_Escape);
        else
            QTest::keyClicks(target, QString(key));
    }
}

// Which field has the focus, by its label.
QString FocusOf(const TSignInDialog& dialog) {
    QWidget* focus = dialog.focusWidget();
    if (focus == dialog.UserBox()) return "Usuário";
    if (focus == dialog.PasswordBox()) return "Senha";
    if (auto* button = qobject_cast<QPushButton*>(focus)) return button->text();
    return "?";
}

TEST(TSignInDialogTest, TheKeyboardDoesItAll) {
    const struct {
        const char* reason;
        const char* known;     // the name offered
        const char* focus;     // where focus starts
        const char* keys;      // typed from there
        const char* visited;   // focus after each Tab or Enter that left the dialog open
        const char* signedIn;  // "name:password", "" for cancelled
    } cases[] = {
        {"Este servidor exige usuário e senha.", "", "Usuário", "ana\nsegredo\n", "Senha",
         "ana:segredo"},
        {"Usuário ou senha incorretos.", "ana", "Senha", "segredo\n", "", "ana:segredo"},
        {"", "", "Usuário", "ana\tsegredo\t\t\x1b", "Senha&EntrarCancelar", ""},
        {"", "ana", "Senha", "\n\n\x1b", "SenhaSenha", ""},  // Enter does nothing while empty
    };
    for (const auto& c : cases) {
        TSignInDialog dialog("127.0.0.1:8427", c.reason, c.known);
        QString focus;
        QString visited;
        QTimer::singleShot(0, [&] {
            focus = FocusOf(dialog);
            EXPECT_EQ(dialog.windowTitle(), "Entrar");
            EXPECT_EQ(dialog.ReasonLabel()->isVisibleTo(&dialog), *c.reason != '\0');
            EXPECT_EQ(dialog.ReasonLabel()->text(), c.reason);
            EXPECT_EQ(dialog.PasswordBox()->echoMode(), QLineEdit::Password);
            for (QChar key : QString::fromUtf8(c.keys)) {
                Type(dialog, QString(key));
                if ((key == '\t' || key == '\n') && dialog.isVisible()) visited += FocusOf(dialog);
            }
        });
        auto given = dialog.Run();
        EXPECT_EQ(focus, c.focus) << c.keys;
        EXPECT_EQ(visited, c.visited) << c.keys;
        EXPECT_EQ(given ? given->User() + ":" + given->Password() : "", c.signedIn) << c.keys;
        EXPECT_EQ(dialog.PasswordBox()->text(), "");
    }
}

// Plays one step per sign-in dialog as each appears, and cancels any beyond the script.
class DialogDriver : public QObject {
  public:
    using Step = std::function<void(TSignInDialog&)>;
    explicit DialogDriver(std::deque<Step> steps) : m_steps(std::move(steps)) {
        connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
        m_timer.start(5);
    }
    bool done() const { return m_steps.empty(); }

  private:
    void Poll() {
        auto* dialog = qobject_cast<TSignInDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || dialog == m_last) return;
        m_last = dialog;
        if (m_steps.empty()) {
            ADD_FAILURE() << "sign-in asked once more than scripted";
            dialog->reject();
            return;
        }
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        step(*dialog);
    }

    std::deque<Step> m_steps;
    QTimer m_timer;
    QPointer<TSignInDialog> m_last;
};

class SignInTest : public ::testing::Test {
  protected:
    SignInTest() {
        THostConfig config;
        config.Tls = true;
        config.CaFile = certificates.authority().certificate;
        Application().SetConfig(config);
        InstallWaitPump();
        InstallSignIn();
    }
    ~SignInTest() override {
        Application().SetConfig(THostConfig{});
        TNetConnection::SetSignInHook(nullptr);
        TNetConnection::SetWaitPump(nullptr);
        DeactiveShowAvi();
    }

    // Opens a connection with the busy animation up, as a screen does; "" or the error's text.
    std::string Connect(TNetConnection& net) {
        net.ServerName = "VLP27000.rdmSugestaoProd";
        net.Host = "localhost";
        net.Port = server.port();
        ActiveShowAvi(nullptr, aviConnecting, "Conectando...");
        try {
            net.SetConnected(true);
        } catch (const EDatabaseError& e) {
            return e.what();
        }
        return {};
    }

    testing_tls::TestCertificates certificates;
    testing_tls::PemFiles served = certificates.server("localhost");
    LoopbackAppServer server{LoopbackOptions{
        served.certificate, served.key, {{"ana", "certa", true}}, std::chrono::milliseconds(0)}};
};

TEST_F(SignInTest, WrongThenRightSignsInAndTheNameIsOfferedNextTime) {
    ASSERT_TRUE(server.ok());
    auto expect = [](const char* reason, const char* name, const char* focus, QString keys) {
        return [=](TSignInDialog& dialog) {
            EXPECT_FALSE(AviShowing());  // the user answers, not the server
            EXPECT_EQ(dialog.ReasonLabel()->text(), reason);
            EXPECT_EQ(dialog.UserBox()->text(), name);
            EXPECT_EQ(FocusOf(dialog), focus);
            Type(dialog, keys);
        };
    };
    {
        DialogDriver driver(
            {expect("Este servidor exige usuário e senha.", "", "Usuário", "ana\terrada\n"),
             expect("Usuário ou senha incorretos.", "ana", "Senha", "certa\n")});
        TNetConnection net;
        EXPECT_EQ(Connect(net), "");
        EXPECT_TRUE(driver.done());
        EXPECT_TRUE(net.Connected());
        EXPECT_TRUE(net.AppServer().Call("GetGrupSegProd", {}).Ok);
        EXPECT_TRUE(AviShowing());  // back up for the rest of the call
        EXPECT_EQ(AviKind(), aviConnecting);
    }
    DialogDriver driver({expect("Este servidor exige usuário e senha.", "ana", "Senha", "\x1b")});
    TNetConnection another;
    EXPECT_EQ(Connect(another), "Este servidor exige usuário e senha.");
    EXPECT_TRUE(driver.done());
    EXPECT_FALSE(another.Connected());
    EXPECT_EQ(server.calls(), "groups()\n");
}

}  // namespace
