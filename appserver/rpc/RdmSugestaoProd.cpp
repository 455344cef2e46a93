#include "RdmSugestaoProd.h"

#include <array>

#include "store/Columns.h"
#include "wire/PacketWriter.h"

namespace appserver {
namespace {

using wire::ArgKind;
using wire::Argument;
using wire::ErrorCode;
using wire::Status;
using Args = std::vector<Argument>;

// Arguments are values of these columns and fit them.
constexpr Column kGroupCode = column::CDGRUSUGESPROD, kGroupName = column::NMGRUSUGESPROD,
                 kOrder = column::NRORDEM, kProductCode = column::CDPRODUTO,
                 kTreeCode = column::CDARVPROD;

Status fits(const Argument& arg, const Column& target, std::string_view what) {
    if (wire::utf8Length(arg.value) <= static_cast<std::size_t>(target.size)) return Status::ok();
    return {ErrorCode::TooLarge,
            std::string(what) + " excede " + std::to_string(target.size) + " caracteres."};
}

Status firstError(std::initializer_list<Status> checks) {
    for (const auto& s : checks)
        if (!s) return s;
    return Status::ok();
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

using P = ParamKind;
const P kNone[] = {P::Text};  // never read: empty span below
const P kText[] = {P::Text};
const P kTextText[] = {P::Text, P::Text};
const P kInOut[] = {P::TextInOut};
const P kTextInOut[] = {P::Text, P::TextInOut};
const P kTextTextInOut[] = {P::Text, P::Text, P::TextInOut};
const P kLog[] = {P::Packet};
const P kOpLog[] = {P::TextOrInOut, P::Packet};

constexpr int kOperation = 1;  // "I", "E" or "D"

const std::array<MethodEntry, 14> kMethods = {{
    {"GetGrupSegProd", CallCost::Grows, 0, std::span(kNone, 0),
     [](Store& s, Args&, std::string& p, ChangeOrigin) {
         return readInto(p, [&](auto& w) { return s.groups(w); });
     }},
    {"SetGrupSegProd", CallCost::Grows, 0, kLog,
     [](Store& s, Args& a, std::string&, ChangeOrigin o) {
         return applyLog(a[0], [&](const auto& log) { return s.applyGroups(log, o); });
     }},
    {"GetVerifGrupo", CallCost::ByKey, kGroupCode.size, kText,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         if (auto e = fits(a[0], kGroupCode, "Código do grupo"); !e) return e;
         return readInto(p, [&](auto& w) { return s.groupsByCode(a[0].value, w); });
     }},
    {"GetNmGrupo", CallCost::ByKey, kGroupName.size, kText,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         if (auto e = fits(a[0], kGroupName, "Nome do grupo"); !e) return e;
         return readInto(p, [&](auto& w) { return s.groupsByName(a[0].value, w); });
     }},
    {"GetVerifOrd", CallCost::ByKey, kOrder.size, kText,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         if (auto e = fits(a[0], kOrder, "Ordem"); !e) return e;
         return readInto(p, [&](auto& w) { return s.groupsByOrder(a[0].value, w); });
     }},
    {"GetArvProd", CallCost::Grows, kGroupCode.size, kText,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         if (auto e = fits(a[0], kGroupCode, "Código do grupo"); !e) return e;
         return readInto(p, [&](auto& w) { return s.mainProducts(a[0].value, w); });
     }},
    {"GetPesqProdPrinc", CallCost::Grows, 0, std::span(kNone, 0),
     [](Store& s, Args&, std::string& p, ChangeOrigin) {
         return readInto(p, [&](auto& w) { return s.allProducts(w); });
     }},
    {"GetVerifProduto", CallCost::ByKey, kTreeCode.size, kInOut,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         if (auto e = fits(a[0], kTreeCode, "Código do produto na árvore"); !e) return e;
         return readInto(p, [&](auto& w) { return s.productByTreeCode(a[0].value, w); });
     }},
    {"GetVdProdPrinc", CallCost::ByKey, kTreeCode.size, kTextInOut,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         if (auto e = firstError({fits(a[0], kGroupCode, "Código do grupo"),
                                  fits(a[1], kTreeCode, "Código do produto na árvore")});
             !e)
             return e;
         return readInto(p, [&](auto& w) { return s.mainProductRows(a[0].value, a[1].value, w); });
     }},
    {"SetArvProd", CallCost::Grows, kOperation, kOpLog,
     [](Store& s, Args& a, std::string&, ChangeOrigin o) {
         if (auto e = checkOperation(a[0]); !e) return e;
         o.operation = a[0].value;
         return applyLog(a[1], [&](const auto& log) { return s.applyMainProducts(log, o); });
     }},
    {"GetProdRelac", CallCost::Grows, kProductCode.size, kTextText,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         if (auto e = firstError({fits(a[0], kGroupCode, "Código do grupo"),
                                  fits(a[1], kProductCode, "Código do produto principal")});
             !e)
             return e;
         return readInto(p, [&](auto& w) { return s.relatedProducts(a[0].value, a[1].value, w); });
     }},
    {"GetPesqProd", CallCost::Grows, kProductCode.size, kTextText,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         if (auto e = firstError({fits(a[0], kProductCode, "Código do produto principal"),
                                  fits(a[1], kGroupCode, "Código do grupo")});
             !e)
             return e;
         return readInto(p, [&](auto& w) { return s.candidates(a[0].value, a[1].value, w); });
     }},
    {"GetVdProduto", CallCost::ByKey, kTreeCode.size, kTextTextInOut,
     [](Store& s, Args& a, std::string& p, ChangeOrigin) {
         if (auto e = firstError({fits(a[0], kGroupCode, "Código do grupo"),
                                  fits(a[1], kProductCode, "Código do produto principal"),
                                  fits(a[2], kTreeCode, "Código do produto na árvore")});
             !e)
             return e;
         return readInto(
             p, [&](auto& w) { return s.relatedRows(a[0].value, a[1].value, a[2].value, w); });
     }},
    {"SetProdRelac", CallCost::Grows, kOperation, kOpLog,
     [](Store& s, Args& a, std::string&, ChangeOrigin o) {
         if (auto e = checkOperation(a[0]); !e) return e;
         o.operation = a[0].value;
         return applyLog(a[1], [&](const auto& log) { return s.applyRelatedProducts(log, o); });
     }},
}};

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

std::span<const MethodEntry> rdmSugestaoProd() { return kMethods; }

const MethodEntry* findMethod(std::string_view name) {
    for (const auto& m : kMethods)
        if (m.name == name) return &m;
    return nullptr;
}

std::size_t maxTextOf(std::string_view method) {
    const MethodEntry* entry = findMethod(method);
    return entry ? static_cast<std::size_t>(entry->maxText) : 0;
}

Status callMethod(const MethodEntry& entry, Store& store, std::vector<Argument>& args,
                  std::string& payload, std::string_view user) {
    const std::string name(entry.name);
    if (args.size() != entry.kinds.size()) {
        auto n = entry.kinds.size();
        return {ErrorCode::InvalidParams, name + " espera " + std::to_string(n) +
                                              (n == 1 ? " argumento" : " argumentos") +
                                              ", recebeu " + std::to_string(args.size()) + "."};
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!accepts(entry.kinds[i], args[i].kind))
            return {ErrorCode::InvalidParams, "O argumento " + std::to_string(i + 1) + " de " +
                                                  name + " deve ser " +
                                                  std::string(kindName(entry.kinds[i])) + "."};
        if (args[i].kind != ArgKind::Packet && !wire::isValidUtf8(args[i].value))
            return {ErrorCode::InvalidParams, "O argumento " + std::to_string(i + 1) + " de " +
                                                  name + " não é texto UTF-8 válido."};
    }
    return entry.handler(store, args, payload, {user, entry.name, ""});
}

}  // namespace appserver
