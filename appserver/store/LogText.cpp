#include "store/LogText.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>

namespace appserver {
namespace {

struct Range {
    char32_t first, last;
};

// C0, DEL and C1, then the line and paragraph separators and the format characters (general
// category Cf, bidirectional controls among them), in code point order.
constexpr Range kEscaped[] = {
    {0x0000, 0x001F},   {0x005C, 0x005C},   {0x007F, 0x009F},   {0x00AD, 0x00AD},
    {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},
    {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},   {0x200B, 0x200F},
    {0x2028, 0x202E},   {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},
    {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F},
    {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001}, {0xE0020, 0xE007F},
};

bool escaped(char32_t c) {
    auto it = std::upper_bound(std::begin(kEscaped), std::end(kEscaped), c,
                               [](char32_t v, const Range& r) { return v < r.first; });
    return it != std::begin(kEscaped) && c <= std::prev(it)->last;
}

// The code point starting text[at] and its length in bytes; length 0 when the bytes there are
// not UTF-8 (overlong forms, surrogates and values past U+10FFFF included).
std::pair<char32_t, std::size_t> decode(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[at + i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) return {lead, 1};
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size()) return {0, 0};
    char32_t c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return {0, 0};
        c = (c << 6) | (byte(i) & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {0, 0};
    return {c, length};
}

void appendEscape(std::string& out, const char* form, unsigned value) {
    char buffer[16];
    const int n = std::snprintf(buffer, sizeof buffer, form, value);
    out.append(buffer, static_cast<std::size_t>(n));
}

}  // namespace

std::string escapeForLog(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        auto [c, length] = decode(text, at);
        if (length == 0) {
            appendEscape(out, "\\x{%x}", static_cast<std::uint8_t>(text[at]));
            ++at;
            continue;
        }
        if (escaped(c))
            appendEscape(out, "\\u{%x}", static_cast<unsigned>(c));
        else
            out.append(text.substr(at, length));
        at += length;
    }
    return out;
}

}  // namespace appserver
