// The "Quantidade" and "Totalizador" flags of both product grids: drawn as check boxes ("S"
// checked, anything else unchecked) and switched by the space key or a double click.

#include "declarations/CheckImages.h"
#include "framework/FrameworkUtils.h"
#include "controls/TDBGrid.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"

namespace {

bool IsFlag(const TField* field, const char* q, const char* t) {
    return field && (field->FieldName() == q || field->FieldName() == t);
}

// The picture sits this far right of the cell's left edge, whatever the column's width.
constexpr int kPictureOffset = 30;

}  // namespace

void TfrmSugestaoProd::FlagsEditable(const TProductFamily& f) {
    if (!f.grid) return;
    // Editing is off exactly while a flag column is current: flags are never typed into.
    if (IsFlag(f.grid->SelectedField(), f.flagQ, f.flagT))
        f.grid->Options.erase(dgEditing);
    else
        f.grid->Options.insert(dgEditing);
}

void TfrmSugestaoProd::DrawFlag(const TProductFamily& f, const QRect& rect, TColumn& column) {
    if (!f.grid) return;
    if (column.FieldName != f.flagQ && column.FieldName != f.flagT) return;
    TCanvas* canvas = f.grid->Canvas();
    if (!canvas) return;
    const bool checked = column.Field() && column.Field()->AsString() == "S";
    const QImage& picture = checked ? imgCheck : imgUnCheck;
    canvas->FillRect(rect);
    canvas->BrushCopy(QRect(rect.left() + kPictureOffset, rect.top(), picture.width(), rect.height()),
                      picture, QRect(0, 0, picture.width(), rect.height()),
                      declarations::CheckTransparentColor());
}

void TfrmSugestaoProd::FlagKey(const TProductFamily& f, int key, int shift) {
    if (shift & (ssShift | ssCtrl)) return;
    // An empty list has no flag to switch; a new row is begun by the include command only.
    if (!f.cds.Active() || f.cds.IsEmpty()) return;
    // Each flag is read anew: the first switch may have changed what is current.
    for (const char* flag : {f.flagQ, f.flagT}) {
        const TField* selected = f.grid ? f.grid->SelectedField() : nullptr;
        if (!selected || selected->FieldName() != flag || key != VK_SPACE) continue;
        if (f.cds.State() == TDataSetState::dsBrowse) f.cds.Edit();
        TField& field = f.cds.FieldByName(flag);
        field.SetAsString(field.AsString() == "N" || field.IsNull() ? "S" : "N");
    }
}

void TfrmSugestaoProd::FlagDoubleClick(const TProductFamily& f) {
    for (const char* flag : {f.flagQ, f.flagT}) {
        const TField* selected = f.grid ? f.grid->SelectedField() : nullptr;
        if (!selected || selected->FieldName() != flag || !f.cds.Active()) continue;
        TField& field = f.cds.FieldByName(flag);
        const std::string value = field.AsString();
        // Anything but "S", "N" or empty is left as it is, without an edit.
        if (value != "N" && value != "S" && !EmptyString(value)) continue;
        f.cds.Edit();
        field.SetAsString(value == "S" ? "N" : "S");
    }
}
