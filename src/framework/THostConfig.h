#pragma once
// The host client's configuration as screens see it. The host fills it at start (from its INI
// file); tests assign it directly through Application().SetConfig.

#include <map>
#include <string>

#include "wire/DefaultAddress.h"

struct THostConfig {
    // The application server; by default, where it listens by default.
    std::string WebURL{wire::kDefaultHost};
    int WebPort = wire::kDefaultPort;
    // TLS to the application server, verified against the authorities of CaFile (a PEM file) or,
    // without it, the system's.
    bool Tls = false;
    std::string CaFile;
    // Edit masks by picture type (Qt input-mask syntax); type 0 is the product-tree code.
    std::map<int, std::string> Pictures{{0, "9.99.999.9999;_"}};
    // Module paths by screen code ("VLP27000"); empty means the default place.
    std::map<std::string, std::string> Modules;
};

// Server host name and port of the current configuration.
std::string WebURL();
int WebPort();
// Edit mask of a picture type; "" (no mask) for an unknown type.
std::string DBPict(int pictureType);
