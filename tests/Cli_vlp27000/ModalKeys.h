#pragma once
// Answers the modal dialogs of a user's path as each appears, with real keys typed into the
// dialog's focused widget. Each step first lets the test look at the dialog, then types its words
// (as QKeySequence spells them: "Down Return", "Alt+S Return", "Escape"), and a dialog those keys
// open is answered by the next step. A dialog beyond the script fails the test and is cancelled,
// so that nothing hangs. Progress dialogs are left alone.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <sstream>
#include <string>

class ModalKeys : public QObject {
  public:
    struct TStep {
        std::string keys;
        std::function<void(QDialog&)> look;  // may be empty
    };
    explicit ModalKeys(std::deque<TStep> steps);
    ModalKeys(const ModalKeys&) = delete;
    ModalKeys& operator=(const ModalKeys&) = delete;

    std::size_t Left() const { return m_steps.size(); }  // steps no dialog came for

    // Types the words into whatever has the dialog's focus.
    static void Type(QDialog& dialog, const std::string& keys);

  private:
    void Poll();

    std::deque<TStep> m_steps;
    QTimer m_timer;
    QPointer<QDialog> m_last;
};

inline ModalKeys::ModalKeys(std::deque<TStep> steps) : m_steps(std::move(steps)) {
    connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
    m_timer.start(5);
}

inline void ModalKeys::Poll() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible() || dialog == m_last ||
        qobject_cast<QProgressDialog*>(dialog))
        return;
    m_last = dialog;
    if (m_steps.empty()) {
        ADD_FAILURE() << "a dialog the script did not expect: "
                      << dialog->windowTitle().toStdString();
        dialog->reject();
        return;
    }
    // Typed from a call of its own: a key that opens a dialog inside this one runs a nested
    // loop, in which this poll (a timer never re-entered) must go on answering.
    QTimer::singleShot(0, this, [step = std::move(m_steps.front()), shown = QPointer(dialog)] {
        if (!shown) return;
        if (step.look) step.look(*shown);
        if (shown) Type(*shown, step.keys);
    });
    m_steps.pop_front();
}

inline void ModalKeys::Type(QDialog& dialog, const std::string& keys) {
    // The arrows move among a dialog's buttons through the application's focus: the window must
    // be active first, as it is for a person looking at it.
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog)) << dialog.windowTitle().toStdString();
    std::istringstream words(keys);
    QPointer<QDialog> alive = &dialog;
    for (std::string word; words >> word && alive && alive->isVisible();) {
        const QKeySequence key = QKeySequence::fromString(QString::fromStdString(word));
        ASSERT_FALSE(key.isEmpty()) << "unknown key " << word;
        QWidget* target = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
        QTest::keyClick(target, key[0].key(), key[0].keyboardModifiers());
        // A mnemonic clicks its button a moment later, as a person sees it pressed.
        if (key[0].keyboardModifiers() & Qt::AltModifier) QTest::qWait(150);
        QApplication::processEvents();
    }
}
