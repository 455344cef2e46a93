#include "framework/FrameworkUtils.h"

#include <algorithm>

#include "controls/TDBGrid.h"
#include "wire/FieldDef.h"

namespace {
// Characters, not bytes: texts are UTF-8.
int CharCount(std::string_view text) { return static_cast<int>(wire::utf8Length(text)); }
}  // namespace

std::string Ajusta(std::string_view text, int width) {
    int length = CharCount(text);
    if (length >= width) return std::string(text);
    bool digits = !text.empty() && std::all_of(text.begin(), text.end(),
                                               [](char c) { return c >= '0' && c <= '9'; });
    std::string padding(static_cast<size_t>(width - length), digits ? '0' : ' ');
    return digits ? padding + std::string(text) : std::string(text) + padding;
}

bool EmptyString(std::string_view text) { return text.empty(); }

int IndiceCol(const TDBGrid& grid, std::string_view fieldName) {
    const TDBGridColumns& columns = grid.Columns();
    for (int i = 0; i < columns.Count(); ++i)
        if (columns[i].FieldName == fieldName) return i;
    return -1;
}
