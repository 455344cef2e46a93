#include "framework/ReadTextFile.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QUtf8StringView>
#include <string_view>

namespace {

constexpr qint64 kChunk = 1 << 20;
constexpr int kProgressAfterMs = 400;  // a quick read shows no progress bar at all

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// The 1-based line of the first byte that is not UTF-8, 0 when the text is valid. '\n' never
// appears inside a UTF-8 sequence, so lines can be checked one by one.
std::size_t FirstBadLine(std::string_view text) {
    if (QUtf8StringView(text.data(), qsizetype(text.size())).isValidUtf8()) return 0;
    std::size_t line = 1;
    for (std::size_t start = 0; start <= text.size(); ++line) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view piece = text.substr(start, end - start);
        if (!QUtf8StringView(piece.data(), qsizetype(piece.size())).isValidUtf8()) return line;
        start = end + 1;
    }
    return line;
}

}  // namespace

std::string SizeText(std::size_t bytes) {
    const double mib = double(bytes) / (1024.0 * 1024.0);
    QString text = mib >= 1.0 ? QString::number(mib, 'f', 1) + QStringLiteral(" MiB")
                              : QString::number((bytes + 1023) / 1024) + QStringLiteral(" KiB");
    return text.replace(QLatin1Char('.'), QLatin1Char(',')).toStdString();
}

std::optional<std::string> ReadTextFile(const std::string& path, std::size_t maxBytes) {
    const QString name = QString::fromStdString(path);
    const QFileInfo info(name);
    if (!info.exists() || !info.isFile())
        throw ETextFileError("O arquivo " + Quoted(path) + " não existe.");
    const auto size = static_cast<std::size_t>(info.size());
    if (size > maxBytes)
        throw ETextFileError("O arquivo " + Quoted(path) + " tem " + SizeText(size) +
                             "; o limite é " + SizeText(maxBytes) +
                             ". Divida-o em arquivos menores.");
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw ETextFileError("Não foi possível ler o arquivo " + Quoted(path) + ": " +
                             file.errorString().toStdString());

    QProgressDialog progress(QStringLiteral("Lendo %1…").arg(info.fileName()),
                             QStringLiteral("Cancelar"), 0, 1000, QApplication::activeWindow());
    progress.setWindowTitle(QStringLiteral("Importar"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressAfterMs);
    progress.setValue(0);

    std::string text;
    text.reserve(size);
    for (;;) {
        const std::size_t before = text.size();
        text.resize(before + kChunk);
        const qint64 got = file.read(text.data() + before, kChunk);
        if (got < 0)
            throw ETextFileError("Não foi possível ler o arquivo " + Quoted(path) + ": " +
                                 file.errorString().toStdString());
        text.resize(before + std::size_t(got));
        if (got == 0 || text.size() > maxBytes) break;
        if (size > 0)
            progress.setValue(int(std::min<std::size_t>(1000, text.size() * 1000 / size)));
        if (progress.wasCanceled()) return std::nullopt;
    }
    progress.reset();
    // The file may have grown since its size was checked.
    if (text.size() > maxBytes)
        throw ETextFileError("O arquivo " + Quoted(path) + " passa de " + SizeText(maxBytes) +
                             ", o limite. Divida-o em arquivos menores.");
    if (std::size_t line = FirstBadLine(text))
        throw ETextFileError("O arquivo " + Quoted(path) + " não está em UTF-8 (linha " +
                             std::to_string(line) +
                             "). Salve-o como \"CSV UTF-8\" na planilha e tente de novo.");
    return text;
}
