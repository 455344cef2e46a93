#pragma once
// The suggestions' CSV lines as the server exports them, for tests that edit a file before
// importing it: fields by position, lines joined with CRLF, the file written.

#include <gtest/gtest.h>

#include <QFile>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.emplace_back();
    return parts;
}

inline std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// Columns of a suggestions line (grupo;nome_grupo;ordem;principal;...).
enum { kGroup = 0, kMain = 3, kRelated = 6, kRelatedQuantity = 7 };

inline std::string WithField(const std::string& line, int field, const std::string& value) {
    std::vector<std::string> fields = Split(line, ';');
    fields.at(std::size_t(field)) = value;
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) out += (i ? ";" : "") + fields[i];
    return out;
}

inline std::string Field(const std::string& line, int field) {
    return Split(line, ';').at(std::size_t(field));
}

// The first data line's related "Quantidade" switched.
inline std::vector<std::string> FlagSwitched(std::vector<std::string> lines) {
    std::string& line = lines.at(1);
    line = WithField(line, kRelatedQuantity, Field(line, kRelatedQuantity) == "S" ? "N" : "S");
    return lines;
}

inline void WriteTextFile(const std::string& path, const std::string& text) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.data(), qint64(text.size()));
}
