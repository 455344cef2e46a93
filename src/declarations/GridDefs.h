#pragma once
// The screen's grids as data: which record set each shows and its columns with their pixel
// widths. A width of 0 means the column is sized from its field's display width.

#include <string>
#include <string_view>
#include <vector>

namespace declarations {

// Options of the two product grids; the group grid keeps the base form's own.
enum TGridOption : unsigned {
    goEditing = 1u << 0,
    goTitles = 1u << 1,
    goColumnResize = 1u << 2,
    goColLines = 1u << 3,
    goRowLines = 1u << 4,
    goTabs = 1u << 5,
    goAlwaysShowSelection = 1u << 6,
    goConfirmDelete = 1u << 7,
    goCancelOnExit = 1u << 8,
};

struct TColumnDef {
    std::string FieldName;
    int Width = 0;
};

struct TGridDef {
    std::string Name;
    std::string DataSource;
    std::string RecordSet;
    std::vector<TColumnDef> Columns;
    unsigned Options = 0;  // TGridOption bits; 0 keeps the grid's defaults
    bool Borderless = false;
    bool TooltipBackground = false;
    std::string TitleFont;  // empty keeps the default font
    int TitleFontPoints = 0;
};

// dbgPadrao, dbgProduto, dbgProdRelac.
const std::vector<TGridDef>& GridDefs();

// Throws std::out_of_range naming the grid when there is none of that name.
const TGridDef& GridDef(std::string_view name);

}  // namespace declarations
