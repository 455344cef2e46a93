#include "HostConfigFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

QString defaultHostConfigPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(folder).filePath(QStringLiteral("vlp/vlp-host.ini"));
}

HostConfigResult loadHostConfig(const QString& path) {
    HostConfigResult result;
    QFileInfo info(path);
    if (!info.exists()) {
        result.problems << QStringLiteral(
                               "Arquivo de configuração não encontrado: %1. "
                               "Usando os valores padrão.")
                               .arg(path);
        return result;
    }
    if (!info.isReadable() || !info.isFile()) {
        result.problems << QStringLiteral(
                               "Não foi possível ler o arquivo de configuração %1. "
                               "Usando os valores padrão.")
                               .arg(path);
        return result;
    }
    QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) {
        result.problems << QStringLiteral(
                               "O arquivo de configuração %1 está com erro de formato. "
                               "Usando os valores padrão.")
                               .arg(path);
        return result;
    }

    THostConfig& config = result.config;
    QString url = ini.value(QStringLiteral("Server/WebURL")).toString().trimmed();
    if (!url.isEmpty()) config.WebURL = url.toStdString();
    QVariant portValue = ini.value(QStringLiteral("Server/WebPort"));
    if (portValue.isValid()) {
        bool ok = false;
        int port = portValue.toString().trimmed().toInt(&ok);
        if (ok && port >= 1 && port <= 65535) {
            config.WebPort = port;
        } else {
            result.problems << QStringLiteral(
                                   "WebPort inválido em %1: \"%2\" (esperado um número "
                                   "de 1 a 65535). Usando %3.")
                                   .arg(path, portValue.toString())
                                   .arg(config.WebPort);
        }
    }
    ini.beginGroup(QStringLiteral("Masks"));
    for (const QString& key : ini.childKeys()) {
        bool ok = false;
        int type = key.startsWith(QStringLiteral("DBPict")) ? key.mid(6).toInt(&ok) : -1;
        if (!ok || type < 0) {
            result.problems
                << QStringLiteral("Chave desconhecida [Masks] %1 em %2; ignorada.").arg(key, path);
            continue;
        }
        config.Pictures[type] = ini.value(key).toString().toStdString();
    }
    ini.endGroup();
    ini.beginGroup(QStringLiteral("Modules"));
    for (const QString& key : ini.childKeys())
        config.Modules[key.toStdString()] = ini.value(key).toString().toStdString();
    ini.endGroup();
    return result;
}
