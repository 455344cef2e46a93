// The streaming CSV reader on byte strings: quoting, line breaks, delimiters, byte-order mark,
// and every malformed record reported with its line and column while reading goes on.
#include "csv/CsvReader.h"

#include <gtest/gtest.h>

#include <sstream>

#include "csv/FormulaGuard.h"

namespace appserver {
namespace {

// Each record as "LINE:a|b|c", or "LINE:COLUMN! error" for a malformed one, one per line.
std::string readAll(const std::string& text) {
    std::istringstream in(text);
    CsvReader reader(in);
    std::string all;
    CsvRecord record;
    while (reader.next(record)) {
        if (!record.error.empty()) {
            all += std::to_string(record.errorAt->line) + ":" +
                   std::to_string(record.errorAt->column) + "! " + record.error + "\n";
            continue;
        }
        all += std::to_string(record.line) + ":";
        for (std::size_t i = 0; i < record.fields.size(); ++i)
            all += (i ? "|" : "") + record.fields[i];
        all += "\n";
    }
    return all;
}

struct Case {
    const char* name;
    std::string text, records;
};

TEST(CsvReader, ReadsRecordsAsRfc4180HasThem) {
    const Case cases[] = {
        {"empty input", "", ""},
        {"semicolons, CRLF", "a;b\r\nc;d\r\n", "1:a|b\n2:c|d\n"},
        {"commas, LF, no final break", "a,b\nc,d", "1:a|b\n2:c|d\n"},
        {"the first record decides", "a;b,c\nd,e;f\n", "1:a|b,c\n2:d,e|f\n"},
        {"empty fields", ";;\n", "1:||\n"},
        {"quoted delimiter and quotes", "\"a;b\";\"say \"\"hi\"\"\"\n", "1:a;b|say \"hi\"\n"},
        {"quoted empty field", "\"\";x\n", "1:|x\n"},
        {"break inside quotes", "\"one\r\ntwo\";x\r\ny;z\r\n", "1:one\r\ntwo|x\n3:y|z\n"},
        {"blank lines skipped", "\r\na;b\r\n\r\n\r\nc;d\r\n", "2:a|b\n5:c|d\n"},
        {"CR alone ends a record", "a;b\rc;d\r", "1:a|b\n2:c|d\n"},
        {"byte-order mark", "\xEF\xBB\xBFgrupo;nome\r\n", "1:grupo|nome\n"},
        {"not a byte-order mark", "\xEF\xBC\xA1;b\n", "1:\xEF\xBC\xA1|b\n"},
        {"UTF-8 text", "Sugestão;Café\n", "1:Sugestão|Café\n"},
        {"spaces kept", " a ; b \n", "1: a | b \n"},
    };
    for (const Case& c : cases) EXPECT_EQ(readAll(c.text), c.records) << c.name;
}

TEST(CsvReader, ReportsEachMalformedRecordWithLineAndColumnAndGoesOn) {
    const Case cases[] = {
        {"quote inside a field", "a;b\"c;d\nx;y\n",
         "1:2! aspas no meio de um campo sem aspas\n2:x|y\n"},
        {"text after closing quote", "a;\"b\"c\nx\n",
         "1:2! caractere depois das aspas que fecham o campo\n2:x\n"},
        {"quote never closed", "a;b\nc;\"d\ne\n",
         "1:a|b\n4:2! aspas abertas e não fechadas até o fim do arquivo\n"},
        {"invalid UTF-8", "a;\xC3\x28;c\nx\n", "1:2! texto com UTF-8 inválido\n2:x\n"},
        {"Latin-1 instead of UTF-8", "ok\ncaf\xE9\n", "1:ok\n2:1! texto com UTF-8 inválido\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(readAll(c.text), c.records) << c.name;
}

TEST(CsvReader, RefusesARecordOverTheLimitWithoutHoldingTheRest) {
    std::string text = "a;" + std::string(CsvReader::kMaxRecordBytes, 'x') + "\nb;c\n";
    EXPECT_EQ(readAll(text), "1:2! registro com mais de 64 KiB\n2:b|c\n");
    std::string open = "a;\"" + std::string(2 * CsvReader::kMaxRecordBytes, 'x');
    EXPECT_EQ(readAll(open), "1:2! registro com mais de 64 KiB\n");
}

TEST(FormulaGuard, WritingThenReadingGivesTheValueBack) {
    struct Guard {
        std::string value, written;
    };
    const Guard cases[] = {
        {"Bebidas", "Bebidas"},
        {"=SOMA(A1)", "'=SOMA(A1)"},
        {"-1", "'-1"},
        {"'=x", "''=x"},
        {"'texto", "'texto"},
        {"''", "''"},
        {"", ""},
        {"a=b", "a=b"},
    };
    for (const Guard& c : cases) {
        EXPECT_EQ(guardFormula(c.value), c.written);
        EXPECT_EQ(unguardFormula(c.written), c.value);
    }
}

}  // namespace
}  // namespace appserver
