#pragma once
// The remote module "VLP27000.rdmSugestaoProd" as the server runs it: each method of the
// description (wire/RemoteModule.h) with its cost and handler. The dispatcher checks the count,
// kinds and sizes of the arguments before a handler runs; a handler checks codes, makes one Store
// call and leaves in/out values in args.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/Store.h"
#include "wire/RemoteModule.h"
#include "wire/Rpc.h"

namespace appserver {

// payload receives the answer's packet JSON; it stays empty for writes (a null payload). origin
// names the caller and the method; a write adds its operation code and passes it to the store.
using MethodHandler = wire::Status (*)(Store& store, std::vector<wire::Argument>& args,
                                       std::string& payload, ChangeOrigin origin);

// ByKey: reads the rows of one key, a cost that does not grow with the data; Grows: reads a
// list or applies a change log. Where a call runs follows from it.
enum class CallCost { ByKey, Grows };

// A method as described (name, arguments, answer), with what running it takes on the server.
struct MethodEntry : wire::Method {
    CallCost cost;
    MethodHandler handler;
};

// The methods, in the description's order.
std::span<const MethodEntry> rdmSugestaoProd();

// The entry of that exact name, or nullptr.
const MethodEntry* findMethod(std::string_view name);

// Characters of that method's longest text argument, 0 when it is unknown or takes none: the
// bound the request reader applies.
std::size_t maxTextOf(std::string_view method);

// Checks args against entry.params (count, kind, UTF-8, size), then runs the handler on behalf of
// user (the history's "who").
wire::Status callMethod(const MethodEntry& entry, Store& store, std::vector<wire::Argument>& args,
                        std::string& payload, std::string_view user);

}  // namespace appserver
