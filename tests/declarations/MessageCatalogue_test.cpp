#include "declarations/MessageCatalogue.h"

#include <gtest/gtest.h>

namespace {

std::string Keys(const std::vector<std::string>& entries) {
    std::string keys;
    for (const std::string& e : entries) keys += e.substr(0, e.find('|')) + ' ';
    return keys;
}

TEST(MessageCatalogue, ScreenEntriesInOrder) {
    EXPECT_EQ(Keys(declarations::ScreenMessages()),
              "Excl GetGrupSegProd Recebendo Grup_Inf Grup_JCad Nm_Inf Nom_ja_Cad Ordem_Inf "
              "Ordem_JCad PRODUTO Prod_N_Cad Prod_N_Inf Prod_Cad um dois tres ");
    const auto& e = declarations::ScreenMessages();
    EXPECT_EQ(e[0], "Excl|Confirma exclusão?");
    EXPECT_EQ(e[2], "Recebendo|Atualizando os registros no servidor...");
    EXPECT_EQ(e[7], "Ordem_Inf|Ordem deve ser informada.");
    EXPECT_EQ(e[10], "Prod_N_Cad|Produto não cadastrado.");
    EXPECT_EQ(e[15], "tres|tres");
}

TEST(MessageCatalogue, StandardKeysAreLeftToTheStandardCatalogue) {
    for (const std::string& e : declarations::ScreenMessages())
        for (const char* standard : {"verificando", "Atualizando", "Atualiza", "Canc"})
            EXPECT_NE(e.substr(0, e.find('|')), standard);
}

}  // namespace
