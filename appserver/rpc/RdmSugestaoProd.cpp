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

const ArgKind kNone[] = {ArgKind::Text};  // never read: empty span below
const ArgKind kText[] = {ArgKind::Text};
const ArgKind kTextText[] = {ArgKind::Text, ArgKind::Text};
const ArgKind kInOut[] = {ArgKind::TextInOut};
const ArgKind kTextInOut[] = {ArgKind::Text, ArgKind::TextInOut};
const ArgKind kTextTextInOut[] = {ArgKind::Text, ArgKind::Text, ArgKind::TextInOut};
const ArgKind kLog[] = {ArgKind::Packet};
const ArgKind kOpLog[] = {ArgKind::TextInOut, ArgKind::Packet};

const std::array<MethodEntry, 14> kMethods = {{
    {"GetGrupSegProd", std::span(kNone, 0),
     [](Store& s, Args&, std::string& p) {
         return readInto(p, [&](auto& w) { return s.groups(w); });
     }},
    {"SetGrupSegProd", kLog,
     [](Store& s, Args& a, std::string&) {
         return applyLog(a[0], [&](const auto& log) { return s.applyGroups(log); });
     }},
    {"GetVerifGrupo", kText,
     [](Store& s, Args& a, std::string& p) {
         if (auto e = fits(a[0], kGroupCode, "Código do grupo"); !e) return e;
         return readInto(p, [&](auto& w) { return s.groupsByCode(a[0].value, w); });
     }},
    {"GetNmGrupo", kText,
     [](Store& s, Args& a, std::string& p) {
         if (auto e = fits(a[0], kGroupName, "Nome do grupo"); !e) return e;
         return readInto(p, [&](auto& w) { return s.groupsByName(a[0].value, w); });
     }},
    {"GetVerifOrd", kText,
     [](Store& s, Args& a, std::string& p) {
         if (auto e = fits(a[0], kOrder, "Ordem"); !e) return e;
         return readInto(p, [&](auto& w) { return s.groupsByOrder(a[0].value, w); });
     }},
    {"GetArvProd", kText,
     [](Store& s, Args& a, std::string& p) {
         if (auto e = fits(a[0], kGroupCode, "Código do grupo"); !e) return e;
         return readInto(p, [&](auto& w) { return s.mainProducts(a[0].value, w); });
     }},
    {"GetPesqProdPrinc", std::span(kNone, 0),
     [](Store& s, Args&, std::string& p) {
         return readInto(p, [&](auto& w) { return s.allProducts(w); });
     }},
    {"GetVerifProduto", kInOut,
     [](Store& s, Args& a, std::string& p) {
         if (auto e = fits(a[0], kTreeCode, "Código do produto na árvore"); !e) return e;
         return readInto(p, [&](auto& w) { return s.productByTreeCode(a[0].value, w); });
     }},
    {"GetVdProdPrinc", kTextInOut,
     [](Store& s, Args& a, std::string& p) {
         if (auto e = firstError({fits(a[0], kGroupCode, "Código do grupo"),
                                  fits(a[1], kTreeCode, "Código do produto na árvore")});
             !e)
             return e;
         return readInto(p, [&](auto& w) { return s.mainProductRows(a[0].value, a[1].value, w); });
     }},
    {"SetArvProd", kOpLog,
     [](Store& s, Args& a, std::string&) {
         if (auto e = checkOperation(a[0]); !e) return e;
         return applyLog(a[1], [&](const auto& log) { return s.applyMainProducts(log); });
     }},
    {"GetProdRelac", kTextText,
     [](Store& s, Args& a, std::string& p) {
         if (auto e = firstError({fits(a[0], kGroupCode, "Código do grupo"),
                                  fits(a[1], kProductCode, "Código do produto principal")});
             !e)
             return e;
         return readInto(p, [&](auto& w) { return s.relatedProducts(a[0].value, a[1].value, w); });
     }},
    {"GetPesqProd", kTextText,
     [](Store& s, Args& a, std::string& p) {
         if (auto e = firstError({fits(a[0], kProductCode, "Código do produto principal"),
                                  fits(a[1], kGroupCode, "Código do grupo")});
             !e)
             return e;
         return readInto(p, [&](auto& w) { return s.candidates(a[0].value, a[1].value, w); });
     }},
    {"GetVdProduto", kTextTextInOut,
     [](Store& s, Args& a, std::string& p) {
         if (auto e = firstError({fits(a[0], kGroupCode, "Código do grupo"),
                                  fits(a[1], kProductCode, "Código do produto principal"),
                                  fits(a[2], kTreeCode, "Código do produto na árvore")});
             !e)
             return e;
         return readInto(
             p, [&](auto& w) { return s.relatedRows(a[0].value, a[1].value, a[2].value, w); });
     }},
    {"SetProdRelac", kOpLog,
     [](Store& s, Args& a, std::string&) {
         if (auto e = checkOperation(a[0]); !e) return e;
         return applyLog(a[1], [&](const auto& log) { return s.applyRelatedProducts(log); });
     }},
}};

std::string_view kindName(ArgKind kind) {
    switch (kind) {
        case ArgKind::Text:
            return "texto";
        case ArgKind::TextInOut:
            return "texto de entrada e saída ({\"inout\":...})";
        case ArgKind::Packet:
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

Status callMethod(const MethodEntry& entry, Store& store, std::vector<Argument>& args,
                  std::string& payload) {
    const std::string name(entry.name);
    if (args.size() != entry.kinds.size()) {
        auto n = entry.kinds.size();
        return {ErrorCode::InvalidParams, name + " espera " + std::to_string(n) +
                                              (n == 1 ? " argumento" : " argumentos") +
                                              ", recebeu " + std::to_string(args.size()) + "."};
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].kind != entry.kinds[i])
            return {ErrorCode::InvalidParams, "O argumento " + std::to_string(i + 1) + " de " +
                                                  name + " deve ser " +
                                                  std::string(kindName(entry.kinds[i])) + "."};
        if (args[i].kind != ArgKind::Packet && !wire::isValidUtf8(args[i].value))
            return {ErrorCode::InvalidParams, "O argumento " + std::to_string(i + 1) + " de " +
                                                  name + " não é texto UTF-8 válido."};
    }
    return entry.handler(store, args, payload);
}

}  // namespace appserver
