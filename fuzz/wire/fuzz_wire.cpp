// Feeds arbitrary bytes to every decoder of the wire format. Whatever decodes must encode back to
// something that decodes to the same value.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "wire/ChangeLog.h"
#include "wire/Packet.h"
#include "wire/Rpc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);

    if (auto packet = wire::Packet::fromJson(input); packet.isOk()) {
        auto again = wire::Packet::fromJson(packet->toJson());
        if (!again.isOk() || !(*again == *packet)) std::abort();
    }
    if (auto log = wire::ChangeLog::fromJson(input); log.isOk()) {
        auto again = wire::ChangeLog::fromJson(log->toJson());
        if (!again.isOk() || !(*again == *log)) std::abort();
    }
    std::string id;
    if (auto request = wire::readRequest(input, id); request.isOk()) {
        for (const wire::Argument& a : request->params) {
            if (a.kind == wire::ArgKind::Packet) (void)wire::ChangeLog::fromJson(a.value);
        }
    }
    if (auto answer = wire::readAnswer(input, 1); answer.isOk() && !answer->payload.empty()) {
        (void)wire::Packet::fromJson(answer->payload);
    }
    return 0;
}
