#include "store/ConstraintMessages.h"

#include <strings.h>
#include <iostream>
#include <string>
#include <vector>

#include "store/LogText.h"
#include "wire/RemoteModule.h"

namespace appserver {

namespace {

struct Known {
    const char* name;     // as declared in the schema (PostgreSQL reports it in lower case)
    const char* columns;  // SQLite's "TABLE.COLUMN, ..." for unique constraints
    std::string message;
};

constexpr const char* kFlag = "Indicador deve ser \"S\" ou \"N\".";

// "<head> no máximo N caracteres.", N the column's size.
std::string atMost(const char* head, const wire::Column& c) {
    return std::string(head) + " no máximo " + std::to_string(c.size) + " caracteres.";
}

const std::vector<Known> kKnown = {
    {"PK_GRUSUGESPROD", "GRUSUGESPROD.CDGRUSUGESPROD", "Código já cadastrado."},
    {"UQ_GRUSUGESPROD_ORDEM", "GRUSUGESPROD.NRORDEM", "Ordem já cadastrada."},
    {"UQ_GRUSUGESPROD_NOME", "GRUSUGESPROD.NMGRUSUGESCHAVE", "Nome já cadastrado."},
    {"PK_PRODPRINC", "PRODPRINC.CDGRUSUGESPROD, PRODPRINC.CDPRODUTO", "Produto já cadastrado."},
    {"PK_PRODRELAC", "PRODRELAC.CDGRUSUGESPROD, PRODRELAC.CDPRODUTO, PRODRELAC.CDPRODUTORELAC",
     "Produto já cadastrado."},
    {"PK_PRODUTO", "PRODUTO.CDPRODUTO", "Produto já cadastrado."},
    {"UQ_PRODUTO_ARV", "PRODUTO.CDARVPROD", "Código de árvore do produto já cadastrado."},
    {"PK_USERS", "users.name", "Usuário já cadastrado."},
    {"CK_GRUSUGESPROD_CODIGO", "",
     atMost("Código deve ser informado, com", wire::column::CDGRUSUGESPROD)},
    {"CK_GRUSUGESPROD_NOME", "",
     atMost("Nome deve ser informado, com", wire::column::NMGRUSUGESPROD)},
    {"CK_GRUSUGESPROD_ORDEM", "", atMost("Ordem deve ser informada, com", wire::column::NRORDEM)},
    {"CK_PRODUTO_CODIGO", "",
     atMost("Código do produto deve ser informado, com", wire::column::CDPRODUTO)},
    {"CK_PRODUTO_ARV", "",
     atMost("Código de árvore do produto deve ser informado, com", wire::column::CDARVPROD)},
    {"CK_PRODUTO_NOME", "", atMost("Nome do produto deve ter", wire::column::NMPRODUTO)},
    {"CK_PRODRELAC_PROPRIO", "", "Um produto não pode ser relacionado a ele mesmo."},
    {"CK_PRODPRINC_QUANT", "", kFlag},
    {"CK_PRODPRINC_TOTAL", "", kFlag},
    {"CK_PRODRELAC_QUANT", "", kFlag},
    {"CK_PRODRELAC_TOTAL", "", kFlag},
};

constexpr const char* kRetryMessage = "Outra gravação simultânea impediu esta. Tente novamente.";

const std::string* knownMessage(const std::string& constraint) {
    for (const Known& k : kKnown) {
        if (strcasecmp(constraint.c_str(), k.name) == 0) return &k.message;
        if (*k.columns && strcasecmp(constraint.c_str(), k.columns) == 0) return &k.message;
    }
    return nullptr;
}

}  // namespace

wire::Status ConstraintMessages::describe(const SqlError& err, std::string_view foreignKeyMessage) {
    using wire::ErrorCode;
    switch (err.kind) {
        case SqlFailure::None:
            return {};
        case SqlFailure::Aborted:
            return err.sinkStatus;
        case SqlFailure::Unique:
        case SqlFailure::Check:
            if (const std::string* message = knownMessage(err.constraint))
                return {ErrorCode::Refused, *message};
            return {ErrorCode::Refused, "Valor recusado pelas regras do cadastro."};
        case SqlFailure::ForeignKey:
            if (!foreignKeyMessage.empty())
                return {ErrorCode::Refused, std::string(foreignKeyMessage)};
            return {ErrorCode::Refused,
                    "O registro depende de outro que não existe ou impede a exclusão."};
        case SqlFailure::Retry:
            return {ErrorCode::Unavailable, kRetryMessage};
        case SqlFailure::Busy:
            return {ErrorCode::Unavailable,
                    "O banco de dados está ocupado com outra gravação. Tente novamente."};
        case SqlFailure::Lost:
            std::cerr << "vlp-appserver: database connection lost: " << escapeForLog(err.detail)
                      << '\n';
            return {ErrorCode::Unavailable,
                    "A conexão com o banco de dados foi perdida. Tente novamente."};
        case SqlFailure::Other:
            break;
    }
    std::cerr << "vlp-appserver: database error: " << escapeForLog(err.detail) << '\n';
    return {ErrorCode::Internal, "Erro no banco de dados; nada foi alterado."};
}

bool ConstraintMessages::mayRetry(const wire::Status& status) {
    return status.code() == static_cast<int>(wire::ErrorCode::Unavailable) &&
           status.message() == kRetryMessage;
}

}  // namespace appserver
