#include "framework/WriteLinesFile.h"

#include <QSaveFile>

#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TField.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string_view WithoutLineEnd(std::string_view line) {
    if (line.ends_with('\n')) line.remove_suffix(1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    return line;
}

[[noreturn]] void Refuse(const std::string& path, const QSaveFile& file) {
    throw ETextFileError(
        "Não foi possível gravar o arquivo \"" + path + "\": " + file.errorString().toStdString() +
        ". Nada foi gravado; escolha outra pasta ou libere espaço e tente de novo.");
}

}  // namespace

std::size_t WriteLinesFile(const std::string& path, const TClientDataSet& rows,
                           std::string_view field) {
    const int column = rows.FieldByName(field).Index();
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) Refuse(path, file);
    std::string buffer;
    const int count = rows.Active() ? rows.RecordCount() : 0;
    for (int row = 0; row < count; ++row) {
        buffer += WithoutLineEnd(rows.ValueAt(row, column).value_or(""));
        buffer += kLineEnd;
        if (buffer.size() >= (1u << 20) || row + 1 == count) {
            if (file.write(buffer.data(), qint64(buffer.size())) != qint64(buffer.size()))
                Refuse(path, file);
            buffer.clear();
        }
    }
    if (!file.commit()) Refuse(path, file);
    return std::size_t(count);
}
