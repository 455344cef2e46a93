#pragma once
// The host's QApplication with the last-resort exception handler: an exception that escapes any
// event handler is shown in the standard error report (ShowException; a silent abort shows
// nothing) and the event counts as handled, so the program goes on. Numbers, dates and the
// toolkit's own texts are in Brazilian Portuguese.

#include <QApplication>

class HostApplication : public QApplication {
    Q_OBJECT
  public:
    HostApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
