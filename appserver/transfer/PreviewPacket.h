#pragma once
// The preview as the remote import answers it (wire::fields::kImportPreview): one row per change
// or error in the file's order (transfer/ImportReport.h), then one row "resumo" whose description
// is the summary line. A description longer than its field is cut, ending in "…", so that no
// answer carries a value the client would refuse.

#include "transfer/ImportPreview.h"
#include "wire/PacketSink.h"

namespace appserver {

wire::Status writePreviewPacket(const ImportPreview& preview, wire::PacketSink& out);

}  // namespace appserver
