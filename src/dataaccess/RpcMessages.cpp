#include "dataaccess/RpcMessages.h"

namespace rpcmsg {

std::string endpoint(std::string_view host, int port) {
    return std::string(host) + ":" + std::to_string(port);
}

std::string refused(std::string_view host, int port) {
    return "Conexão recusada por " + endpoint(host, port) + ".";
}

std::string hostNotFound(std::string_view host, int port) {
    return "Servidor " + endpoint(host, port) + " não encontrado: o endereço " + std::string(host) +
           " não pôde ser resolvido.";
}

std::string connectTimedOut(std::string_view host, int port) {
    return "Tempo esgotado ao conectar a " + endpoint(host, port) + ".";
}

std::string connectFailed(std::string_view host, int port, std::string_view why) {
    return "Não foi possível conectar a " + endpoint(host, port) + ": " + std::string(why) + ".";
}

std::string answerTimedOut(std::string_view host, int port, std::chrono::milliseconds waited) {
    const auto tenths = (waited.count() + 50) / 100;  // Portuguese decimal comma, one place
    const std::string seconds = std::to_string(tenths / 10) + "," + std::to_string(tenths % 10);
    return "O servidor " + endpoint(host, port) + " não respondeu em " + seconds + " s.";
}

std::string notOpen(std::string_view host, int port) {
    if (host.empty()) return "A conexão com o servidor de aplicação não está aberta.";
    return "A conexão com " + endpoint(host, port) + " não está aberta.";
}

std::string dropped(std::string_view host, int port) {
    return "A conexão com " + endpoint(host, port) + " caiu durante a resposta.";
}

std::string sendFailed(std::string_view host, int port) {
    return "A conexão com " + endpoint(host, port) + " caiu ao enviar a chamada.";
}

std::string tooLarge(std::string_view host, int port) {
    return "A resposta de " + endpoint(host, port) + " excede o tamanho máximo permitido.";
}

std::string notUnderstood(std::string_view host, int port, std::string_view why) {
    std::string text = "Resposta não compreendida de " + endpoint(host, port);
    if (!why.empty()) text += ": " + std::string(why);
    if (text.back() != '.') text += '.';
    return text;
}

std::string httpStatus(std::string_view host, int port, int status, std::string_view reason) {
    std::string text =
        "O servidor " + endpoint(host, port) + " respondeu HTTP " + std::to_string(status);
    if (!reason.empty()) text += " (" + std::string(reason) + ")";
    return text + ".";
}

std::string moduleNotHosted(std::string_view host, int port, std::string_view module) {
    return "O servidor " + endpoint(host, port) + " não hospeda o módulo " + std::string(module) +
           ".";
}

std::string notHttps(std::string_view host, int port) {
    return "O servidor " + endpoint(host, port) +
           " não atende HTTPS: confira Tls= na configuração do host.";
}

std::string onlyHttps(std::string_view host, int port) {
    return "O servidor " + endpoint(host, port) +
           " só atende HTTPS: ligue Tls= na seção [Server] da configuração do host.";
}

std::string tlsDropped(std::string_view host, int port) {
    return "A conexão com " + endpoint(host, port) +
           " caiu durante a negociação TLS: confira se o servidor atende HTTPS (Tls= na "
           "configuração do host).";
}

std::string tlsTimedOut(std::string_view host, int port) {
    return "Tempo esgotado na negociação TLS com " + endpoint(host, port) + ".";
}

std::string tlsFailed(std::string_view host, int port, std::string_view why) {
    return "A negociação TLS com " + endpoint(host, port) + " falhou: " + std::string(why) + ".";
}

std::string certificateRefused(std::string_view host, int port, std::string_view why) {
    return "O certificado do servidor " + endpoint(host, port) +
           " foi recusado: " + std::string(why) + ". A conexão não foi feita.";
}

std::string caFileUnusable(std::string_view path, std::string_view why) {
    return "O arquivo de autoridades certificadoras CaFile=" + std::string(path) + " " +
           std::string(why) + ".";
}

}  // namespace rpcmsg
