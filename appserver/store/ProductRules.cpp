#include "store/ProductRules.h"

namespace appserver {

wire::Status onlyFlagsChange(const LogFields& f, const std::vector<wire::Value>& oldValues,
                             const std::vector<wire::Value>& newValues,
                             std::initializer_list<std::size_t> keys) {
    for (std::size_t key : keys) {
        if (f.value(oldValues, key) != f.value(newValues, key))
            return {wire::ErrorCode::Refused, kOnlyFlags};
    }
    return {};
}

}  // namespace appserver
