// Every answer of the module loads into the screen's own record set for it: each field the screen
// defines is present, declared no larger than the screen's size, and no value is longer. The
// server side is the real request handler over a store seeded with the demo catalogue; the
// screen side is its record-set definitions. Neither field table is written out here.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "declarations/RecordSetDefs.h"
#include "rpc/RdmSugestaoProd.h"
#include "rpc/RequestHandler.h"
#include "store/Store.h"
#include "transfer/CsvExport.h"
#include "wire/ChangeLog.h"
#include "wire/Packet.h"
#include "wire/PacketReader.h"
#include "wire/Rpc.h"

namespace {

using wire::Argument;

// Compares a packet with a record-set definition as it streams; what does not fit, as text.
class DefinitionCheck : public wire::PacketSink {
  public:
    explicit DefinitionCheck(const declarations::TRecordSetDef& def) : m_def(def) {}

    wire::Status onFields(const std::vector<wire::FieldDef>& fields) override {
        for (const TFieldDef& f : m_def.Fields) {
            int at = wire::fieldIndex(fields, f.Name);
            m_at.push_back(at);
            if (at < 0) {
                problems += f.Name + " missing; ";
            } else if (fields[at].size > f.Size) {
                problems += f.Name + " declared " + std::to_string(fields[at].size) +
                            " for the screen's " + std::to_string(f.Size) + "; ";
            }
        }
        return {};
    }
    wire::Status onRow(std::span<const wire::ValueView> values) override {
        ++rows;
        for (std::size_t i = 0; i < m_at.size(); ++i) {
            const TFieldDef& f = m_def.Fields[i];
            wire::ValueView v = m_at[i] < 0 ? std::nullopt : values[m_at[i]];
            if (v && wire::utf8Length(*v) > static_cast<std::size_t>(f.Size))
                problems += f.Name + " holds \"" + std::string(*v) + "\" over the screen's " +
                            std::to_string(f.Size) + "; ";
        }
        return {};
    }

    std::string problems;
    int rows = 0;

  private:
    const declarations::TRecordSetDef& m_def;
    std::vector<int> m_at;  // definition field -> packet field, -1 when missing
};

class AnswersFitTheScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        auto factory = appserver::makeStoreFactory("sqlite::memory:");
        ASSERT_TRUE(factory) << factory.status().message();
        auto opened = (*factory)->open();
        ASSERT_TRUE(opened) << opened.status().message();
        store = std::move(*opened);
        ASSERT_TRUE(store->seedDemo());
        // The first group, its first main product and that one's first related product, so that
        // every answer below has rows.
        ASSERT_TRUE(store->groups(groups));
        ASSERT_FALSE(groups.rows.empty());
        ASSERT_TRUE(store->mainProducts(first(groups, "CDGRUSUGESPROD"), mains));
        ASSERT_FALSE(mains.rows.empty());
        ASSERT_TRUE(store->relatedProducts(first(groups, "CDGRUSUGESPROD"),
                                           first(mains, "CDPRODUTO"), related));
        ASSERT_FALSE(related.rows.empty());
    }

    static std::string first(const wire::Packet& p, std::string_view field) {
        int at = wire::fieldIndex(p.fields, field);
        return at >= 0 && p.rows[0][at] ? *p.rows[0][at] : std::string();
    }

    // A change log shaped by the screen's record set, as the screen sends it: the first row of
    // an answer modified to itself, so a Set has real work and nothing to refuse.
    static Argument unchangedFirstRow(const wire::Packet& answer, std::string_view recordSet) {
        wire::ChangeLog log;
        std::vector<wire::Value> row;
        for (const TFieldDef& f : declarations::RecordSetDef(recordSet).Fields) {
            log.fields.push_back({f.Name, f.Size});
            int at = wire::fieldIndex(answer.fields, f.Name);
            row.push_back(at >= 0 ? answer.rows[0][at] : std::nullopt);
        }
        log.changes.push_back({wire::ChangeKind::Modify, row, row});
        return Argument::packet(log.toJson());
    }

    std::unique_ptr<appserver::Store> store;
    wire::Packet groups, mains, related;
};

TEST_F(AnswersFitTheScreen, EveryMethodAnswersWhatItsRecordSetLoads) {
    std::string group = first(groups, "CDGRUSUGESPROD"), main = first(mains, "CDPRODUTO");
    std::string mainTree = first(mains, "CDARVPROD");
    std::ostringstream exported;
    ASSERT_TRUE(appserver::exportSuggestions(*store, "", exported));
    struct Case {
        std::vector<Argument> args;
        std::string_view recordSet;  // empty: a write, answered with a null payload
    };
    const std::map<std::string_view, Case> cases = {
        {"GetGrupSegProd", {{}, "cdsGrupSegProd"}},
        {"SetGrupSegProd", {{unchangedFirstRow(groups, "cdsGrupSegProd")}, {}}},
        {"GetVerifGrupo", {{Argument::text(group)}, "cdsVerifGrup"}},
        {"GetNmGrupo", {{Argument::text(first(groups, "NMGRUSUGESPROD"))}, "cdsNmGrupo"}},
        {"GetVerifOrd", {{Argument::text(first(groups, "NRORDEM"))}, "cdsVerifOrd"}},
        {"GetArvProd", {{Argument::text(group)}, "cdsArvProd"}},
        {"GetPesqProdPrinc", {{}, "cdsPesqProdPrinc"}},
        {"GetVerifProduto", {{Argument::inOut(mainTree)}, "cdsVerifProduto"}},
        {"GetVdProdPrinc", {{Argument::text(group), Argument::inOut(mainTree)}, "cdsVdProdPrinc"}},
        {"SetArvProd", {{Argument::inOut("E"), unchangedFirstRow(mains, "cdsArvProd")}, {}}},
        {"GetProdRelac", {{Argument::text(group), Argument::text(main)}, "cdsProdRelac"}},
        {"GetPesqProd", {{Argument::text(main), Argument::text(group)}, "cdsPesqProd"}},
        {"GetVdProduto",
         {{Argument::text(group), Argument::text(main),
           Argument::inOut(first(related, "CDARVPRODRELAC"))},
          "cdsVdProduto"}},
        {"SetProdRelac", {{Argument::inOut("E"), unchangedFirstRow(related, "cdsProdRelac")}, {}}},
        {"GetExportaSugestoes", {{Argument::text("")}, "cdsExportaSugestoes"}},
        {"SetImportaSugestoes",
         {{Argument::text(exported.str()), Argument::text("incluir"), Argument::text("S")},
          "cdsImportaSugestoes"}},
        {"GetOndeUsado", {{Argument::text(main)}, "cdsOndeUsado"}},
        // Previews answer the import's record set.
        {"SetSubstituiProduto",
         {{Argument::text(main), Argument::text(first(related, "CDPRODUTORELAC")),
           Argument::text("S")},
          "cdsImportaSugestoes"}},
        // The saves above are the group's history, the first of them save 1.
        {"GetHistorico",
         {{Argument::text(group), Argument::text(""), Argument::text("")}, "cdsHistorico"}},
        {"SetDesfazGravacao", {{Argument::text("1"), Argument::text("S")}, "cdsImportaSugestoes"}},
        {"SetCopiaGrupo",
         {{Argument::text(group), Argument::text("0000000999"), Argument::text("Cópia do teste"),
           Argument::text("999")},
          {}}},
    };

    ASSERT_EQ(appserver::rdmSugestaoProd().size(), cases.size());
    for (const appserver::MethodEntry& method : appserver::rdmSugestaoProd()) {
        SCOPED_TRACE(std::string(method.name));
        auto found = cases.find(method.name);
        ASSERT_NE(found, cases.end()) << "a method without a case";
        const Case& c = found->second;

        auto reply = appserver::handleRequest(*store, "POST", "/VLP27000.rdmSugestaoProd",
                                              wire::writeRequest(1, method.name, c.args));
        auto answer = wire::readAnswer(reply.body, 1);
        ASSERT_TRUE(answer) << answer.status().message() << "\n" << reply.body;
        ASSERT_TRUE(answer->ok) << answer->errorMessage;
        if (c.recordSet.empty()) {
            EXPECT_EQ(answer->payload, "");
            continue;
        }
        DefinitionCheck check(declarations::RecordSetDef(c.recordSet));
        wire::Status read = wire::readPacket(answer->payload, check);
        ASSERT_TRUE(read) << read.message();
        EXPECT_GT(check.rows, 0);
        EXPECT_EQ(check.problems, "") << "into " << c.recordSet;
    }
}

}  // namespace
