#include "HostApplication.h"

#include <QLocale>

#include "framework/StdDialogs.h"

HostApplication::HostApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("vlp-host"));
    setOrganizationName(QStringLiteral("vlp"));
    // Numbers and dates as the users read them ("4.721 registros"), whatever the machine's locale.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
}

bool HostApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(std::current_exception());
        return true;
    }
}
