#include "AppServerProcessFixture.h"

#include <sqlite3.h>
#include <unistd.h>

#include "wire/ChangeLog.h"
#include "wire/FieldDef.h"
#include "wire/Packet.h"
#include "wire/Rpc.h"

namespace appserver::testing {

void AppServerProcessTest::SetUp() {
    dir = std::filesystem::temp_directory_path() /
          ("vlp-rpc-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    db = "sqlite:" + (dir / "vlp.sqlite").string();
}

void AppServerProcessTest::TearDown() { std::filesystem::remove_all(dir); }

std::string groupInsert(const std::string& code, const std::string& name,
                        const std::string& order) {
    wire::ChangeLog log;
    log.fields = {{"CDGRUSUGESPROD", 10}, {"NMGRUSUGESPROD", 40}, {"NRORDEM", 4}};
    log.changes.push_back({wire::ChangeKind::Insert, {}, {code, name, order}});
    return wire::writeRequest(1, "SetGrupSegProd",
                              std::vector{wire::Argument::packet(log.toJson())});
}

std::string groupCode(int n) {
    std::string digits = std::to_string(n);
    return std::string(10 - digits.size(), '0') + digits;
}

std::string callOutcome(HttpTestClient& client, const std::string& body, std::string_view headers) {
    auto r = client.post(body, headers);
    if (!r) return "sem resposta";
    auto a = wire::readAnswer(r->body(), 1);
    if (!a) return "resposta inválida";
    return a->ok ? "ok" : std::to_string(a->errorCode) + ": " + a->errorMessage;
}

std::string callShown(HttpTestClient& client, std::string_view method,
                      std::vector<wire::Argument> args) {
    auto r = client.post(wire::writeRequest(1, method, args));
    if (!r) return "sem resposta";
    auto a = wire::readAnswer(r->body(), 1);
    if (!a) return "resposta inválida";
    if (!a->ok) return std::to_string(a->errorCode) + ": " + a->errorMessage;
    std::string line = "ok";
    for (const auto& v : a->out) line += " out:" + v;
    if (a->payload.empty()) return line;
    auto packet = wire::Packet::fromJson(a->payload);
    if (!packet) return line + " pacote inválido";
    const int action = wire::fieldIndex(packet->fields, "TPACAO");
    if (action < 0) return line + " rows:" + std::to_string(packet->rows.size());
    std::string actions;
    for (const auto& row : packet->rows) actions += (actions.empty() ? "" : ",") + *row[action];
    return line + " " + actions;
}

bool groupExists(HttpTestClient& client, const std::string& code) {
    auto r = client.post(
        wire::writeRequest(1, "GetVerifGrupo", std::vector{wire::Argument::text(code)}));
    auto a = r ? wire::readAnswer(r->body(), 1) : wire::Result<wire::Answer>(wire::Status());
    return a && a->ok && a->payload.find(code) != std::string::npos;
}

std::string sqliteValue(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* raw = nullptr;
    std::string value;
    if (sqlite3_open(file.c_str(), &raw) == SQLITE_OK) {
        sqlite3_exec(
            raw, sql.c_str(),
            [](void* out, int, char** values, char**) {
                auto& text = *static_cast<std::string*>(out);
                if (text.empty()) text = values[0] ? values[0] : "null";
                return 0;
            },
            &value, nullptr);
    }
    sqlite3_close(raw);
    return value;
}

std::optional<std::vector<std::vector<std::string>>> parseCsv(std::string_view text) {
    std::vector<std::vector<std::string>> records(1);
    std::string field;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '"') {
            for (++i;; ++i) {
                if (i >= text.size()) return std::nullopt;
                if (text[i] == '"' && (i + 1 >= text.size() || text[i + 1] != '"')) break;
                if (text[i] == '"') ++i;
                field += text[i];
            }
            ++i;
        } else {
            for (; i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n'; ++i) {
                if (text[i] == '"') return std::nullopt;
                field += text[i];
            }
        }
        records.back().push_back(std::move(field));
        field.clear();
        if (i < text.size() && text[i] == ',') {
            ++i;
        } else if (text.substr(i, 2) == "\r\n") {
            i += 2;
            if (i < text.size()) records.emplace_back();
        } else {
            return std::nullopt;
        }
    }
    if (text.empty() || !text.ends_with("\r\n")) return std::nullopt;
    return records;
}

}  // namespace appserver::testing
