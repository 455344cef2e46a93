// RFC 4180 fields and records: what is quoted, how quotes are doubled, CRLF, nulls.
#include "csv/CsvWriter.h"

#include <gtest/gtest.h>

#include <sstream>

#include "wire/Packet.h"

namespace appserver {
namespace {

TEST(CsvWriter, QuotesExactlyTheFieldsThatNeedIt) {
    struct Case {
        std::string value, field;
    };
    const Case cases[] = {
        {"", ""},
        {"Bebidas", "Bebidas"},
        {" espaços ", " espaços "},
        {"Sugestão de inverno", "Sugestão de inverno"},
        {"Doces, finos", "\"Doces, finos\""},
        {"Chá \"verde\"", "\"Chá \"\"verde\"\"\""},
        {"\"", "\"\"\"\""},
        {"linha\numa", "\"linha\numa\""},
        {"linha\rduas", "\"linha\rduas\""},
        {"a\r\nb", "\"a\r\nb\""},
        {"{\"NM\":\"x, y\"}", "\"{\"\"NM\"\":\"\"x, y\"\"}\""},
        {"tab\tponto;vírgula", "tab\tponto;vírgula"},
        // What a spreadsheet would run as a formula is kept as text.
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"+1", "'+1"},
        {"-ana", "'-ana"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tx", "'\tx"},
        {"\rx", "\"'\rx\""},
        {"a=b", "a=b"},
    };
    for (const Case& c : cases) EXPECT_EQ(csvField(c.value), c.field) << c.value;
}

TEST(CsvWriter, StreamsAHeaderThenOneCrlfRecordPerRowWithNullsEmpty) {
    wire::Packet packet;
    packet.fields = {{"quando", 24}, {"grupo", 10}, {"antes", 8192}};
    packet.rows = {{"2026-01-01T00:00:00.000Z", "01", std::nullopt},
                   {"2026-01-02T00:00:00.000Z", std::nullopt, "{\"a\":\"b,c\"}"}};
    std::ostringstream out;
    CsvSink sink(out);
    ASSERT_TRUE(packet.replay(sink));
    EXPECT_EQ(out.str(),
              "quando,grupo,antes\r\n"
              "2026-01-01T00:00:00.000Z,01,\r\n"
              "2026-01-02T00:00:00.000Z,,\"{\"\"a\"\":\"\"b,c\"\"}\"\r\n");
}

TEST(CsvWriter, AStreamThatFailsStopsTheRead) {
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    CsvSink sink(out);
    EXPECT_FALSE(sink.onFields({{"a", 1}}));
}

}  // namespace
}  // namespace appserver
