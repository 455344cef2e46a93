// What the log makes of text a client chose: every control and format character escaped, bytes
// that are not UTF-8 shown as bytes, the rest as it came.
#include "store/LogText.h"

#include <gtest/gtest.h>

namespace appserver {
namespace {

TEST(LogText, EscapesControlAndFormatCharactersAndBytesThatAreNotUtf8) {
    const struct {
        std::string text, logged;
    } cases[] = {
        {"GetGrupSegProd ok", "GetGrupSegProd ok"},
        {"Sugestão de inverno € 𝄞", "Sugestão de inverno € 𝄞"},
        {"a\nb\r\tc\x1b[31m\x7f", "a\\u{a}b\\u{d}\\u{9}c\\u{1b}[31m\\u{7f}"},
        {std::string("nul\0x", 5), "nul\\u{0}x"},
        {"\xc2\x85\xc2\x9b\xc2\xa0", "\\u{85}\\u{9b}\xc2\xa0"},  // C1; NBSP is text
        {"a\xe2\x80\xa8"
         "b\xe2\x80\xa9",
         "a\\u{2028}b\\u{2029}"},  // separators
        {"\xe2\x80\xaa\xe2\x80\xae\xe2\x81\xa6\xe2\x81\xa9",
         "\\u{202a}\\u{202e}\\u{2066}\\u{2069}"},
        {"\xe2\x80\x8b\xe2\x80\x8f\xef\xbb\xbf\xc2\xad\xd8\x9c",
         "\\u{200b}\\u{200f}\\u{feff}\\u{ad}\\u{61c}"},
        {"\xf3\xa0\x80\x81\xf3\xa0\x81\xbf", "\\u{e0001}\\u{e007f}"},  // tags
        {"C:\\u{41}", "C:\\u{5c}u{41}"},                               // no forged escape
        {"\xff\xc3(", "\\x{ff}\\x{c3}("},                              // not UTF-8
        {"\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80",
         "\\x{c0}\\x{af}\\x{ed}\\x{a0}\\x{80}\\x{f4}\\x{90}\\x{80}\\x{80}"},
        {"fim\xe2\x80", "fim\\x{e2}\\x{80}"},  // cut short
    };
    for (const auto& c : cases) EXPECT_EQ(escapeForLog(c.text), c.logged) << c.text;
}

}  // namespace
}  // namespace appserver
