#pragma once
// Data packets of the screen's lists for tests and benchmarks.

#include <string>

// n groups "0000000001".."n" named "Grupo 1".. with order i.
inline std::string GroupsPacket(int n) {
    std::string json =
        R"({"fields":[{"name":"CDGRUSUGESPROD","size":10},{"name":"NMGRUSUGESPROD","size":40},)"
        R"({"name":"NRORDEM","size":4}],"rows":[)";
    for (int i = 1; i <= n; ++i) {
        std::string code = std::to_string(i);
        code.insert(0, 10 - code.size(), '0');
        if (i > 1) json += ',';
        json += "[\"" + code + "\",\"Grupo " + std::to_string(i) + "\",\"" +
                std::to_string(i % 10000) + "\"]";
    }
    return json + "]}";
}
