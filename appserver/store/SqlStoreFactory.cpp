#include "store/SqlStoreFactory.h"

#include <libpq-fe.h>

#include "store/DatabaseUrl.h"
#include "store/PgConnection.h"
#include "store/Schema.h"
#include "store/SqlStore.h"
#include "store/SqliteConnection.h"

namespace appserver {

wire::Result<std::unique_ptr<Store>> SqlStoreFactory::open() {
    auto conn = m_connect();
    if (!conn) return conn.status();
    if (m_private) {
        if (wire::Status status = Schema::ensure(**conn); !status) return status;
    } else {
        std::lock_guard lock(m_mutex);
        if (!m_schemaReady) {
            if (wire::Status status = Schema::ensure(**conn); !status) return status;
            m_schemaReady = true;
        }
    }
    return std::unique_ptr<Store>(new SqlStore(std::move(*conn)));
}

namespace {

// The address is not repeated (callers show it with its password hidden), and libpq's own words
// may quote it whole: its passwords are hidden there too.
wire::Status badUrl(std::string_view url, const std::string& why) {
    return {
        wire::ErrorCode::InvalidParams,
        "Endereço de banco de dados inválido: " + hidePasswords(why, url) +
            ". Use sqlite:ARQUIVO, sqlite::memory: ou postgresql://usuário@servidor:porta/banco."};
}

template <class Connection>
SqlStoreFactory::Connect connector(std::string target) {
    return [target]() -> wire::Result<std::unique_ptr<SqlConnection>> {
        auto conn = Connection::open(target);
        if (!conn) return conn.status();
        return std::unique_ptr<SqlConnection>(std::move(*conn));
    };
}

}  // namespace

wire::Result<std::unique_ptr<StoreFactory>> makeStoreFactory(std::string_view url) {
    if (url.find('\0') != std::string_view::npos) return badUrl("", "contém um caractere nulo");
    if (url.starts_with("sqlite:")) {
        std::string path(url.substr(7));
        if (path.empty()) return badUrl(url, "falta o caminho do arquivo");
        bool memory = path == ":memory:";
        return std::unique_ptr<StoreFactory>(
            new SqlStoreFactory(connector<SqliteConnection>(path), memory));
    }
    if (url.starts_with("postgresql://") || url.starts_with("postgres://")) {
        std::string text(url);
        char* error = nullptr;
        PQconninfoOption* options = PQconninfoParse(text.c_str(), &error);
        if (!options) {
            std::string why = error ? error : "formato não reconhecido";
            PQfreemem(error);
            while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
            return badUrl(url, why);
        }
        bool portOk = true;
        for (PQconninfoOption* o = options; o->keyword; ++o) {
            if (std::string_view(o->keyword) != "port" || !o->val) continue;
            // Several hosts may carry several ports, separated by commas.
            for (char c : std::string_view(o->val))
                portOk = portOk && ((c >= '0' && c <= '9') || c == ',');
        }
        PQconninfoFree(options);
        if (!portOk) return badUrl(url, "a porta deve ser um número");
        return std::unique_ptr<StoreFactory>(
            new SqlStoreFactory(connector<PgConnection>(text), false));
    }
    return badUrl(url, "tipo de banco desconhecido");
}

}  // namespace appserver
