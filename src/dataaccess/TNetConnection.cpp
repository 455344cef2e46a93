#include "dataaccess/TNetConnection.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <mutex>

#include "dataaccess/HttpTransport.h"
#include "dataaccess/RpcCallWait.h"
#include "dataaccess/RpcMessages.h"
#include "dataaccess/RpcModuleCheck.h"
#include "dataaccess/RpcWorker.h"
#include "wire/Limits.h"
#include "wire/Rpc.h"

TRemoteArg TRemoteArg::Text(std::string value) {
    TRemoteArg arg;
    arg.m_kind = Kind::Text;
    arg.m_value = std::move(value);
    return arg;
}

TRemoteArg TRemoteArg::InOut(std::string& variable) {
    TRemoteArg arg;
    arg.m_kind = Kind::InOut;
    arg.m_variable = &variable;
    return arg;
}

TRemoteArg TRemoteArg::Packet(std::string json) {
    TRemoteArg arg;
    arg.m_kind = Kind::Packet;
    arg.m_value = std::move(json);
    return arg;
}

TServerAnswer TAppServer::Call(std::string_view method, std::vector<TRemoteArg> args) {
    return m_connection.Invoke(method, args);
}

namespace {

// What the framework installs for every connection of the process.
std::mutex hooksMutex;
std::function<void()> waitPump;
TSignInHook signInHook;
RpcTls tlsDefaults;

template <class T>
T current(const T& installed) {
    std::lock_guard lock(hooksMutex);
    return installed;
}

template <class T>
void install(T& installed, T value) {
    std::lock_guard lock(hooksMutex);
    installed = std::move(value);
}

bool refusesWhoCalls(const wire::Answer& answer) {
    return !answer.ok && answer.errorCode == static_cast<int>(wire::ErrorCode::Unauthenticated);
}

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
}

// Host and module name end up in the request line and the Host header: only plain names pass.
bool isPlainName(std::string_view text, std::string_view extra) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [&](char c) {
        return isNameChar(c) || extra.find(c) != std::string_view::npos;
    });
}

TServerAnswer refuse(bool throws, std::string_view method, int code, std::string message) {
    if (message.empty())
        message = "O servidor recusou a chamada " + std::string(method) + " (código " +
                  std::to_string(code) + ").";
    if (throws) throw EDatabaseError(message);
    return {false, code, std::move(message), {}};
}

const char* const kBusy =
    "Uma chamada ao servidor de aplicação ainda está em andamento; aguarde o seu término.";

}  // namespace

struct TNetConnection::Impl {
    std::unique_ptr<RpcTransport> transport;
    bool connected = false;
    bool busy = false;
    std::string host;  // where the open connection goes; fixed between connect and disconnect
    int port = 0;
    std::string target;
    std::int64_t lastId = 0;
    std::unique_ptr<RpcWorker> worker;
    TCredentials credentials;

    // Runs I/O while the wait pump keeps the window going (RpcCallWait), or simply without one.
    void onWire(const std::function<void()>& io) {
        auto pump = current(waitPump);
        if (!pump) return io();
        if (!worker) worker = std::make_unique<RpcWorker>();
        RpcCallWait(*worker, std::move(pump)).run(*transport, io);
    }

    [[noreturn]] void notUnderstood(std::string_view why) {
        transport->close();  // whatever is on the line now cannot be trusted
        throw EDatabaseError(rpcmsg::notUnderstood(host, port, why));
    }

    void setCredentials(TCredentials given) {
        credentials = std::move(given);
        std::string header = credentials.Empty() ? std::string() : credentials.BasicAuthorization();
        transport->setAuthorization(header);
        TCredentials::Wipe(header);
    }

    // The server refused who calls, saying why. True when the sign-in hook gave credentials to
    // send the call again with, on a new connection.
    bool signInAgain(const std::string& reason) {
        transport->close();  // the server closes a refused connection itself
        auto hook = current(signInHook);
        if (!hook) return false;
        std::optional<TCredentials> given =
            hook(TSignInRequest{rpcmsg::endpoint(host, port), reason, credentials.User()});
        if (!given) return false;
        setCredentials(std::move(*given));
        return true;
    }

    // Sends a call's request and reads its answer, signing in again while the server asks.
    wire::Answer call(const std::string& request, std::int64_t id) {
        for (;;) {
            std::string body;
            onWire([&] {
                if (!transport->isOpen()) transport->open(host, port);
                body = transport->post(target, request);
            });
            auto answer = wire::readAnswer(body, id);
            if (!answer) notUnderstood(answer.status().message());
            if (!refusesWhoCalls(*answer) || !signInAgain(answer->errorMessage))
                return std::move(*answer);
        }
    }
};

namespace {

std::atomic<int> g_waiting{0};

class BusyScope {
  public:
    explicit BusyScope(bool& busy) : m_busy(busy) {
        if (m_busy) throw EDatabaseError(kBusy);
        m_busy = true;
        ++g_waiting;
    }
    ~BusyScope() {
        m_busy = false;
        --g_waiting;
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    bool& m_busy;
};

}  // namespace

TNetConnection::TNetConnection(std::unique_ptr<RpcTransport> transport)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->transport = transport ? std::move(transport) : MakeHttpTransport();
    const RpcTls defaults = current(tlsDefaults);
    Tls = defaults.enabled;
    CaFile = defaults.caFile;
}

TNetConnection::~TNetConnection() {
    try {
        m_impl->transport->close();
    } catch (...) {
        // closing only releases a socket; nothing to report while being destroyed
    }
}

bool TNetConnection::Connected() const { return m_impl->connected; }

void TNetConnection::SetWaitPump(std::function<void()> pump) { install(waitPump, std::move(pump)); }

void TNetConnection::SetSignInHook(TSignInHook hook) { install(signInHook, std::move(hook)); }

void TNetConnection::SetTlsDefaults(bool tls, std::string caFile) {
    install(tlsDefaults, RpcTls{tls, std::move(caFile)});
}

void TNetConnection::SetCredentials(TCredentials credentials) {
    if (m_impl->busy) throw EDatabaseError(kBusy);
    m_impl->setCredentials(std::move(credentials));
}

const std::string& TNetConnection::UserName() const { return m_impl->credentials.User(); }

TAppServer& TNetConnection::AppServer() {
    if (!m_impl->connected)
        throw EDatabaseError("Não há conexão com o módulo " + ServerName + " em " +
                             rpcmsg::endpoint(Host, Port) + ".");
    return m_appServer;
}

int TNetConnection::CallsWaiting() { return g_waiting.load(); }

void TNetConnection::SetConnected(bool connected) {
    Impl& d = *m_impl;
    if (d.busy) throw EDatabaseError(kBusy);
    if (connected == d.connected) return;
    if (!connected) {
        d.connected = false;
        d.transport->close();
        return;
    }

    if (BeforeConnect) BeforeConnect(*this);
    if (!isPlainName(Host, ":[]"))
        throw EDatabaseError(Host.empty() ? "O endereço do servidor de aplicação não foi informado."
                                          : "Endereço de servidor inválido: \"" + Host + "\".");
    if (Port < 1 || Port > 65535)
        throw EDatabaseError("Porta inválida para o servidor " + Host + ": " +
                             std::to_string(Port) + ".");
    if (!isPlainName(ServerName, "") || ServerName.size() > wire::kMaxMethodName)
        throw EDatabaseError(ServerName.empty()
                                 ? "O módulo do servidor de aplicação não foi informado."
                                 : "Nome de módulo inválido: \"" + ServerName + "\".");

    d.transport->setTls(RpcTls{Tls, CaFile});
    d.host = Host;
    d.port = Port;
    d.target = "/" + ServerName;
    BusyScope busy(d.busy);
    const auto id = ++d.lastId;
    RpcModuleCheck::Outcome outcome;
    do {
        std::string answer;
        try {
            d.onWire([&] {
                d.transport->open(d.host, d.port);
                answer = d.transport->post(d.target, RpcModuleCheck::request(id));
            });
        } catch (const EHttpStatusError& e) {
            d.transport->close();
            if (e.status() == 404)
                throw EDatabaseError(rpcmsg::moduleNotHosted(d.host, d.port, ServerName));
            throw;
        } catch (...) {
            d.transport->close();
            throw;
        }
        outcome = RpcModuleCheck::read(answer, id, ServerName);
    } while (outcome.verdict == RpcModuleCheck::Verdict::Unauthenticated &&
             d.signInAgain(outcome.message));

    switch (outcome.verdict) {
        case RpcModuleCheck::Verdict::Hosted:
            d.connected = true;
            return;
        case RpcModuleCheck::Verdict::NotHosted:
            d.transport->close();
            throw EDatabaseError(rpcmsg::moduleNotHosted(d.host, d.port, ServerName));
        case RpcModuleCheck::Verdict::Unauthenticated:
        case RpcModuleCheck::Verdict::ServerError:
            d.transport->close();
            // A server that speaks HTTPS only tells a plain client to change its address; here
            // the host's configuration is what changes.
            if (!Tls && outcome.message.find("HTTPS") != std::string::npos)
                throw EDatabaseError(rpcmsg::onlyHttps(d.host, d.port));
            throw EDatabaseError(outcome.message.empty()
                                     ? rpcmsg::moduleNotHosted(d.host, d.port, ServerName)
                                     : outcome.message);
        case RpcModuleCheck::Verdict::NotUnderstood:
            break;
    }
    d.notUnderstood(outcome.message);
}

TServerAnswer TNetConnection::Invoke(std::string_view method, std::vector<TRemoteArg>& args) {
    Impl& d = *m_impl;
    AppServer();  // refuses when not connected
    if (method.empty() || method.size() > wire::kMaxMethodName)
        throw EDatabaseError("Nome de método inválido: \"" + std::string(method) + "\".");
    BusyScope busy(d.busy);

    std::vector<wire::Argument> params;
    params.reserve(args.size());
    std::size_t inOuts = 0;
    for (const auto& arg : args) {
        switch (arg.kind()) {
            case TRemoteArg::Kind::Text:
                params.push_back(wire::Argument::text(arg.value()));
                break;
            case TRemoteArg::Kind::InOut:
                params.push_back(wire::Argument::inOut(arg.value()));
                ++inOuts;
                break;
            case TRemoteArg::Kind::Packet:
                // raw JSON goes into the envelope as is: an empty text would break the request
                if (arg.value().empty())
                    throw EDatabaseError("Pacote vazio no argumento " +
                                         std::to_string(params.size() + 1) + " da chamada " +
                                         std::string(method) + ".");
                params.push_back(wire::Argument::packet(arg.value()));
                break;
        }
    }
    const auto id = ++d.lastId;
    const std::string request = wire::writeRequest(id, method, params);
    params.clear();

    auto answer = d.call(request, id);
    if (!answer.ok)
        return refuse(ThrowException, method, answer.errorCode, std::move(answer.errorMessage));
    if (answer.out.size() != inOuts)
        d.notUnderstood("esperados " + std::to_string(inOuts) +
                        " valores de entrada e saída, recebidos " +
                        std::to_string(answer.out.size()));

    auto out = answer.out.begin();
    for (auto& arg : args)
        if (arg.kind() == TRemoteArg::Kind::InOut) *arg.variable() = std::move(*out++);
    return {true, 0, {}, std::move(answer.payload)};
}
