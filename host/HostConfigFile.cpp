#include "HostConfigFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStandardPaths>
#include <QStringDecoder>
#include <optional>

QString defaultHostConfigPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(folder).filePath(QStringLiteral("vlp/vlp-host.ini"));
}

QString machineHostConfigPath() { return QStringLiteral("/etc/vlp/vlp-host.ini"); }

HostConfigResult loadDefaultHostConfig(const QString& machinePath, const QString& userPath) {
    if (!QFileInfo::exists(machinePath)) return loadHostConfig(userPath);
    HostConfigResult machine = loadHostConfig(machinePath);
    if (!QFileInfo::exists(userPath)) return machine;
    HostConfigResult user = loadHostConfig(userPath, machine.config);
    user.problems = machine.problems + user.problems;
    return user;
}

namespace {

// key -> value per section, names compared without case.
using IniSections = QMap<QString, QMap<QString, QString>>;

// A plain INI reader: QSettings would cut "9.99.999.9999;_" at the ';' (its comment mark) and
// says nothing about malformed lines. Here ';' and '#' start a comment only at a line's start,
// a value may be quoted, and each malformed line is reported.
IniSections parseIni(const QByteArray& bytes, const QString& path, QStringList& problems) {
    IniSections sections;
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(bytes);
    if (decoder.hasError()) {
        problems << QStringLiteral(
                        "O arquivo de configuração %1 não está em UTF-8; "
                        "usando os valores padrão.")
                        .arg(path);
        return sections;
    }
    QString section;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')) &&
            line.size() > 2) {
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            continue;
        }
        int equals = line.indexOf(QLatin1Char('='));
        QString key = equals > 0 ? line.left(equals).trimmed() : QString();
        if (key.isEmpty() || section.isEmpty()) {
            problems << QStringLiteral("Linha %1 de %2 não foi entendida e foi ignorada: \"%3\".")
                            .arg(i + 1)
                            .arg(path, line.left(60));
            continue;
        }
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
            value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        sections[section].insert(key.toLower(), value);
    }
    return sections;
}

// A yes-or-no value as people write it; nullopt for anything else.
std::optional<bool> parseSwitch(const QString& text) {
    static const QStringList on = {QStringLiteral("1"), QStringLiteral("sim"),
                                   QStringLiteral("true")};
    static const QStringList off = {QStringLiteral("0"), QStringLiteral("não"),
                                    QStringLiteral("false")};
    if (on.contains(text, Qt::CaseInsensitive)) return true;
    if (off.contains(text, Qt::CaseInsensitive)) return false;
    return std::nullopt;
}

void readTls(const QMap<QString, QString>& server, const QString& path, THostConfig& config,
             QStringList& problems) {
    if (server.contains(QStringLiteral("tls"))) {
        const QString text = server.value(QStringLiteral("tls"));
        if (auto tls = parseSwitch(text)) {
            config.Tls = *tls;
        } else {
            problems << QStringLiteral(
                            "Tls inválido em %1: \"%2\" (esperado 1 ou 0, sim ou não, true ou "
                            "false). Usando 0 (sem TLS).")
                            .arg(path, text);
        }
    }
    const QString caFile = server.value(QStringLiteral("cafile"));
    if (caFile.isEmpty()) return;
    const QString resolved = QFileInfo(path).absoluteDir().absoluteFilePath(caFile);
    if (!QFileInfo(resolved).isFile()) {
        problems << QStringLiteral(
                        "CaFile não encontrado em %1: \"%2\". Usando as autoridades "
                        "certificadoras do sistema.")
                        .arg(path, resolved);
        return;
    }
    config.CaFile = QFile::encodeName(resolved).toStdString();
}

}  // namespace

HostConfigResult loadHostConfig(const QString& path, const THostConfig& base) {
    HostConfigResult result{base, {}};
    QFileInfo info(path);
    if (!info.exists()) {
        result.problems << QStringLiteral(
                               "Arquivo de configuração não encontrado: %1. "
                               "Usando os valores padrão.")
                               .arg(path);
        return result;
    }
    QFile file(path);
    if (!info.isFile() || info.size() > 1024 * 1024 || !file.open(QIODevice::ReadOnly)) {
        result.problems << QStringLiteral(
                               "Não foi possível ler o arquivo de configuração %1. "
                               "Usando os valores padrão.")
                               .arg(path);
        return result;
    }
    IniSections ini = parseIni(file.readAll(), path, result.problems);

    THostConfig& config = result.config;
    const auto server = ini.value(QStringLiteral("server"));
    QString url = server.value(QStringLiteral("weburl"));
    if (!url.isEmpty()) config.WebURL = url.toStdString();
    if (server.contains(QStringLiteral("webport"))) {
        QString text = server.value(QStringLiteral("webport"));
        bool ok = false;
        int port = text.toInt(&ok);
        if (ok && port >= 1 && port <= 65535) {
            config.WebPort = port;
        } else {
            result.problems << QStringLiteral(
                                   "WebPort inválido em %1: \"%2\" (esperado um número "
                                   "de 1 a 65535). Usando %3.")
                                   .arg(path, text)
                                   .arg(config.WebPort);
        }
    }
    readTls(server, path, config, result.problems);
    const auto masks = ini.value(QStringLiteral("masks"));
    for (auto it = masks.begin(); it != masks.end(); ++it) {
        bool ok = false;
        int type = it.key().startsWith(QStringLiteral("dbpict")) ? it.key().mid(6).toInt(&ok) : -1;
        if (!ok || type < 0) {
            result.problems << QStringLiteral("Chave desconhecida [Masks] %1 em %2; ignorada.")
                                   .arg(it.key(), path);
            continue;
        }
        config.Pictures[type] = it.value().toStdString();
    }
    const auto modules = ini.value(QStringLiteral("modules"));
    for (auto it = modules.begin(); it != modules.end(); ++it)
        config.Modules[it.key().toUpper().toStdString()] = it.value().toStdString();
    return result;
}
