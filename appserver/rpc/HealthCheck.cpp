#include "rpc/HealthCheck.h"

#include <exception>
#include <initializer_list>
#include <utility>

#include "wire/JsonOut.h"

namespace appserver {
namespace {

// A flat JSON object of text members, in the order given.
std::string object(std::initializer_list<std::pair<std::string_view, std::string_view>> members) {
    wire::detail::JsonBuffer buffer;
    wire::detail::JsonWriter w(buffer);
    w.StartObject();
    for (auto [key, value] : members) {
        w.Key(key.data(), static_cast<rapidjson::SizeType>(key.size()));
        w.String(value.data(), static_cast<rapidjson::SizeType>(value.size()));
    }
    w.EndObject();
    return {buffer.GetString(), buffer.GetSize()};
}

}  // namespace

std::string_view serverVersion() { return VLP_APPSERVER_VERSION; }

std::optional<Reply> healthRefusal(std::string_view verb, bool hasBody) {
    if (verb == "GET" && !hasBody) return std::nullopt;
    Reply reply;
    reply.method = "health";
    reply.logged = false;  // polled every few seconds: it would drown the calls
    if (verb != "GET") {
        reply.status = 405;
        reply.allow = "GET";
        reply.body = object({{"erro", "Use GET para consultar /health."}});
    } else {
        reply.status = 400;
        reply.body = object({{"erro", "/health não recebe corpo: use GET sem corpo."}});
    }
    return reply;
}

Reply healthReply(Store* store, std::string_view verb) {
    if (auto refused = healthRefusal(verb, false)) return std::move(*refused);
    Reply reply;
    reply.method = "health";
    reply.logged = false;
    wire::Status status;
    if (!store) {
        status = {wire::ErrorCode::Unavailable, "Sem conexão com o banco de dados."};
    } else {
        try {
            status = store->ping();
        } catch (const std::exception&) {
            status = {wire::ErrorCode::Internal, "Erro interno ao consultar o banco de dados."};
        }
    }
    reply.status = status ? 200 : 503;
    reply.body = object({{"status", status ? "ok" : "indisponivel"},
                         {"store", status ? "ok" : status.message()},
                         {"version", serverVersion()}});
    return reply;
}

}  // namespace appserver
