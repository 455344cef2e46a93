#include "admin/AdminReplies.h"

namespace appserver {

int refuse(std::ostream& err, std::string_view message) {
    err << "vlp-appserver: " << message << '\n';
    return kRefused;
}

int badCommandLine(AdminContext& context, std::string_view command, std::string_view why) {
    context.err << "vlp-appserver: " << command << ": " << why << "\nUse vlp-appserver " << command
                << " --help para ver o uso.\n";
    return kBadCommandLine;
}

std::optional<int> helpOrError(const CommandArgs& parsed, AdminContext& context,
                               std::string_view command, std::string_view help) {
    if (!parsed.error.empty()) return badCommandLine(context, command, parsed.error);
    if (!parsed.help) return std::nullopt;
    context.out << help;
    return kDone;
}

}  // namespace appserver
