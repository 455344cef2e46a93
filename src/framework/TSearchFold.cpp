#include "framework/TSearchFold.h"

namespace SearchFold {

namespace {

// Base letters of U+00C0..U+00FF; the two signs (multiplication, division) stay signs.
constexpr char kLatin1[] =
    "aaaaaaaceeeeiiii"   // C0-CF
    "dnooooo*ouuuuyts"   // D0-DF
    "aaaaaaaceeeeiiii"   // E0-EF
    "dnooooo/ouuuuyty";  // F0-FF

}  // namespace

char32_t FoldChar(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xFF) return static_cast<unsigned char>(kLatin1[c - 0xC0]);
    return c;
}

void AppendFolded(std::string& out, std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(FoldChar(c)));
        } else if (c == 0xC3 && i + 1 < text.size() &&
                   (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            // U+00C0..U+00FF is 0xC3 followed by 0x80..0xBF
            auto second = static_cast<unsigned char>(text[++i]);
            out.push_back(static_cast<char>(FoldChar(0xC0u + (second & 0x3Fu))));
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
}

std::string Fold(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendFolded(out, text);
    return out;
}

}  // namespace SearchFold
