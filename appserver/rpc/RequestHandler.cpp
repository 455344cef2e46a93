#include "rpc/RequestHandler.h"

#include <algorithm>
#include <exception>
#include <new>
#include <stdexcept>

#include "rpc/HealthCheck.h"
#include "rpc/RdmSugestaoProd.h"
#include "wire/JsonOut.h"
#include "wire/RemoteModule.h"
#include "wire/Rpc.h"

namespace appserver {
namespace {

using wire::ErrorCode;

// Text from the network quoted in a message: valid UTF-8, printable, bounded.
std::string quoted(std::string_view text) {
    constexpr std::size_t kMax = 80;
    const bool valid = wire::isValidUtf8(text);
    std::size_t n = std::min(text.size(), kMax);
    while (valid && n > 0 && n < text.size() &&
           (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;  // never cut a character in two
    std::string out;
    for (unsigned char c : text.substr(0, n))
        out += (c < 0x20 || c == 0x7f || (c >= 0x80 && !valid)) ? '?' : static_cast<char>(c);
    if (n < text.size()) out += "...";
    return out;
}

Reply errorReply(std::string_view id, std::string method, wire::Status status,
                 unsigned httpStatus = 200) {
    Reply r;
    r.status = httpStatus;
    r.method = std::move(method);
    r.code = status.code();
    r.body = wire::writeError(id, status);
    return r;
}

Reply describe(std::string_view id) {
    wire::detail::JsonBuffer buffer;
    wire::detail::JsonWriter w(buffer);
    w.StartObject();
    w.Key("jsonrpc");
    w.String("2.0");
    w.Key("id");
    w.RawValue(id.data(), id.size(), rapidjson::kNumberType);
    w.Key("result");
    w.StartObject();
    w.Key("module");
    w.String(wire::kModuleName.data(), static_cast<rapidjson::SizeType>(wire::kModuleName.size()));
    w.Key("methods");
    w.StartArray();
    for (const wire::Method* m : wire::kMethods)
        w.String(m->name.data(), static_cast<rapidjson::SizeType>(m->name.size()));
    w.EndArray();
    w.EndObject();
    w.EndObject();
    Reply r;
    r.method = "rpc.describe";
    r.body.assign(buffer.GetString(), buffer.GetSize());
    return r;
}

// id receives the request's id as soon as it is read, so a failure after that is addressed.
Reply dispatch(Store& store, std::string_view body, std::string_view user, std::string& id) {
    auto request = wire::readRequest(body, id, &maxTextOf);
    if (!request) return errorReply(id, "-", request.status());

    wire::Request& call = *request;
    Reply reply;
    reply.method = quoted(call.method);
    if (call.notification) {
        // Nothing runs: a caller that asks for no answer cannot learn whether a write failed.
        reply.status = 204;
        reply.notification = true;
        return reply;
    }
    if (call.method == "rpc.describe") {
        if (!call.params.empty())
            return errorReply(call.id, reply.method,
                              {ErrorCode::InvalidParams, "rpc.describe não recebe argumentos."});
        return describe(call.id);
    }
    const MethodEntry* entry = findMethod(call.method);
    if (!entry)
        return errorReply(
            call.id, reply.method,
            {ErrorCode::MethodNotFound, "Método " + reply.method + " não encontrado."});

    std::string payload;
    wire::Status status = callMethod(*entry, store, call.params, payload, user);
    if (!status) return errorReply(call.id, reply.method, status);

    std::vector<std::string> out;
    for (auto& arg : call.params)
        if (arg.kind == wire::ArgKind::TextInOut) out.push_back(std::move(arg.value));
    reply.body = wire::writeResult(call.id, payload.empty() ? "null" : payload, out);
    return reply;
}

}  // namespace

const std::string kOutOfMemory =
    "Memória insuficiente para atender a requisição; nada foi alterado.";

bool answersAtOnce(std::string_view target, std::string_view body) {
    // The requests of key reads are a few hundred bytes; past this, reading the body costs.
    constexpr std::size_t kSmallBody = 16 * 1024;
    if (target.substr(0, target.find('?')) == kHealthPath) return true;
    if (body.size() > kSmallBody) return false;
    auto method = wire::peekMethod(body);
    const MethodEntry* entry = method ? findMethod(*method) : nullptr;
    return !entry || entry->cost == CallCost::ByKey;
}

Reply refusal(unsigned httpStatus, ErrorCode code, std::string message) {
    return errorReply("null", "-", {code, std::move(message)}, httpStatus);
}

Reply handleRequest(Store& store, std::string_view verb, std::string_view target,
                    std::string_view body, std::string_view user) {
    std::string_view path = target.substr(0, target.find('?'));
    if (path == kHealthPath) return healthReply(&store, verb);
    if (!path.starts_with('/') || path.substr(1) != wire::kModuleName)
        return refusal(
            404, ErrorCode::MethodNotFound,
            "Módulo " + quoted(path.substr(path.starts_with('/') ? 1 : 0)) + " não encontrado.");
    if (verb != "POST")
        return refusal(
            405, ErrorCode::InvalidRequest,
            "Use POST para chamar os métodos de " + std::string(wire::kModuleName) + ".");
    std::string id = "null";
    // Whatever one request allocated is freed by unwinding; the store rolled its transaction back.
    try {
        return dispatch(store, body, user, id);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    } catch (const std::exception&) {
        return errorReply(id, "-",
                          {ErrorCode::Internal, "Erro interno do servidor; nada foi alterado."});
    }
    return errorReply(id, "-", {ErrorCode::Internal, kOutOfMemory});
}

}  // namespace appserver
