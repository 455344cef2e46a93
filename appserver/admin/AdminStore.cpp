#include "admin/AdminStore.h"

#include "admin/AdminReplies.h"
#include "store/DatabaseUrl.h"

namespace appserver {

std::unique_ptr<Store> openAdminStore(std::string_view url, std::ostream& err) {
    auto factory = makeStoreFactory(url);
    auto store =
        factory ? (*factory)->open() : wire::Result<std::unique_ptr<Store>>(factory.status());
    if (store) return std::move(*store);
    refuse(err, "banco " + hidePasswords(std::string(url), url) + ": " + store.status().message());
    return nullptr;
}

}  // namespace appserver
