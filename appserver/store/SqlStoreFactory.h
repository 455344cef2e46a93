#pragma once
// Opens SqlStores on one database. The schema is made or upgraded by the first successful open
// (every open for a private in-memory database); open() may be called from any thread.

#include <functional>
#include <mutex>

#include "store/SqlConnection.h"
#include "store/Store.h"

namespace appserver {

class SqlStoreFactory : public StoreFactory {
  public:
    using Connect = std::function<wire::Result<std::unique_ptr<SqlConnection>>()>;

    SqlStoreFactory(Connect connect, bool privateDatabase)
        : m_connect(std::move(connect)), m_private(privateDatabase) {}

    wire::Result<std::unique_ptr<Store>> open() override;

  private:
    Connect m_connect;
    bool m_private;
    std::mutex m_mutex;
    bool m_schemaReady = false;
};

}  // namespace appserver
