#pragma once
// Opens the real screen against a scriptable in-process app server with scripted dialogs, and
// closes and releases it after each test. The module's start-up and shut-down bracket each test.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>

#include "framework/BusyAnimation.h"
#include "Cli_vlp27000/Cli_vlp27000.h"
#include "Pkg_vlp27000/PackageInfo.h"
#include "Packets.h"
#include "support/Support.h"
#include "framework/TApplication.h"
#include "controls/TDBGrid.h"
#include "support/TScriptedDialogs.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"

class ScreenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Initialize();
        Application().SetConfig(THostConfig{});
        fake.on("GetGrupSegProd").answerPacket(GroupsPacket(3));
        TfrmSugestaoProd::SetTransportFactory([this] { return fake.transport(); });
    }

    void TearDown() override {
        CloseScreen();
        TfrmSugestaoProd::SetTransportFactory(nullptr);
        Finalize();
    }

    TfrmSugestaoProd& Open() {
        Cli_vlp27000::CriaSugestaoProd();
        QApplication::processEvents();
        return *Cli_vlp27000::frmSugestaoProd;
    }

    // Closes as the user does and lets the toolkit release the window.
    void CloseScreen() {
        if (!Cli_vlp27000::boIdCriado) return;
        QPointer<TfrmSugestaoProd> form = Cli_vlp27000::frmSugestaoProd;
        form->Close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }

    // The three group look-ups answer "not found".
    void GroupLookUpsFindNothing() {
        for (const char* lookUp : {"GetVerifGrupo", "GetNmGrupo", "GetVerifOrd"})
            fake.on(lookUp).answerPacket(GroupsPacket(0));
    }

    // The screen with the focus in the group grid and nothing recorded yet.
    TfrmSugestaoProd& OpenOnGroups() {
        TfrmSugestaoProd& f = Open();
        EXPECT_TRUE(FocusOn(f, f.dbgPadrao));
        fake.clearCalls();
        dialogs.Clear();
        return f;
    }

    // Moves the input focus as a click would; returns whether the form now reports it.
    static bool FocusOn(TfrmSugestaoProd& form, QWidget* widget) {
        QApplication::setActiveWindow(widget->window());
        widget->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        return form.ActiveControl() == widget;
    }

    // The calls since the last clearCalls, one line: texts quoted, in/out marked, a change log
    // as "log": GetVerifGrupo("0000000012") SetGrupSegProd(log)
    std::string Calls() const {
        std::string line;
        for (const FakeCall& call : fake.calls()) {
            line += (line.empty() ? "" : " ") + call.method + "(";
            for (std::size_t i = 0; i < call.args.size(); ++i) {
                const wire::Argument& arg = call.args[i];
                line += i ? ", " : "";
                line += arg.kind == wire::ArgKind::Packet ? "log"
                        : arg.kind == wire::ArgKind::TextInOut ? "inout \"" + arg.value + "\""
                                                               : "\"" + arg.value + "\"";
            }
            line += ")";
        }
        return line;
    }

    FakeAppServer fake;
    TScriptedDialogs dialogs;
};
