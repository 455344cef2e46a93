#include "MessageCatalogue.h"

#include <gtest/gtest.h>

namespace {

std::string Keys(const std::vector<std::string>& entries) {
    std::string keys;
    for (const std::string& e : entries) keys += e.substr(0, e.find('|')) + ' ';
    return keys;
}

TEST(MessageCatalogue, ScreenEntriesInOrder) {
    EXPECT_EQ(Keys(model::ScreenMessages()),
              "Excl GetGrupSegProd Recebendo Grup_Inf Grup_JCad Nm_Inf Nom_ja_Cad Ordem_Inf "
              "Ordem_JCad PRODUTO Prod_N_Cad Prod_N_Inf Prod_Cad um dois tres ");
    const auto& e = model::ScreenMessages();
    EXPECT_EQ(e[0], "Excl|Confirma exclusão?");
    EXPECT_EQ(e[2], "Recebendo|Atualizando os registros no servidor...");
    EXPECT_EQ(e[7], "Ordem_Inf|Ordem deve ser informada.");
    EXPECT_EQ(e[10], "Prod_N_Cad|Produto não cadastrado.");
    EXPECT_EQ(e[15], "tres|tres");
}

TEST(MessageCatalogue, StandardKeysHaveTextsAndAreNotScreenEntries) {
    EXPECT_EQ(Keys(model::StandardMessages()), "verificando Atualizando Atualiza Canc ");
    for (const std::string& e : model::StandardMessages()) {
        EXPECT_GT(e.size(), e.find('|') + 1) << e;
        for (const std::string& s : model::ScreenMessages())
            EXPECT_NE(s.substr(0, s.find('|')), e.substr(0, e.find('|')));
    }
}

}  // namespace
