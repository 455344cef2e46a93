#pragma once
// Reads the host configuration from INI files:
//   [Server]  WebURL, WebPort (1..65535) (default: where the server listens by default,
//             wire/DefaultAddress.h), Tls (1/0, sim/não, true/false; default off), CaFile (PEM
//             file of the authorities to trust, relative to the configuration file's folder;
//             default: the system's)
//   [Masks]   DBPict0 (default "9.99.999.9999;_"), DBPict1, ... (Qt input masks)
//   [Modules] VLP27000 (path of the module library; default beside the program)
// Section and key names ignore case; ';' or '#' at a line's start is a comment; values may be
// quoted. Never fails: a missing, unreadable or broken file, a malformed line or a bad value gives
// the default for what is missing and one message per problem, in Portuguese, for the user.

#include <QString>
#include <QStringList>

#include "framework/THostConfig.h"

struct HostConfigResult {
    THostConfig config;
    QStringList problems;
};

// Reads path over base: what the file sets replaces base's value, the rest stays.
HostConfigResult loadHostConfig(const QString& path, const THostConfig& base = {});

// Without --config: the machine-wide file, when present, under the user's, when present; only
// when neither is there is the absence reported, naming the user's file.
HostConfigResult loadDefaultHostConfig(const QString& machinePath, const QString& userPath);

// vlp-host.ini in the user's configuration folder.
QString defaultHostConfigPath();
// The machine-wide configuration the package installs, /etc/vlp/vlp-host.ini.
QString machineHostConfigPath();
