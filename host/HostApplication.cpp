#include "HostApplication.h"

#include "StdDialogs.h"

HostApplication::HostApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("vlp-host"));
    setOrganizationName(QStringLiteral("vlp"));
}

bool HostApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(std::current_exception());
        return true;
    }
}
