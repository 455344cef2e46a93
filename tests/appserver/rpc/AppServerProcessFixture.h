#pragma once
// The vlp-appserver program as its process tests meet it: a fresh SQLite database in a folder of
// the test's own, and short helpers that turn a call, a database value or the history's CSV into
// something to assert at once.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "HttpTestClient.h"
#include "wire/Rpc.h"

namespace appserver::testing {

class AppServerProcessTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path dir;
    std::string db;  // "sqlite:" and the database in dir
};

// A SetGrupSegProd call inserting one group.
std::string groupInsert(const std::string& code, const std::string& name, const std::string& order);
// The ten-digit group code of n.
std::string groupCode(int n);
// "ok", "CODE: message" or why there was no answer; headers go with the request as they are.
std::string callOutcome(HttpTestClient& client, const std::string& body,
                        std::string_view headers = {});
// A call's outcome as one line: "ok", then " out:" per in/out value and " rows:N" for a read
// (for a preview, " " and its actions: " alterar,erro,resumo"); or "code: message".
std::string callShown(HttpTestClient& client, std::string_view method,
                      std::vector<wire::Argument> args);
bool groupExists(HttpTestClient& client, const std::string& code);
// The first column of the first row a query gives, as text; "" when there is none.
std::string sqliteValue(const std::filesystem::path& file, const std::string& sql);
// Records of RFC 4180 CSV with CRLF line ends; nullopt when the text is not that (a bare CR or
// LF between records, a quote inside an unquoted field, an unclosed quote, no final CRLF).
std::optional<std::vector<std::vector<std::string>>> parseCsv(std::string_view text);

}  // namespace appserver::testing
