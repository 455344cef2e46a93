#pragma once
// The screen's record sets as data: name and design-time field list of each of the three
// editable and eight look-up record sets, of the two that carry the CSV export and the import's
// preview (which every previewed action answers), and of where a product is used and a group's
// history. A record set's fields, with their names and sizes, are
// those of the answer that fills it in the remote module's description (wire/RemoteModule.h);
// only titles, display widths and visibility are the screen's own. The screen builds its
// TClientDataSets from these; a packet loaded into one must carry at least these fields.

#include <string>
#include <string_view>
#include <vector>

#include "dataaccess/TFieldDef.h"

namespace declarations {

struct TRecordSetDef {
    std::string Name;
    std::vector<TFieldDef> Fields;
};

// All fifteen: the editable ones first, in the order the screen creates them, then the export's,
// the preview's, where used and the history.
const std::vector<TRecordSetDef>& RecordSetDefs();

// Throws std::out_of_range naming the record set when there is none of that name.
const TRecordSetDef& RecordSetDef(std::string_view name);

}  // namespace declarations
