#include "calls/ArgumentCheck.h"

#include <stdexcept>
#include <string>

namespace calls {
namespace {

bool Fits(wire::ParamKind param, TRemoteArg::Kind arg) {
    switch (param) {
        case wire::ParamKind::Text:
            return arg == TRemoteArg::Kind::Text;
        case wire::ParamKind::TextInOut:
            return arg == TRemoteArg::Kind::InOut;
        case wire::ParamKind::TextOrInOut:
            return arg == TRemoteArg::Kind::Text || arg == TRemoteArg::Kind::InOut;
        case wire::ParamKind::Packet:
            return arg == TRemoteArg::Kind::Packet;
    }
    return false;
}

[[noreturn]] void Refuse(const wire::Method& method) {
    throw std::invalid_argument("Argumentos de " + std::string(method.name) +
                                " diferentes da descrição do módulo remoto.");
}

void Check(const wire::Method& method, std::span<const wire::Param> params,
           const std::vector<TRemoteArg>& args) {
    if (args.size() != params.size()) Refuse(method);
    for (size_t i = 0; i < args.size(); ++i)
        if (!Fits(params[i].kind, args[i].kind())) Refuse(method);
}

}  // namespace

void CheckArguments(const wire::Method& method, const std::vector<TRemoteArg>& args) {
    Check(method, method.params, args);
}

void CheckLeadingArguments(const wire::Method& method, const std::vector<TRemoteArg>& leading) {
    if (method.params.empty() || method.params.back().kind != wire::ParamKind::Packet)
        Refuse(method);
    Check(method, method.params.first(method.params.size() - 1), leading);
}

}  // namespace calls
