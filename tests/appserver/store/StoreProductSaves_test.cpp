// Product saves as the screen sends them, through the request handler onto each database: the
// operation code names what the screen did last, but the change log's entries decide what is
// written. A save that failed leaves its change in the record set, so the next log carries it
// together with the new change and whatever code the screen holds by then.
#include <functional>
#include <string_view>

#include "rpc/RequestHandler.h"
#include "StoreFixture.h"
#include "wire/Packet.h"
#include "wire/Rpc.h"

namespace storetest {
namespace {

using wire::Argument;

constexpr const char* kItself = "-32000: Um produto não pode ser relacionado a ele mesmo.";

class StoreProductSaves : public StoreTest {
  protected:
    // "code: message" of the answer, or "ok".
    std::string save(std::string_view method, const Argument& op, const wire::ChangeLog& log) {
        std::vector<Argument> args = {op, Argument::packet(log.toJson())};
        auto reply = appserver::handleRequest(*store, "POST", "/VLP27000.rdmSugestaoProd",
                                              wire::writeRequest(1, method, args));
        auto answer = wire::readAnswer(reply.body, 1);
        if (!answer) return "resposta inválida: " + answer.status().message();
        return answer->ok ? "ok" : std::to_string(answer->errorCode) + ": " + answer->errorMessage;
    }
    // The group's main products and the related products of product 1, as "main 1:N/S ... |
    // related 2:N/S ...": product number, then the two flags.
    std::string state(const std::string& group) {
        wire::Packet mains, related;
        EXPECT_EQ(describe(store->mainProducts(group, mains)), "ok");
        EXPECT_EQ(describe(store->relatedProducts(group, productCode(1), related)), "ok");
        auto list = [](const wire::Packet& p, std::size_t code, std::size_t quantity) {
            std::string out;
            for (const auto& row : p.rows) {
                out += " " + row[code]->substr(row[code]->find_first_not_of('0')) + ":" +
                       row[quantity].value_or("-") + "/" + row[quantity + 1].value_or("-");
            }
            return out;
        };
        return "main" + list(mains, 1, 4) + " | related" + list(related, 2, 5);
    }
};

Values mainRow(const std::string& group, int product, const char* quantity) {
    return {treeCode(product), productCode(product), "Produto", group, quantity, "S"};
}

Values relatedRow(const std::string& group, int rel, const char* quantity) {
    return {group, productCode(1), productCode(rel), treeCode(rel), "Produto", quantity, "S"};
}

TEST_P(StoreProductSaves, TheLogsEntriesDecideWhateverTheOperationCode) {
    // Every group starts with main product 1 (N/S) relating product 2 (N/S). In each log the
    // first entry is the leftover of a failed save: a flag of an existing row turned on.
    struct Case {
        const char* what;
        std::string_view method;
        Argument op;
        std::function<void(wire::ChangeLog&, const std::string& group)> newChange;
        std::string outcome;
        std::string state;
    };
    const Case cases[] = {
        {"related insert sent with E", "SetProdRelac", Argument::inOut("E"),
         [](auto& log, auto& g) { inserted(log, relatedRow(g, 3, "N")); }, "ok",
         "main 1:N/S | related 2:S/S 3:N/S"},
        {"related insert sent with I", "SetProdRelac", Argument::inOut("I"),
         [](auto& log, auto& g) { inserted(log, relatedRow(g, 3, "N")); }, "ok",
         "main 1:N/S | related 2:S/S 3:N/S"},
        {"related delete sent with E", "SetProdRelac", Argument::inOut("E"),
         [](auto& log, auto& g) { deleted(log, relatedRow(g, 2, "S")); }, "ok",
         "main 1:N/S | related"},
        {"related insert sent with D as text", "SetProdRelac", Argument::text("D"),
         [](auto& log, auto& g) { inserted(log, relatedRow(g, 3, "N")); }, "ok",
         "main 1:N/S | related 2:S/S 3:N/S"},
        {"main insert sent with E", "SetArvProd", Argument::inOut("E"),
         [](auto& log, auto& g) { inserted(log, mainRow(g, 4, "N")); }, "ok",
         "main 1:S/S 4:N/S | related 2:N/S"},
        {"main insert sent with I", "SetArvProd", Argument::inOut("I"),
         [](auto& log, auto& g) { inserted(log, mainRow(g, 4, "N")); }, "ok",
         "main 1:S/S 4:N/S | related 2:N/S"},
        // A refused second entry leaves nothing of the leftover.
        {"related insert of the main product itself", "SetProdRelac", Argument::inOut("I"),
         [](auto& log, auto& g) { inserted(log, relatedRow(g, 1, "N")); }, kItself,
         "main 1:N/S | related 2:N/S"},
        {"related insert of an unknown product", "SetProdRelac", Argument::inOut("I"),
         [](auto& log, auto& g) { inserted(log, relatedRow(g, 9, "N")); },
         "-32000: Produto não cadastrado.", "main 1:N/S | related 2:N/S"},
        {"related insert already there", "SetProdRelac", Argument::inOut("E"),
         [](auto& log, auto& g) { inserted(log, relatedRow(g, 2, "N")); },
         "-32000: Produto já cadastrado.", "main 1:N/S | related 2:N/S"},
        {"main insert already there", "SetArvProd", Argument::inOut("I"),
         [](auto& log, auto& g) { inserted(log, mainRow(g, 1, "N")); },
         "-32000: Produto já cadastrado.", "main 1:N/S | related 2:N/S"},
    };
    addProducts(4);
    int n = 0;
    for (const Case& c : cases) {
        const std::string group = productCode(++n);
        addGroup(group, "Grupo " + std::to_string(n), std::to_string(n));
        addMain(group, productCode(1));
        addRelated(group, productCode(1), productCode(2));
        const bool related = c.method == "SetProdRelac";
        wire::ChangeLog log = related ? relatedLog() : mainLog();
        if (related)
            modified(log, relatedRow(group, 2, "N"), relatedRow(group, 2, "S"));
        else
            modified(log, mainRow(group, 1, "N"), mainRow(group, 1, "S"));
        c.newChange(log, group);
        EXPECT_EQ(save(c.method, c.op, log), c.outcome) << c.what;
        EXPECT_EQ(state(group), c.state) << c.what;
    }
}

STORE_BACKENDS(StoreProductSaves);

}  // namespace
}  // namespace storetest
