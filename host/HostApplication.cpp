#include "HostApplication.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "framework/StdDialogs.h"

HostApplication::HostApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("vlp-host"));
    setOrganizationName(QStringLiteral("vlp"));
    // Numbers and dates as the users read them ("4.721 registros"), whatever the machine's locale.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    // The toolkit's own texts (the standard file dialogs, "Cancelar" on standard buttons) in
    // Portuguese too; without the translations installed they stay in English.
    auto* toolkit = new QTranslator(this);
    if (toolkit->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(toolkit);
}

bool HostApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(std::current_exception());
        return true;
    }
}
