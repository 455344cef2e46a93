#include "ProductPacket.h"

#include <cstdio>

#include "wire/FieldDef.h"
#include "wire/PacketWriter.h"

namespace {

const char* const kWords[] = {"Sabão",     "em",        "pó",        "concentrado", "lavanda",
                              "embalagem", "econômica", "Açúcar",    "cristal",     "orgânico",
                              "Café",      "torrado",   "moído",     "extraforte",  "Pão",
                              "de",        "queijo",    "congelado", "Feijão",      "carioca",
                              "tipo",      "Macarrão",  "espaguete", "grano",       "duro",
                              "Óleo",      "soja",      "refinado",  "Sugestão",    "promoção"};
constexpr int kWordCount = sizeof kWords / sizeof kWords[0];

// Exactly `chars` characters of words, cutting the last one on a character boundary.
std::string text(unsigned seed, std::size_t chars) {
    std::string out;
    while (wire::utf8Length(out) < chars) {
        seed = seed * 1103515245u + 12345u;
        if (!out.empty()) out += ' ';
        out += kWords[(seed >> 16) % kWordCount];
    }
    while (wire::utf8Length(out) > chars) {
        out.pop_back();
        while (!out.empty() && (static_cast<unsigned char>(out.back()) & 0xC0) == 0x80)
            out.pop_back();
        if (!out.empty() && (static_cast<unsigned char>(out.back()) & 0xC0) == 0xC0) out.pop_back();
    }
    return out;
}

TFieldDef def(const char* name, int size) { return {name, size, "", 0, true}; }

}  // namespace

std::vector<TFieldDef> productFieldDefs() {
    return {def("CDPRODUTO", 10), def("CDARVPROD", 20), def("NMPRODUTO", 50)};
}

std::string productTreeCode(int row) {
    char code[32];
    std::snprintf(code, sizeof code, "%d.%02d.%03d.%04d.%06d", 1 + row % 9, row % 97, row % 991,
                  row % 9973, row % 1000000);
    return code;
}

std::string productPacket(int rows) {
    std::string out;
    wire::PacketWriter writer(out);
    writer.onFields({{"CDPRODUTO", 10}, {"CDARVPROD", 20}, {"NMPRODUTO", 50}});
    char code[16];
    for (int row = 0; row < rows; ++row) {
        std::snprintf(code, sizeof code, "%010d", row);
        const std::string tree = productTreeCode(row);
        const std::string name = text(static_cast<unsigned>(row), 50);
        const wire::ValueView values[] = {std::string_view(code), std::string_view(tree),
                                          std::string_view(name)};
        writer.onRow(values);
    }
    writer.finish();
    return out;
}
