// Feeds arbitrary bytes to the request handler over an in-memory SQLite store seeded with the
// demo catalogue. An input starting with "/" names its own target on its first line.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "rpc/RequestHandler.h"
#include "store/Store.h"

namespace {

appserver::Store& store() {
    static auto instance = [] {
        auto factory = appserver::makeStoreFactory("sqlite::memory:");
        if (!factory) std::abort();
        auto opened = (*factory)->open();
        if (!opened || !(*opened)->seedDemo()) std::abort();
        return std::move(*opened);
    }();
    return *instance;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view target = "/VLP27000.rdmSugestaoProd";
    if (input.starts_with('/')) {
        auto eol = input.find('\n');
        target = input.substr(0, eol);
        input = eol == std::string_view::npos ? std::string_view() : input.substr(eol + 1);
    }
    auto reply = appserver::handleRequest(store(), "POST", target, input);
    // Every answer but a notification's carries a JSON-RPC body.
    if (reply.status != 204 && reply.body.empty()) std::abort();
    return 0;
}
