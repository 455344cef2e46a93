// docs/protocol.md against the description of the remote module: a method, an argument or a size
// changed on one side fails here until the other follows.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "wire/RemoteModule.h"

namespace {

std::string trimmed(const std::string& s) {
    auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> split(const std::string& s, char by) {
    std::vector<std::string> parts;
    std::stringstream in(s);
    for (std::string part; std::getline(in, part, by);) parts.push_back(trimmed(part));
    return parts;
}

std::vector<std::string> matches(const std::string& text, const std::regex& re, int group) {
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
        found.push_back((*it)[group]);
    return found;
}

// An argument as the document's table words it: "group code; tree code (in/out)".
wire::ParamKind kindOf(const std::string& argument) {
    if (argument.find("change log") != std::string::npos) return wire::ParamKind::Packet;
    if (argument.find("text or in/out") != std::string::npos) return wire::ParamKind::TextOrInOut;
    if (argument.find("in/out") != std::string::npos) return wire::ParamKind::TextInOut;
    return wire::ParamKind::Text;
}

struct Row {
    std::vector<wire::ParamKind> arguments;
    std::vector<std::string> answerFields;  // the field names the answer cell lists, if any
    bool answersNull = false;
};

// The rows of the table under "## Methods", by method name.
std::multimap<std::string, Row> methodTable(const std::string& doc) {
    std::multimap<std::string, Row> rows;
    std::stringstream in(doc.substr(doc.find("\n## Methods")));
    std::string line;
    while (std::getline(in, line) && !line.starts_with("| method |")) {
    }
    static const std::regex field("`([A-Z][A-Z0-9]+)`");
    while (std::getline(in, line) && line.starts_with('|')) {
        std::vector<std::string> cells = split(line.substr(1, line.rfind('|') - 1), '|');
        if (cells.size() != 3 || cells[0].starts_with("---")) continue;
        Row row;
        if (cells[1] != "none")
            for (const std::string& argument : split(cells[1], ';'))
                row.arguments.push_back(kindOf(argument));
        row.answerFields = matches(cells[2], field, 1);
        row.answersNull = cells[2] == "`null`";
        rows.emplace(cells[0].substr(1, cells[0].size() - 2), row);
    }
    return rows;
}

std::string names(std::span<const wire::Column> columns) {
    std::string s;
    for (const wire::Column& c : columns) s += std::string(c.name) + " ";
    return s;
}

std::string names(const std::vector<std::string>& fields) {
    std::string s;
    for (const std::string& f : fields) s += f + " ";
    return s;
}

// Every disagreement between the document and the description, as text; empty when none.
std::string mismatches(const std::string& doc) {
    std::string problems;
    std::multimap<std::string, Row> table = methodTable(doc);
    for (const wire::Method* m : wire::kMethods) {
        const std::string name(m->name);
        if (table.count(name) != 1) {
            problems += name + ": " + std::to_string(table.count(name)) + " rows; ";
            continue;
        }
        const Row& row = table.find(name)->second;
        std::vector<wire::ParamKind> described;
        for (const wire::Param& p : m->params) described.push_back(p.kind);
        if (row.arguments != described)
            problems += name + ": " + std::to_string(row.arguments.size()) +
                        " arguments or their kinds differ; ";
        if (m->IsWrite() ? !row.answersNull
                         : !row.answerFields.empty() && names(row.answerFields) != names(m->answer))
            problems += name + ": answer " + names(row.answerFields) + "; ";
    }
    for (const auto& [name, row] : table)
        if (name != "rpc.describe" && !wire::FindMethod(name))
            problems += name + ": not described; ";

    std::map<std::string, int> sizes;
    for (const wire::Method* m : wire::kMethods)
        for (auto columns : {m->answer, m->changeLog})
            for (const wire::Column& c : columns) sizes[std::string(c.name)] = c.size;
    static const std::regex sized("`([A-Z][A-Z0-9]+)`\\((\\d+)\\)");
    static const std::regex declared("\"name\":\"([A-Z][A-Z0-9]+)\",\"size\":(\\d+)");
    for (const std::regex* re : {&sized, &declared})
        for (std::sregex_iterator it(doc.begin(), doc.end(), *re), end; it != end; ++it) {
            auto found = sizes.find((*it)[1]);
            if (found == sizes.end() || std::to_string(found->second) != (*it)[2])
                problems += (*it)[0].str() + " is not described; ";
        }

    static const std::regex bound("(\\d+) bytes for `([A-Za-z]+)`");
    for (std::sregex_iterator it(doc.begin(), doc.end(), bound), end; it != end; ++it) {
        const wire::Method* m = wire::FindMethod((*it)[2].str());
        if (!m || std::to_string(4 * wire::MaxTextChars(*m)) != (*it)[1])
            problems += (*it)[0].str() + " is not the method's bound; ";
    }
    return problems;
}

std::string protocolDoc() {
    std::ifstream in(std::string(VLP_SOURCE_DIR) + "/docs/protocol.md");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string replaced(std::string doc, const std::string& from, const std::string& to) {
    auto at = doc.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) doc.replace(at, from.size(), to);
    return doc;
}

TEST(ProtocolDoc, AgreesWithTheDescription) {
    const std::string doc = protocolDoc();
    ASSERT_NE(doc.find("\n## Methods"), std::string::npos);
    EXPECT_EQ(methodTable(doc).size(), wire::kMethods.size() + 1);  // and rpc.describe
    EXPECT_EQ(mismatches(doc), "");
}

TEST(ProtocolDoc, EachKindOfDriftIsCaught) {
    const std::string doc = protocolDoc();
    struct Case {
        std::string from, to, problem;
    };
    const Case cases[] = {
        {"`NMGRUSUGESPROD`(40)", "`NMGRUSUGESPROD`(41)", "`NMGRUSUGESPROD`(41) is not described; "},
        {"\"name\":\"NRORDEM\",\"size\":4", "\"name\":\"NRORDEM\",\"size\":5",
         "\"name\":\"NRORDEM\",\"size\":5 is not described; "},
        {"| `GetVerifOrd` | order |", "| `GetVerifOrdem` | order |",
         "GetVerifOrd: 0 rows; GetVerifOrdem: not described; "},
        {"| group code; main product code |", "| group code |",
         "GetProdRelac: 1 arguments or their kinds differ; "},
        {"| group code; tree code (in/out) |", "| group code; tree code |",
         "GetVdProdPrinc: 2 arguments or their kinds differ; "},
        {"`CDPRODUTO` `NMPRODUTO` of the related rows",
         "`NMPRODUTO` `CDPRODUTO` of the related rows",
         "GetVdProduto: answer NMPRODUTO CDPRODUTO ; "},
        {"160 bytes for `GetNmGrupo`", "40 bytes for `GetNmGrupo`",
         "40 bytes for `GetNmGrupo` is not the method's bound; "},
    };
    for (const Case& c : cases) EXPECT_EQ(mismatches(replaced(doc, c.from, c.to)), c.problem);
}

}  // namespace
