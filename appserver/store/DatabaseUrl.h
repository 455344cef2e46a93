#pragma once
// Database addresses as people may see them: the passwords a URL carries ("user:password@" and
// "password=" among its parameters) never appear in a message or a log.

#include <string>
#include <string_view>

namespace appserver {

// text with every occurrence of a password of url replaced by "***"; hidePasswords(url, url) is
// the URL to show.
std::string hidePasswords(std::string text, std::string_view url);

}  // namespace appserver
