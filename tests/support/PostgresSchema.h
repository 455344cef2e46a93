#pragma once
// A private schema in the PostgreSQL database named by VLP_TEST_PG, made on construction and
// dropped with all it holds on destruction, so that tests and test programs running side by side
// never meet. url() is the database's address with the schema as its search path.

#include <string>
#include <string_view>

class PostgresSchema {
  public:
    // The database of VLP_TEST_PG; "" when it is not set.
    static std::string base();

    // Named prefix + process id + a count, unique among the programs running at once.
    explicit PostgresSchema(std::string_view prefix);
    ~PostgresSchema();
    PostgresSchema(const PostgresSchema&) = delete;
    PostgresSchema& operator=(const PostgresSchema&) = delete;

    // "" once the schema is made; else why it is not (no VLP_TEST_PG, the database's error).
    const std::string& error() const { return m_error; }
    const std::string& name() const { return m_name; }
    std::string url() const;

  private:
    std::string m_base;
    std::string m_name;
    std::string m_error;
};

// Runs SQL on the PostgreSQL database at url; the database's error text, or "" when it ran.
std::string postgresExec(const std::string& url, const std::string& sql);
