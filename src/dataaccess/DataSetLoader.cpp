#include "dataaccess/DataSetLoader.h"

DataSetLoader::DataSetLoader(const std::string& dataSetName,
                             const std::vector<wire::FieldDef>& fields)
    : m_name(dataSetName),
      m_fields(fields),
      m_row(fields.size()),
      m_store(static_cast<int>(fields.size())) {}

wire::Status DataSetLoader::onFields(const std::vector<wire::FieldDef>& packetFields) {
    m_sawFields = true;
    m_source.clear();
    m_mustCount.clear();
    for (const wire::FieldDef& field : m_fields) {
        const int column = wire::fieldIndex(packetFields, field.name);
        if (column < 0)
            return refuse(m_name + ": o campo " + field.name + " não existe no pacote recebido.");
        m_source.push_back(column);
        m_mustCount.push_back(packetFields[static_cast<std::size_t>(column)].size > field.size);
    }
    return wire::Status::ok();
}

wire::Status DataSetLoader::onRow(std::span<const wire::ValueView> values) {
    if (!m_sawFields) return refuse(m_name + ": o pacote recebido traz linhas antes dos campos.");
    ++m_rowNumber;
    for (std::size_t f = 0; f < m_fields.size(); ++f) {
        const std::size_t column = static_cast<std::size_t>(m_source[f]);
        if (column >= values.size())
            return refuse(m_name + ": linha incompleta no pacote recebido.");
        const wire::ValueView& value = values[column];
        // The reader has held each value to the packet's own size; count only when ours is smaller.
        if (m_mustCount[f] && value &&
            wire::utf8Length(*value) > static_cast<std::size_t>(m_fields[f].size))
            return refuse(m_name + ": valor longo demais para o campo " + m_fields[f].name +
                          " na linha " + std::to_string(m_rowNumber) +
                          " do pacote recebido (máximo " + std::to_string(m_fields[f].size) +
                          " caracteres).");
        m_row[f] = value;
    }
    m_store.append(m_store.make(std::span<const wire::ValueView>(m_row)));
    return wire::Status::ok();
}

wire::Status DataSetLoader::refuse(std::string message) {
    m_refused = true;
    return {wire::ErrorCode::BadPacket, std::move(message)};
}

RowStore DataSetLoader::take() {
    m_store.shrinkToFit();
    return std::move(m_store);
}
