#pragma once
// A configuration file of "key = value" lines, as vlp-appserver reads it with --config. Blank
// lines and lines whose first character (after spaces) is '#' or ';' are ignored; spaces around
// the key and the value are dropped; a value may hold '=', '#' and spaces. Each setting goes to a
// taker that knows the keys; the first refusal, its own (a line without '=', a key given twice, a
// file that cannot be read or is not UTF-8) or the taker's (an unknown key, a bad value), stops
// the reading and comes back as "FILE:LINE: reason", in Portuguese. Never throws or prints.

#include <functional>
#include <string>
#include <string_view>

namespace appserver {

class ConfigFile {
  public:
    // Takes one setting; returns a refusal, empty when it was taken.
    using TakeSetting = std::function<std::string(std::string_view key, std::string_view value)>;

    // Reads the file at path; empty when every setting was taken.
    static std::string read(const std::string& path, const TakeSetting& take);
    // The same over text already read; name stands for the file in refusals.
    static std::string parse(std::string_view text, std::string_view name, const TakeSetting& take);
};

}  // namespace appserver
