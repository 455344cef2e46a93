#include "framework/SignIn.h"

#include <QApplication>
#include <QThread>

#include "framework/BusyAnimation.h"
#include "framework/TDialogs.h"
#include "dataaccess/TNetConnection.h"

namespace {

// The name is remembered for the session; the password never.
std::string g_sessionUser;

// Takes down what says "wait for the server" for as long as the user is asked.
class TUserTurn {
  public:
    TUserTurn() : m_busy(AviShowing()), m_kind(AviKind()), m_caption(AviCaption()) {
        DeactiveShowAvi();
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~TUserTurn() {
        QApplication::restoreOverrideCursor();
        if (m_busy) ActiveShowAvi(nullptr, m_kind, m_caption);
    }
    TUserTurn(const TUserTurn&) = delete;
    TUserTurn& operator=(const TUserTurn&) = delete;

  private:
    bool m_busy;
    int m_kind;
    std::string m_caption;
};

}  // namespace

std::optional<TCredentials> AskSignIn(const TSignInRequest& request) {
    // A connection used off the UI thread cannot show a dialog: its refusal stands.
    if (!qApp || QThread::currentThread() != qApp->thread()) return std::nullopt;
    TSignInRequest asked = request;
    if (asked.UserName.empty()) asked.UserName = g_sessionUser;
    std::optional<TCredentials> given;
    {
        TUserTurn turn;
        given = Dialogs().SignIn(asked);
    }
    if (given) g_sessionUser = given->User();
    return given;
}

void InstallSignIn() { TNetConnection::SetSignInHook(&AskSignIn); }
