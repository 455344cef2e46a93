#pragma once
// Keeps the first row a statement returns (existence tests, counts, one product, the version).

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "wire/PacketSink.h"

namespace appserver {

class FirstRowSink : public wire::PacketSink {
  public:
    wire::Status onFields(const std::vector<wire::FieldDef>&) override { return {}; }
    wire::Status onRow(std::span<const wire::ValueView> values) override {
        if (m_found) return {};
        m_found = true;
        for (const wire::ValueView& v : values)
            m_row.emplace_back(v ? std::optional<std::string>(*v) : std::nullopt);
        return {};
    }

    bool found() const { return m_found; }
    const std::vector<wire::Value>& row() const { return m_row; }
    // The first column as a number; 0 when there is no row or the value is null.
    long long number() const {
        return m_found && !m_row.empty() && m_row[0] ? std::atoll(m_row[0]->c_str()) : 0;
    }

  private:
    bool m_found = false;
    std::vector<wire::Value> m_row;
};

}  // namespace appserver
