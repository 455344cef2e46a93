// The files of an import and an export: a file read whole only when it is within the limit and
// UTF-8 (each refusal a Portuguese message naming what is wrong), and lines written with CRLF,
// whole or not at all.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "dataaccess/TClientDataSet.h"
#include "framework/ReadTextFile.h"
#include "framework/WriteLinesFile.h"

namespace {

class TextFiles : public ::testing::Test {
  protected:
    std::string Path(const char* name) { return dir.filePath(name).toStdString(); }
    void Write(const std::string& path, const std::string& bytes) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
    }
    std::string Read(const std::string& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(sem arquivo)";
    }
    QTemporaryDir dir;
};

TEST_F(TextFiles, ReadTakesUtf8WithinTheLimitAndSaysWhyNot) {
    const struct {
        const char* name;
        std::string bytes;  // nullptr-like "-" for no file at all
        std::size_t limit;
        std::string outcome;  // the text, or "erro: <start of the message>"
    } cases[] = {
        {"plain", "grupo;nome\r\n1;Café\r\n", 100, "grupo;nome\r\n1;Café\r\n"},
        {"with a byte-order mark", "\xEF\xBB\xBFgrupo\r\n", 100, "\xEF\xBB\xBFgrupo\r\n"},
        {"empty", "", 100, ""},
        {"at the limit", std::string(10, 'a'), 10, std::string(10, 'a')},
        {"over the limit", std::string(11, 'a'), 10,
         "erro: O arquivo \"%\" tem 1 KiB; o limite é 1 KiB"},
        {"Latin-1 on line 3", "a\nb\nCaf\xE9\nd\n", 100,
         "erro: O arquivo \"%\" não está em UTF-8 (linha 3)"},
        {"a sequence cut at the end", "a\n\xC3", 100,
         "erro: O arquivo \"%\" não está em UTF-8 (linha 2)"},
        {"missing", "-", 100, "erro: O arquivo \"%\" não existe."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Path("entrada.csv");
        QFile::remove(QString::fromStdString(path));
        if (c.bytes != "-") Write(path, c.bytes);
        std::string outcome;
        try {
            outcome = ReadTextFile(path, c.limit).value_or("(cancelado)");
        } catch (const ETextFileError& e) {
            outcome = std::string("erro: ") + e.what();
        }
        std::string expected = c.outcome;
        if (auto mark = expected.find('%'); mark != std::string::npos)
            expected.replace(mark, 1, path);
        EXPECT_EQ(outcome.substr(0, expected.size()), expected);
    }
}

TEST_F(TextFiles, WriteEndsEachLineWithCrlfOnce) {
    TClientDataSet rows("linhas", {TFieldDef{"TXLINHA", 100, "", 0, true}});
    rows.Open();
    for (const char* line : {"grupo;nome", "1;Café", "2;com fim\r\n", "3;só LF\n"}) {
        rows.Append();
        rows.FieldByName("TXLINHA").SetAsString(line);
        rows.Post();
    }
    const std::string path = Path("saida.csv");
    EXPECT_EQ(WriteLinesFile(path, rows, "TXLINHA"), 4u);
    EXPECT_EQ(Read(path), "grupo;nome\r\n1;Café\r\n2;com fim\r\n3;só LF\r\n");
}

TEST_F(TextFiles, AFailedWriteSaysSoInPortuguese) {
    TClientDataSet rows("linhas", {TFieldDef{"TXLINHA", 100, "", 0, true}});
    rows.Open();
    const std::string notAFolder = Path("arquivo.txt");
    Write(notAFolder, "x");
    const std::string path = notAFolder + "/saida.csv";
    std::string message;
    try {
        WriteLinesFile(path, rows, "TXLINHA");
    } catch (const ETextFileError& e) {
        message = e.what();
    }
    EXPECT_EQ(message.rfind("Não foi possível gravar o arquivo \"" + path + "\"", 0), 0u)
        << message;
    EXPECT_EQ(Read(notAFolder), "x");
}

}  // namespace
