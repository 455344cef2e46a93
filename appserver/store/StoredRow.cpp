#include "store/StoredRow.h"

#include <rapidjson/document.h>
#include <algorithm>

#include "wire/RemoteModule.h"

namespace appserver {

namespace {

namespace col = wire::column;

constexpr std::string_view kProductKey[] = {col::CDPRODUTO.name};
constexpr std::string_view kGroupKey[] = {col::CDGRUSUGESPROD.name};
constexpr std::string_view kMainKey[] = {col::CDGRUSUGESPROD.name, col::CDPRODUTO.name};
constexpr std::string_view kRelatedKey[] = {col::CDGRUSUGESPROD.name, col::CDPRODUTO.name,
                                            col::CDPRODUTORELAC.name};

bool has(const std::vector<std::string>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

wire::Result<StoredRow> StoredRow::parse(std::string_view json) {
    rapidjson::Document doc;
    doc.Parse(json.data(), json.size());
    if (doc.HasParseError() || !doc.IsObject())
        return wire::Status{wire::ErrorCode::Internal, "Linha do histórico ilegível."};
    StoredRow row;
    // By index: clang refuses the iterators' comparison as ambiguous under C++20.
    const auto members = doc.MemberBegin();
    for (rapidjson::SizeType i = 0; i < doc.MemberCount(); ++i) {
        const auto& member = members[i];
        if (!member.value.IsString() && !member.value.IsNull())
            return wire::Status{wire::ErrorCode::Internal, "Linha do histórico ilegível."};
        row.m_names.emplace_back(member.name.GetString(), member.name.GetStringLength());
        if (member.value.IsString())
            row.m_values.emplace_back(
                std::string(member.value.GetString(), member.value.GetStringLength()));
        else
            row.m_values.emplace_back(std::nullopt);
    }
    return row;
}

wire::Result<std::optional<StoredRow>> StoredRow::parseIfAny(const wire::Value& json) {
    if (!json) return std::optional<StoredRow>();
    auto row = parse(*json);
    if (!row) return row.status();
    return std::optional<StoredRow>(std::move(*row));
}

EntryKind entryKindNamed(const wire::Value& kind) {
    if (kind == "insert") return EntryKind::Insert;
    if (kind == "delete") return EntryKind::Delete;
    return EntryKind::Modify;
}

StoredTable StoredRow::table() const {
    if (has(m_names, col::CDPRODUTORELAC.name)) return StoredTable::RelatedProducts;
    if (has(m_names, col::IDQUANTPRODPRINC.name)) return StoredTable::MainProducts;
    if (has(m_names, col::NMGRUSUGESPROD.name)) return StoredTable::Groups;
    return StoredTable::Products;
}

std::span<const std::string_view> StoredRow::keyNames() const {
    switch (table()) {
        case StoredTable::Products:
            return kProductKey;
        case StoredTable::Groups:
            return kGroupKey;
        case StoredTable::MainProducts:
            return kMainKey;
        case StoredTable::RelatedProducts:
            break;
    }
    return kRelatedKey;
}

bool StoredRow::sameKey(const StoredRow& other) const {
    if (table() != other.table()) return false;
    for (std::string_view name : keyNames())
        if (value(name) != other.value(name)) return false;
    return true;
}

wire::ValueView StoredRow::value(std::string_view name) const {
    for (std::size_t i = 0; i < m_names.size(); ++i)
        if (m_names[i] == name) return m_values[i];
    return std::nullopt;
}

}  // namespace appserver
