#include "store/TextKeys.h"

namespace appserver {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string nameKey(std::string_view name) {
    std::string key(trimBlanks(name));
    for (std::size_t i = 0; i < key.size(); ++i) {
        auto c = static_cast<unsigned char>(key[i]);
        if (c >= 'A' && c <= 'Z') {
            key[i] = static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < key.size()) {
            // U+00C0..U+00DE are 0xC3 0x80..0x9E in UTF-8; the small letter is 0x20 further on.
            // U+00D7 (multiplication sign) has no small form.
            auto next = static_cast<unsigned char>(key[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97)
                key[i + 1] = static_cast<char>(next + 0x20);
            ++i;
        }
    }
    return key;
}

std::string treeDigits(std::string_view treeCode) {
    std::string digits;
    digits.reserve(treeCode.size());
    for (char c : treeCode) {
        if (c >= '0' && c <= '9') digits.push_back(c);
    }
    return digits;
}

}  // namespace appserver
