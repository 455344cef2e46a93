#pragma once
// The bulk files of the import's tests and benchmarks: a catalogue of groups * mains + related
// products, and a suggestions file of groups * mains * related lines where every group lists its
// own main products, each with the same related products.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

struct BulkSuggestionFiles {
    int groups = 100, mains = 10, related = 100;

    static std::string treeCode(int n) {
        char text[16];
        std::snprintf(text, sizeof text, "9.%02d.%03d.%04d", n / 1000 % 100, n / 100 % 10,
                      n % 10000);
        return text;
    }
    static std::string tenDigits(int n) {
        char text[16];
        std::snprintf(text, sizeof text, "%010d", n);
        return text;
    }
    static constexpr const char* kHeader =
        "grupo;nome_grupo;ordem;principal;quant_principal;total_principal;relacionado;"
        "quant_relacionado;total_relacionado\r\n";

    constexpr long lines() const { return static_cast<long>(groups) * mains * related; }

    void writeProducts(const std::filesystem::path& path) const {
        std::ofstream out(path, std::ios::binary);
        out << "produto;arvore;nome\r\n";
        for (int p = 1; p <= groups * mains + related; ++p)
            out << tenDigits(p) << ';' << treeCode(p) << ";Produto " << p << "\r\n";
    }
    void writeSuggestions(const std::filesystem::path& path) const {
        std::ofstream out(path, std::ios::binary);
        out << kHeader;
        for (int g = 1; g <= groups; ++g)
            for (int m = 0; m < mains; ++m)
                for (int r = 1; r <= related; ++r)
                    out << tenDigits(g) << ";Grupo " << g << ';' << g << ';'
                        << treeCode((g - 1) * mains + m + 1) << ";S;N;"
                        << treeCode(groups * mains + r) << ";N;S\r\n";
    }
};
