// Writes the configuration file the vlp-appserver package installs, from the server's own option
// table: vlp-appserver-conf OUTPUT [KEY=VALUE...], each KEY=VALUE a line in force.
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <string_view>

#include "rpc/ServerOptions.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "uso: vlp-appserver-conf SAÍDA [CHAVE=VALOR...]\n";
        return 2;
    }
    std::map<std::string, std::string, std::less<>> settings;
    for (int i = 2; i < argc; ++i) {
        const std::string_view setting = argv[i];
        const auto equals = setting.find('=');
        if (equals == std::string_view::npos) {
            std::cerr << "vlp-appserver-conf: falta = em \"" << setting << "\"\n";
            return 2;
        }
        settings.emplace(setting.substr(0, equals), setting.substr(equals + 1));
    }
    const std::string text = appserver::optionsFile(settings);
    for (const auto& [key, value] : settings)
        if (text.find("\n" + key + " = ") == std::string::npos) {
            std::cerr << "vlp-appserver-conf: opção desconhecida: " << key << "\n";
            return 2;
        }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "vlp-appserver-conf: não foi possível gravar " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
