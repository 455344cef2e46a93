#pragma once
// Reads a UTF-8 text file whole, for an import: the size is checked against the limit before a
// byte is read, the reading shows a progress bar once it takes a while (its Cancelar stops it)
// and the text must be valid UTF-8 (a byte-order mark passes through). UI thread only.

#include <cstddef>
#include <optional>
#include <string>

#include "framework/ETextFileError.h"

// The file's text; nullopt when the user cancelled the reading. Throws ETextFileError when the
// file is missing or unreadable, larger than maxBytes, or not UTF-8 (naming the line).
std::optional<std::string> ReadTextFile(const std::string& path, std::size_t maxBytes);

// "1,5 MiB": a size as users read it.
std::string SizeText(std::size_t bytes);
