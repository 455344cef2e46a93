#pragma once
// Writes a record set's rows as the lines of a text file, for an export: one field's value per
// line, each ended by CRLF (as spreadsheets expect, and as the server's own CSV files end their
// records). The file is written whole or not at all: into a temporary file beside it, renamed
// over it once complete, so a failure never leaves half a file where a whole one was. UI thread.

#include <cstddef>
#include <string>
#include <string_view>

#include "framework/ETextFileError.h"

class TClientDataSet;

// The lines written; throws ETextFileError when the file cannot be written (nothing changes then).
// A value that already ends in CRLF or LF is not ended twice; a null value is an empty line.
std::size_t WriteLinesFile(const std::string& path, const TClientDataSet& rows,
                           std::string_view field);
