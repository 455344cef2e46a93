#include "transfer/CurrentSuggestions.h"

namespace appserver {

namespace {

// Fields of Store::suggestions, in its order.
enum { kGroup, kName, kOrder, kMain, kMainQuantity, kMainTotal, kRelated, kQuantity, kTotal };

wire::Value owned(wire::ValueView v) { return v ? wire::Value(*v) : std::nullopt; }

class CurrentSink : public wire::PacketSink {
  public:
    explicit CurrentSink(CurrentSuggestions& current) : m_current(current) {}
    wire::Status onFields(const std::vector<wire::FieldDef>&) override { return {}; }
    wire::Status onRow(std::span<const wire::ValueView> v) override {
        CurrentGroup& group = m_current[std::string(v[kGroup].value_or(""))];
        group.name = v[kName].value_or("");
        group.order = v[kOrder].value_or("");
        if (!v[kMain]) return {};
        CurrentMain& main = group.mains[std::string(*v[kMain])];
        main.flags = {owned(v[kMainQuantity]), owned(v[kMainTotal])};
        if (v[kRelated])
            main.related[std::string(*v[kRelated])] = {owned(v[kQuantity]), owned(v[kTotal])};
        return {};
    }

  private:
    CurrentSuggestions& m_current;
};

}  // namespace

wire::Result<CurrentSuggestions> readCurrentSuggestions(Store& store) {
    CurrentSuggestions current;
    CurrentSink sink(current);
    if (wire::Status status = store.suggestions("", sink); !status) return status;
    return current;
}

}  // namespace appserver
