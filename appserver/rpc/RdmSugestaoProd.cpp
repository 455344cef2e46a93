#include "rpc/RdmSugestaoProd.h"

#include <array>
#include <boost/interprocess/streams/bufferstream.hpp>

#include "rpc/ActionPreview.h"
#include "transfer/CsvExport.h"
#include "transfer/PreviewPacket.h"
#include "transfer/SuggestionImport.h"
#include "wire/PacketWriter.h"

namespace appserver {
namespace {

using wire::ArgKind;
using wire::Argument;
using wire::ErrorCode;
using wire::ParamKind;
using wire::Status;
using Args = std::vector<Argument>;
namespace method = wire::method;

// A text argument is a value of a column and fits it. The operation code (TextOrInOut) has its
// own check, against its three values, in its handler.
Status fits(const Argument& arg, const wire::Param& param) {
    if (param.kind == ParamKind::Packet || param.kind == ParamKind::TextOrInOut)
        return Status::ok();
    if (wire::utf8Length(arg.value) <= static_cast<std::size_t>(param.size)) return Status::ok();
    return {ErrorCode::TooLarge,
            std::string(param.what) + " excede " + std::to_string(param.size) + " caracteres."};
}

// Runs a read into a fresh packet; the payload is kept only when the whole read succeeded.
template <class Read>
Status readInto(std::string& payload, Read&& read) {
    std::string packet;
    Status status;
    {
        wire::PacketWriter writer(packet);
        status = read(writer);
        if (status) writer.finish();
    }
    if (status) payload = std::move(packet);
    return status;
}

Status checkOperation(const Argument& op) {
    if (op.value == "I" || op.value == "E" || op.value == "D") return Status::ok();
    return {
        ErrorCode::InvalidParams,
        "Código de operação inválido: use \"I\" (inclusão), \"E\" (edição) ou \"D\" (exclusão)."};
}

template <class Apply>
Status applyLog(const Argument& packet, Apply&& apply) {
    auto log = wire::ChangeLog::fromJson(packet.value);
    if (!log) return log.status();
    return apply(*log);
}

// "S" (preview only) or "N" (apply when sound); anything else is refused.
Status checkPreviewFlag(const Argument& flag) {
    if (flag.value == "S" || flag.value == "N") return Status::ok();
    return {ErrorCode::InvalidParams,
            "Simular deve ser \"S\" (só a prévia) ou \"N\" (aplica a alteração)."};
}

// Runs an action that answers its plan as the import's preview, applied when asked and sound.
template <class Act>
Status previewAction(const Argument& flag, std::string& payload, Act&& act) {
    if (auto e = checkPreviewFlag(flag); !e) return e;
    wire::Result<ActionPlan> plan = act(flag.value == "N");
    if (!plan) return plan.status();
    return readInto(payload, [&](auto& w) { return writeActionPreview(*plan, w); });
}

// Previews the file (the argument's own text, read in place) and, when asked and sound, applies
// it in one transaction under the caller: either way the answer is the preview, whose error rows
// say why nothing was applied.
Status importSuggestions(Store& store, Args& a, std::string& payload, ChangeOrigin origin) {
    const std::optional<ImportMode> mode = importModeNamed(a[1].value);
    if (!mode)
        return {ErrorCode::InvalidParams,
                "Modo de importação inválido: use \"incluir\" ou "
                "\"substituir\"."};
    if (a[2].value != "S" && a[2].value != "N")
        return {ErrorCode::InvalidParams,
                "Simular deve ser \"S\" (só a prévia) ou \"N\" (aplica a importação)."};
    boost::interprocess::ibufferstream csv(a[0].value.data(), a[0].value.size());
    auto preview = previewSuggestionImport(store, csv, *mode);
    if (!preview) return preview.status();
    if (a[2].value == "N" && preview->applicable())
        if (auto applied = applyImportPreview(store, *preview, origin.user); !applied)
            return applied;
    return readInto(payload, [&](auto& w) { return writePreviewPacket(*preview, w); });
}

constexpr std::array<MethodEntry, wire::kMethods.size()> kEntries = {{
    {method::GetGrupSegProd, CallCost::Grows,
     [](Store& s, Args&, std::string& p, ChangeOrigin) {
         return readInto(p, [&](auto& w) { return s.groups(w); });
     }},
    {method::SetGrupSegProd, CallCost::Grows,
     [](Store& s, Args& a, std::string&, ChangeOrigin o) {
         return applyLog(a[0], [&](const auto& log) { return s.applyGroups(log, o); });
     }},
    {method::GetVerifGrupo, CallCost::ByKey,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         return readInto(p, [&](auto& w) { return s.groupsByCode(a[0].value, w); });
     }},
    {method::GetNmGrupo, CallCost::ByKey,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         return readInto(p, [&](auto& w) { return s.groupsByName(a[0].value, w); });
     }},
    {method::GetVerifOrd, CallCost::ByKey,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         return readInto(p, [&](auto& w) { return s.groupsByOrder(a[0].value, w); });
     }},
    {method::GetArvProd, CallCost::Grows,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         return readInto(p, [&](auto& w) { return s.mainProducts(a[0].value, w); });
     }},
    {method::GetPesqProdPrinc, CallCost::Grows,
     [](Store& s, Args&, std::string& p, ChangeOrigin) {
         return readInto(p, [&](auto& w) { return s.allProducts(w); });
     }},
    {method::GetVerifProduto, CallCost::ByKey,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         return readInto(p, [&](auto& w) { return s.productByTreeCode(a[0].value, w); });
     }},
    {method::GetVdProdPrinc, CallCost::ByKey,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         return readInto(p, [&](auto& w) { return s.mainProductRows(a[0].value, a[1].value, w); });
     }},
    {method::SetArvProd, CallCost::Grows,
     [](Store& s, Args& a, std::string&, ChangeOrigin o) {
         if (auto e = checkOperation(a[0]); !e) return e;
         o.operation = a[0].value;
         return applyLog(a[1], [&](const auto& log) { return s.applyMainProducts(log, o); });
     }},
    {method::GetProdRelac, CallCost::Grows,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         return readInto(p, [&](auto& w) { return s.relatedProducts(a[0].value, a[1].value, w); });
     }},
    {method::GetPesqProd, CallCost::Grows,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         return readInto(p, [&](auto& w) { return s.candidates(a[0].value, a[1].value, w); });
     }},
    {method::GetVdProduto, CallCost::ByKey,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         return readInto(
             p, [&](auto& w) { return s.relatedRows(a[0].value, a[1].value, a[2].value, w); });
     }},
    {method::SetProdRelac, CallCost::Grows,
     [](Store& s, Args& a, std::string&, ChangeOrigin o) {
         if (auto e = checkOperation(a[0]); !e) return e;
         o.operation = a[0].value;
         return applyLog(a[1], [&](const auto& log) { return s.applyRelatedProducts(log, o); });
     }},
    {method::GetExportaSugestoes, CallCost::Grows,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         return readInto(p, [&](auto& w) { return exportSuggestionLines(s, a[0].value, w); });
     }},
    {method::SetImportaSugestoes, CallCost::Grows, importSuggestions},
    {method::GetOndeUsado, CallCost::Grows,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         return readInto(p, [&](auto& w) { return s.whereUsed(a[0].value, w); });
     }},
    {method::SetSubstituiProduto, CallCost::Grows,
     [](Store& s, Args& a, std::string& p, ChangeOrigin o) {
         return previewAction(a[2], p, [&](bool apply) {
             return s.replaceProduct(a[0].value, a[1].value, apply, o.user);
         });
     }},
    {method::GetHistorico, CallCost::Grows,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         return readInto(p, [&](auto& w) {
             return s.historyPage({a[0].value, a[1].value, a[2].value}, w);
         });
     }},
    {method::SetDesfazGravacao, CallCost::Grows,
     [](Store& s, Args& a, std::string& p, ChangeOrigin o) {
         return previewAction(a[1], p,
                              [&](bool apply) { return s.undoSave(a[0].value, apply, o.user); });
     }},
    {method::SetCopiaGrupo, CallCost::Grows,
     [](Store& s, Args& a, std::string&, ChangeOrigin o) {
         return s.copyGroup({a[0].value, a[1].value, a[2].value, a[3].value}, o.user);
     }},
}};

constexpr bool inDescriptionOrder() {
    for (std::size_t i = 0; i < kEntries.size(); ++i)
        if (kEntries[i].name != wire::kMethods[i]->name) return false;
    return true;
}
static_assert(inDescriptionOrder(), "one entry per described method, in the same order");

bool accepts(ParamKind param, ArgKind kind) {
    switch (param) {
        case ParamKind::Text:
            return kind == ArgKind::Text;
        case ParamKind::TextInOut:
            return kind == ArgKind::TextInOut;
        case ParamKind::TextOrInOut:
            return kind == ArgKind::Text || kind == ArgKind::TextInOut;
        case ParamKind::Packet:
            return kind == ArgKind::Packet;
    }
    return false;
}

std::string_view kindName(ParamKind kind) {
    switch (kind) {
        case ParamKind::Text:
            return "texto";
        case ParamKind::TextInOut:
            return "texto de entrada e saída ({\"inout\":...})";
        case ParamKind::TextOrInOut:
            return "texto ou texto de entrada e saída ({\"inout\":...})";
        case ParamKind::Packet:
            return "pacote de alterações ({\"packet\":...})";
    }
    return "?";
}

}  // namespace

std::span<const MethodEntry> rdmSugestaoProd() { return kEntries; }

const MethodEntry* findMethod(std::string_view name) {
    for (const auto& m : kEntries)
        if (m.name == name) return &m;
    return nullptr;
}

std::size_t maxTextOf(std::string_view method) {
    const MethodEntry* entry = findMethod(method);
    return entry ? static_cast<std::size_t>(wire::MaxTextChars(*entry)) : 0;
}

Status callMethod(const MethodEntry& entry, Store& store, std::vector<Argument>& args,
                  std::string& payload, std::string_view user) {
    const std::string name(entry.name);
    if (args.size() != entry.params.size()) {
        auto n = entry.params.size();
        return {ErrorCode::InvalidParams, name + " espera " + std::to_string(n) +
                                              (n == 1 ? " argumento" : " argumentos") +
                                              ", recebeu " + std::to_string(args.size()) + "."};
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!accepts(entry.params[i].kind, args[i].kind))
            return {ErrorCode::InvalidParams,
                    "O argumento " + std::to_string(i + 1) + " de " + name + " deve ser " +
                        std::string(kindName(entry.params[i].kind)) + "."};
        if (args[i].kind != ArgKind::Packet && !wire::isValidUtf8(args[i].value))
            return {ErrorCode::InvalidParams, "O argumento " + std::to_string(i + 1) + " de " +
                                                  name + " não é texto UTF-8 válido."};
    }
    for (std::size_t i = 0; i < args.size(); ++i)
        if (auto e = fits(args[i], entry.params[i]); !e) return e;
    return entry.handler(store, args, payload, {user, entry.name, ""});
}

}  // namespace appserver
