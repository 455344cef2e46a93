// The users who may sign in: added once, their password changed, disabled and enabled again;
// names and hashes are checked before anything reaches the database.
#include <functional>

#include "StoreFixture.h"

namespace storetest {
namespace {

// The store takes any text of the hash's form; real ones come from hashPassword.
const std::string kHash1 = "$argon2id$v=19$m=65536,t=2,p=1$c2FsdDE$aGFzaDE";
const std::string kHash2 = "$argon2id$v=19$m=65536,t=2,p=1$c2FsdDI$aGFzaDI";

class StoreUsers : public StoreTest {
  protected:
    // "hash-number:S|N" of the user, "-" when there is none, or the error.
    std::string user(std::string_view name) {
        auto found = store->findUser(name);
        if (!found) return describe(found.status());
        if (!*found) return "-";
        const auto& u = **found;
        std::string hash = u.passwordHash == kHash1 ? "1" : u.passwordHash == kHash2 ? "2" : "?";
        return hash + ":" + (u.enabled ? "S" : "N");
    }
    std::string anyUser() {
        auto any = store->anyUser();
        return any ? (*any ? "sim" : "não") : describe(any.status());
    }
};

TEST_P(StoreUsers, AreAddedOnceChangedDisabledAndEnabledAgain) {
    using Store = appserver::Store;
    struct Step {
        std::function<wire::Status(Store&)> action;
        std::string outcome, ana, anyUser;
    };
    const Step steps[] = {
        {[](Store&) { return wire::Status(); }, "ok", "-", "não"},
        {[](Store& s) { return s.addUser("ana", kHash1); }, "ok", "1:S", "sim"},
        {[](Store& s) { return s.addUser("ana", kHash2); },
         "-32000: Usuário \"ana\" já cadastrado.", "1:S", "sim"},
        {[](Store& s) { return s.setUserPassword("ana", kHash2); }, "ok", "2:S", "sim"},
        {[](Store& s) { return s.setUserPassword("bia", kHash1); },
         "-32000: Usuário \"bia\" não cadastrado.", "2:S", "sim"},
        {[](Store& s) { return s.setUserEnabled("ana", false); }, "ok", "2:N", "sim"},
        {[](Store& s) { return s.setUserEnabled("ana", false); }, "ok", "2:N", "sim"},
        {[](Store& s) { return s.setUserEnabled("bia", true); },
         "-32000: Usuário \"bia\" não cadastrado.", "2:N", "sim"},
        {[](Store& s) { return s.setUserEnabled("ana", true); }, "ok", "2:S", "sim"},
        // Names are compared exactly.
        {[](Store& s) { return s.addUser("Ana", kHash1); }, "ok", "2:S", "sim"},
    };
    int n = 0;
    for (const Step& step : steps) {
        ++n;
        EXPECT_EQ(describe(step.action(*store)), step.outcome) << "step " << n;
        EXPECT_EQ(user("ana"), step.ana) << "step " << n;
        EXPECT_EQ(anyUser(), step.anyUser) << "step " << n;
    }
    EXPECT_EQ(user("Ana"), "1:S");
    // Another connection, as another server would hold, sees the same users.
    auto other = openAnother();
    auto seen = other->findUser("ana");
    ASSERT_TRUE(seen && *seen);
    EXPECT_EQ((*seen)->passwordHash, kHash2);
}

TEST_P(StoreUsers, BadNamesAndAnythingButAHashAreRefusedUnstored) {
    const std::string badName =
        "-32000: Nome de usuário inválido: use de 1 a 40 letras sem acento, dígitos, \".\", \"_\" "
        "ou \"-\".";
    const std::string badHash =
        "-32603: O resumo da senha não está no formato esperado; nada foi alterado.";
    struct Case {
        std::string name, hash, outcome;
    };
    const Case cases[] = {
        {"", kHash1, badName},
        {std::string(41, 'a'), kHash1, badName},
        {"zé", kHash1, badName},
        {"ana maria", kHash1, badName},
        {"ana;--", kHash1, badName},
        {std::string("a\0b", 3), kHash1, badName},
        {"local", kHash1,
         "-32000: O nome \"local\" é reservado: o histórico o usa para as alterações feitas sem "
         "autenticação."},
        {"ana", "segredo123", badHash},
        {"ana", "", badHash},
        {"ana", kHash1 + " segredo", badHash},
        {std::string(40, 'a'), kHash1, "ok"},
        {"A.b_c-9", kHash1, "ok"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(describe(store->addUser(c.name, c.hash)), c.outcome) << c.name << " " << c.hash;
        EXPECT_EQ(describe(store->setUserPassword(c.name, c.hash)), c.outcome)
            << c.name << " " << c.hash;
        // A name no user can have is simply not found.
        EXPECT_EQ(user(c.name), c.outcome == "ok" ? "1:S" : "-") << c.name;
    }
}

STORE_BACKENDS(StoreUsers);

}  // namespace
}  // namespace storetest
