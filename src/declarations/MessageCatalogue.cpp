#include "declarations/MessageCatalogue.h"

namespace declarations {

const std::vector<std::string>& ScreenMessages() {
    static const std::vector<std::string> entries = {
        "Excl|Confirma exclusão?",
        "GetGrupSegProd|Verificando os registros no servidor...",
        "Recebendo|Atualizando os registros no servidor...",
        "Grup_Inf|Código deve ser informado.",
        "Grup_JCad|Código já cadastrado.",
        "Nm_Inf|Nome deve ser informado.",
        "Nom_ja_Cad|Nome já cadastrado.",
        "Ordem_Inf|Ordem deve ser informada.",
        "Ordem_JCad|Ordem já cadastrada.",
        "PRODUTO|Produto",
        "Prod_N_Cad|Produto não cadastrado.",
        "Prod_N_Inf|Produto deve ser informado.",
        "Prod_Cad|Produto já cadastrado.",
        "um|um",
        "dois|dois",
        "tres|tres",
    };
    return entries;
}

}  // namespace declarations
