#include "store/Schema.h"

#include <iostream>
#include <string>

#include "store/FirstRowSink.h"
#include "store/LogText.h"
#include "wire/RemoteModule.h"

namespace appserver {

namespace {

// Version 1. Sizes count characters (length() does so for text in both databases) and come from
// the remote module's description ({NAME} below); names of constraints matter: refusals are worded
// by them (ConstraintMessages).
constexpr const char* kVersion1 = R"sql(
CREATE TABLE PRODUTO (
    CDPRODUTO TEXT NOT NULL,
    CDARVPROD TEXT NOT NULL,
    NMPRODUTO TEXT NOT NULL,
    CDARVPRODDIG TEXT NOT NULL,
    CONSTRAINT PK_PRODUTO PRIMARY KEY (CDPRODUTO),
    CONSTRAINT UQ_PRODUTO_ARV UNIQUE (CDARVPROD),
    CONSTRAINT CK_PRODUTO_CODIGO CHECK (length(trim(CDPRODUTO)) > 0 AND length(CDPRODUTO) <= {CDPRODUTO}),
    CONSTRAINT CK_PRODUTO_ARV CHECK (length(trim(CDARVPROD)) > 0 AND length(CDARVPROD) <= {CDARVPROD}),
    CONSTRAINT CK_PRODUTO_NOME CHECK (length(NMPRODUTO) <= {NMPRODUTO})
);
CREATE INDEX IX_PRODUTO_ARVDIG ON PRODUTO (CDARVPRODDIG);

CREATE TABLE GRUSUGESPROD (
    CDGRUSUGESPROD TEXT NOT NULL,
    NMGRUSUGESPROD TEXT NOT NULL,
    NRORDEM TEXT NOT NULL,
    NMGRUSUGESCHAVE TEXT NOT NULL,
    CONSTRAINT PK_GRUSUGESPROD PRIMARY KEY (CDGRUSUGESPROD),
    CONSTRAINT UQ_GRUSUGESPROD_ORDEM UNIQUE (NRORDEM),
    CONSTRAINT UQ_GRUSUGESPROD_NOME UNIQUE (NMGRUSUGESCHAVE),
    CONSTRAINT CK_GRUSUGESPROD_CODIGO
        CHECK (length(trim(CDGRUSUGESPROD)) > 0 AND length(CDGRUSUGESPROD) <= {CDGRUSUGESPROD}),
    CONSTRAINT CK_GRUSUGESPROD_NOME CHECK (length(trim(NMGRUSUGESPROD)) > 0
        AND length(NMGRUSUGESPROD) <= {NMGRUSUGESPROD} AND length(NMGRUSUGESCHAVE) > 0),
    CONSTRAINT CK_GRUSUGESPROD_ORDEM CHECK (length(trim(NRORDEM)) > 0 AND length(NRORDEM) <= {NRORDEM})
);

CREATE TABLE PRODPRINC (
    CDGRUSUGESPROD TEXT NOT NULL,
    CDPRODUTO TEXT NOT NULL,
    IDQUANTPRODPRINC TEXT,
    IDTOTALPRODPRINC TEXT,
    CONSTRAINT PK_PRODPRINC PRIMARY KEY (CDGRUSUGESPROD, CDPRODUTO),
    CONSTRAINT FK_PRODPRINC_GRUPO FOREIGN KEY (CDGRUSUGESPROD)
        REFERENCES GRUSUGESPROD (CDGRUSUGESPROD) ON UPDATE CASCADE ON DELETE RESTRICT,
    CONSTRAINT FK_PRODPRINC_PRODUTO FOREIGN KEY (CDPRODUTO)
        REFERENCES PRODUTO (CDPRODUTO) ON UPDATE CASCADE ON DELETE RESTRICT,
    CONSTRAINT CK_PRODPRINC_QUANT CHECK (IDQUANTPRODPRINC IS NULL OR IDQUANTPRODPRINC IN ('S', 'N')),
    CONSTRAINT CK_PRODPRINC_TOTAL CHECK (IDTOTALPRODPRINC IS NULL OR IDTOTALPRODPRINC IN ('S', 'N'))
);
CREATE INDEX IX_PRODPRINC_PRODUTO ON PRODPRINC (CDPRODUTO);

CREATE TABLE PRODRELAC (
    CDGRUSUGESPROD TEXT NOT NULL,
    CDPRODUTO TEXT NOT NULL,
    CDPRODUTORELAC TEXT NOT NULL,
    IDQUANTPROD TEXT,
    IDTOTALPROD TEXT,
    CONSTRAINT PK_PRODRELAC PRIMARY KEY (CDGRUSUGESPROD, CDPRODUTO, CDPRODUTORELAC),
    CONSTRAINT FK_PRODRELAC_PRINC FOREIGN KEY (CDGRUSUGESPROD, CDPRODUTO)
        REFERENCES PRODPRINC (CDGRUSUGESPROD, CDPRODUTO) ON UPDATE CASCADE ON DELETE CASCADE,
    CONSTRAINT FK_PRODRELAC_PRODUTO FOREIGN KEY (CDPRODUTORELAC)
        REFERENCES PRODUTO (CDPRODUTO) ON UPDATE CASCADE ON DELETE RESTRICT,
    CONSTRAINT CK_PRODRELAC_PROPRIO CHECK (CDPRODUTORELAC <> CDPRODUTO),
    CONSTRAINT CK_PRODRELAC_QUANT CHECK (IDQUANTPROD IS NULL OR IDQUANTPROD IN ('S', 'N')),
    CONSTRAINT CK_PRODRELAC_TOTAL CHECK (IDTOTALPROD IS NULL OR IDTOTALPROD IN ('S', 'N'))
);
CREATE INDEX IX_PRODRELAC_RELAC ON PRODRELAC (CDPRODUTORELAC);
)sql";

// Version 2: who may change the data, and who did. Times are text, "YYYY-MM-DDTHH:MM:SS.mmmZ"
// (UTC), so they sort and compare alike in both databases; {ID} is an identity column.
constexpr const char* kVersion2 = R"sql(
CREATE TABLE users (
    name TEXT NOT NULL,
    password_hash TEXT NOT NULL,
    enabled TEXT NOT NULL,
    created_at TEXT NOT NULL,
    changed_at TEXT NOT NULL,
    CONSTRAINT PK_USERS PRIMARY KEY (name),
    CONSTRAINT CK_USERS_NAME CHECK (length(name) BETWEEN 1 AND 40),
    CONSTRAINT CK_USERS_ENABLED CHECK (enabled IN ('S', 'N'))
);

CREATE TABLE history (
    id {ID},
    at_utc TEXT NOT NULL,
    user_name TEXT NOT NULL,
    method TEXT NOT NULL,
    operation TEXT NOT NULL,
    kind TEXT NOT NULL,
    group_code TEXT,
    old_row TEXT,
    new_row TEXT,
    CONSTRAINT CK_HISTORY_KIND CHECK (kind IN ('insert', 'modify', 'delete'))
);
CREATE INDEX IX_HISTORY_AT ON history (at_utc);
CREATE INDEX IX_HISTORY_GROUP ON history (group_code);
)sql";

// Version 3: every write is one save (gravação), named by each of its history rows, which also
// name the list (main product) they belong to so a list's history is read by index. Each row
// written before is a save of its own, numbered as the row. Where a product is related is read
// from one index holding the list and the flags, without reading the table.
constexpr const char* kVersion3 = R"sql(
CREATE TABLE saves (
    id {SAVEID},
    at_utc TEXT NOT NULL,
    user_name TEXT NOT NULL,
    origin TEXT NOT NULL,
    undoes BIGINT,
    undone_by BIGINT
);
ALTER TABLE history ADD COLUMN save_id BIGINT;
ALTER TABLE history ADD COLUMN main_product TEXT;
INSERT INTO saves (id, at_utc, user_name, origin) SELECT id, at_utc, user_name, method FROM history;
UPDATE history SET save_id = id, main_product = {ROWPRODUCT} WHERE group_code IS NOT NULL;
UPDATE history SET save_id = id WHERE group_code IS NULL;
CREATE INDEX IX_HISTORY_SAVE ON history (save_id);
CREATE INDEX IX_HISTORY_GROUP_ID ON history (group_code, id);
CREATE INDEX IX_HISTORY_LIST_ID ON history (group_code, main_product, id);
DROP INDEX IX_HISTORY_GROUP;
CREATE INDEX IX_PRODRELAC_USO ON PRODRELAC (CDPRODUTORELAC, CDGRUSUGESPROD, CDPRODUTO,
    IDQUANTPROD, IDTOTALPROD);
DROP INDEX IX_PRODRELAC_RELAC;
)sql";

// Version 3 on PostgreSQL only: the saves numbered from the rows above continue past them.
constexpr const char* kVersion3Postgres = R"sql(
SELECT setval(pg_get_serial_sequence('saves', 'id'), (SELECT coalesce(max(id), 0) + 1 FROM saves), false);
)sql";

constexpr wire::Column kSizedColumns[] = {
    wire::column::CDPRODUTO,      wire::column::CDARVPROD,      wire::column::NMPRODUTO,
    wire::column::CDGRUSUGESPROD, wire::column::NMGRUSUGESPROD, wire::column::NRORDEM};

void replaceAll(std::string& sql, const std::string& from, const std::string& to) {
    for (auto at = sql.find(from); at != std::string::npos; at = sql.find(from, at + to.size())) {
        sql.replace(at, from.size(), to);
    }
}

// The script with each {NAME} of kSizedColumns replaced by that column's size.
std::string withSizes(std::string sql) {
    for (const wire::Column& c : kSizedColumns)
        replaceAll(sql, "{" + std::string(c.name) + "}", std::to_string(c.size));
    return sql;
}

struct Migration {
    const char* sql;
    const char* postgresOnly;
};

constexpr Migration kMigrations[] = {
    {kVersion1, ""}, {kVersion2, ""}, {kVersion3, kVersion3Postgres}};

constexpr const char* kVersionTable =
    "CREATE TABLE IF NOT EXISTS VLPVERSAO (NRVERSAO INTEGER NOT NULL)";
const Query kReadVersion{"SELECT NRVERSAO FROM VLPVERSAO"};
const Query kInsertVersion{"INSERT INTO VLPVERSAO (NRVERSAO) VALUES (CAST($1 AS INTEGER))"};
const Query kUpdateVersion{"UPDATE VLPVERSAO SET NRVERSAO = CAST($1 AS INTEGER)"};

// PostgreSQL compares text by the database's locale unless told otherwise; byte order keeps
// both databases sorting and matching alike. SQLite numbers an INTEGER PRIMARY KEY by itself.
std::string forDialect(std::string sql, Dialect dialect) {
    if (dialect != Dialect::Postgres) {
        replaceAll(sql, "{ID}", "INTEGER PRIMARY KEY");
        replaceAll(sql, "{SAVEID}", "INTEGER PRIMARY KEY");
        replaceAll(sql, "{ROWPRODUCT}", "json_extract(coalesce(new_row, old_row), '$.CDPRODUTO')");
        return sql;
    }
    replaceAll(sql, " TEXT", " TEXT COLLATE \"C\"");
    replaceAll(sql, "{ID}", "BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY");
    // Numbers given by the migration itself are taken.
    replaceAll(sql, "{SAVEID}", "BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
    replaceAll(sql, "{ROWPRODUCT}", "(coalesce(new_row, old_row)::json ->> 'CDPRODUTO')");
    return sql;
}

wire::Status failed(const char* what, const SqlError& err) {
    std::cerr << "vlp-appserver: schema: " << what << ": " << escapeForLog(err.detail) << '\n';
    return {wire::ErrorCode::Unavailable,
            std::string("Não foi possível preparar o esquema do banco de dados (") + what + ")."};
}

wire::Status upgrade(SqlConnection& conn) {
    if (SqlError err = conn.lockSchema()) return failed("bloqueio", err);
    if (SqlError err = conn.script(kVersionTable)) return failed("versão", err);
    FirstRowSink version;
    if (SqlError err = conn.run(kReadVersion, {}, &version)) return failed("versão", err);
    long long current = version.number();
    if (current > Schema::kVersion) {
        return {wire::ErrorCode::Unavailable,
                "O banco de dados está na versão " + std::to_string(current) +
                    ", mais nova que a deste servidor (" + std::to_string(Schema::kVersion) + ")."};
    }
    for (long long v = current + 1; v <= Schema::kVersion; ++v) {
        const Migration& m = kMigrations[v - 1];
        std::string sql =
            std::string(m.sql) + (conn.dialect() == Dialect::Postgres ? m.postgresOnly : "");
        sql = forDialect(withSizes(sql), conn.dialect());
        if (SqlError err = conn.script(sql)) return failed("criação das tabelas", err);
    }
    if (current < Schema::kVersion) {
        std::string text = std::to_string(Schema::kVersion);
        wire::ValueView param[] = {text};
        const Query& write = version.found() ? kUpdateVersion : kInsertVersion;
        if (SqlError err = conn.run(write, param, nullptr)) return failed("versão", err);
    }
    return {};
}

}  // namespace

wire::Status Schema::ensure(SqlConnection& conn) {
    if (SqlError err = conn.begin()) return failed("transação", err);
    wire::Status status = upgrade(conn);
    if (!status) {
        conn.rollback();
        return status;
    }
    if (SqlError err = conn.commit()) return failed("confirmação", err);
    return {};
}

}  // namespace appserver
