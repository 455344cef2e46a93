#pragma once
// The remote module "VLP27000.rdmSugestaoProd": its 14 methods as a {name, argument kinds,
// handler} table. The dispatcher checks the count and kinds of the arguments before a handler
// runs; a handler checks sizes and codes, makes one Store call and leaves in/out values in args.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/Store.h"
#include "wire/Rpc.h"

namespace appserver {

inline constexpr std::string_view kModuleName = "VLP27000.rdmSugestaoProd";

// What one argument position accepts. The screen sends the operation code of the product writes
// in/out after a post (its pending code) and as a plain literal after a delete, hence TextOrInOut.
enum class ParamKind { Text, TextInOut, TextOrInOut, Packet };

// payload receives the answer's packet JSON; it stays empty for writes (a null payload). origin
// names the caller and the method; a write adds its operation code and passes it to the store.
using MethodHandler = wire::Status (*)(Store& store, std::vector<wire::Argument>& args,
                                       std::string& payload, ChangeOrigin origin);

// ByKey: reads the rows of one key, a cost that does not grow with the data; Grows: reads a
// list or applies a change log. Where a call runs follows from it.
enum class CallCost { ByKey, Grows };

struct MethodEntry {
    std::string_view name;
    CallCost cost;
    int maxText;  // characters of the longest text argument it takes (0: it takes none)
    std::span<const ParamKind> kinds;
    MethodHandler handler;
};

// The 14 methods, in catalogue order.
std::span<const MethodEntry> rdmSugestaoProd();

// The entry of that exact name, or nullptr.
const MethodEntry* findMethod(std::string_view name);

// The maxText of that method, 0 when it is unknown: the bound the request reader applies.
std::size_t maxTextOf(std::string_view method);

// Checks args against entry.kinds (count, kind, UTF-8), then runs the handler on behalf of user
// (the history's "who").
wire::Status callMethod(const MethodEntry& entry, Store& store, std::vector<wire::Argument>& args,
                        std::string& payload, std::string_view user);

}  // namespace appserver
