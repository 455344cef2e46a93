#include "rpc/Connection.h"

#include <array>
#include <boost/asio/dispatch.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <chrono>

#include "rpc/HealthCheck.h"

namespace appserver {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using wire::ErrorCode;

namespace {

// Time a refused client gets to take its error answer before the socket is closed under it.
constexpr auto kLinger = std::chrono::seconds(2);
// An idle connection keeps at most this much read buffer after a large request.
constexpr std::size_t kKeptBuffer = 64 * 1024;
// What the first read of a request asks for; the header read takes the rest.
constexpr std::size_t kFirstRead = 4096;
// A body of unknown length (chunked) leases the budget in steps of this much.
constexpr std::uint64_t kChunkedLeaseStep = 1024 * 1024;
// A long answer goes out in writes of at most this much, so the other connections of its I/O loop
// take their turns between them instead of waiting for megabytes to be copied.
constexpr std::size_t kWriteSlice = 256 * 1024;

const char* const kBusy =
    "O servidor está recebendo outros pedidos grandes e não tem memória livre para este agora; "
    "tente de novo em instantes.";

std::string limitText(std::size_t bytes) {
    if (bytes % (1024 * 1024) == 0) return std::to_string(bytes / (1024 * 1024)) + " MiB";
    if (bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KiB";
    return std::to_string(bytes) + " bytes";
}

}  // namespace

template <class Stream>
HttpConnection<Stream>::HttpConnection(Stream stream, beast::flat_buffer buffer,
                                       ServingContext& context, ConnectionRegistry::Slot slot,
                                       bool httpsOnly)
    : m_stream(std::move(stream)),
      m_buffer(std::move(buffer)),
      m_context(context),
      m_options(context.options),
      m_slot(std::move(slot)),
      m_body(context.bodies),
      m_signIn(context, m_slot.address(), m_stream.get_executor()),
      m_httpsOnly(httpsOnly) {}

template <class Stream>
void HttpConnection<Stream>::start() {
    // A connection handed over by the TLS detector during a stop closes at once.
    m_stopping = !m_slot.attach(this->weak_from_this());
    beast::error_code ignored;
    tcp().socket().set_option(asio::ip::tcp::no_delay(true), ignored);
    asio::dispatch(m_stream.get_executor(), [self = this->shared_from_this()] {
        if (self->m_stopping) return self->close();
        if constexpr (kTls)
            self->handshake();
        else
            self->readRequest();
    });
}

// The handshake counts as part of the first request's headers, and takes the bytes already read.
template <class Stream>
void HttpConnection<Stream>::handshake() {
    if constexpr (kTls) {
        m_reading = true;
        tcp().expires_after(m_options.headerTimeout);
        m_stream.async_handshake(
            boost::asio::ssl::stream_base::server, m_buffer.data(),
            [self = this->shared_from_this()](beast::error_code ec, std::size_t used) {
                self->m_reading = false;
                if (ec) return self->close();
                self->m_buffer.consume(used);
                self->readRequest();
            });
    }
}

template <class Stream>
void HttpConnection<Stream>::shutdown() {
    asio::post(m_stream.get_executor(), [self = this->shared_from_this()] {
        self->m_stopping = true;
        self->m_signIn.stop();
        if (self->m_reading) self->close();
    });
}

template <class Stream>
void HttpConnection<Stream>::readRequest() {
    if (m_stopping) return close();
    m_parser.emplace();
    m_parser->header_limit(static_cast<std::uint32_t>(m_options.maxHeaderBytes));
    m_parser->body_limit(m_options.maxBodyBytes);
    m_reading = true;
    if (m_buffer.size() > 0) return readHeader();  // the next request is already here
    // A keep-alive client may think for the whole idle timeout; once it starts, the header
    // timeout applies.
    tcp().expires_after(m_options.idleTimeout);
    m_stream.async_read_some(
        m_buffer.prepare(kFirstRead),
        [self = this->shared_from_this()](beast::error_code ec, std::size_t n) {
            self->m_buffer.commit(n);
            if (ec) return self->onRead(ec);
            self->readHeader();
        });
}

template <class Stream>
void HttpConnection<Stream>::readHeader() {
    tcp().expires_after(m_options.headerTimeout);
    http::async_read_header(m_stream, m_buffer, *m_parser,
                            [self = this->shared_from_this()](beast::error_code ec, std::size_t) {
                                self->onHeader(ec);
                            });
}

template <class Stream>
void HttpConnection<Stream>::onHeader(beast::error_code ec) {
    if (ec) return onRead(ec);
    if (m_httpsOnly)
        return refuse(refusal(400, ErrorCode::InvalidRequest,
                              "Este servidor só atende HTTPS: use https:// no endereço."));
    signIn();
}

// Who calls is settled from the headers, before the body is read. /health stays open to
// balancers, and is answered from its headers alone when they ask for more than a GET without a
// body.
template <class Stream>
void HttpConnection<Stream>::signIn() {
    const auto& request = m_parser->get();
    const std::string_view target(request.target().data(), request.target().size());
    if (target.substr(0, target.find('?')) == kHealthPath) {
        const auto verb = request.method_string();
        if (auto refused =
                healthRefusal(std::string_view(verb.data(), verb.size()), !m_parser->is_done()))
            return refuse(std::move(*refused));
        return admitBody();
    }
    const auto field = request[http::field::authorization];
    m_reading = false;  // a password check waits off the loop
    m_signIn.check(std::string_view(field.data(), field.size()),
                   [self = this->shared_from_this()](ConnectionSignIn::End end, Reply refused) {
                       using End = ConnectionSignIn::End;
                       if (end == End::Stopped) return self->close();
                       if (end == End::Refused) return self->refuse(std::move(refused));
                       self->m_reading = true;
                       self->admitBody();
                   });
}

// A client that asks "Expect: 100-continue" holds its body back until told to send it.
template <class Stream>
void HttpConnection<Stream>::admitBody() {
    m_bodyBytes = 0;
    // Before the body is read, and before a waiting client is told to send it.
    if (auto length = m_parser->content_length(); length && !m_body.growTo(*length))
        return refuse(refusal(503, ErrorCode::Internal, kBusy));
    if (!beast::iequals(m_parser->get()[http::field::expect], "100-continue") ||
        m_parser->is_done()) {
        m_bodyStart = std::chrono::steady_clock::now();
        return readBody();
    }
    static constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
    tcp().expires_after(m_options.idleTimeout);
    asio::async_write(m_stream, asio::buffer(kContinue.data(), kContinue.size()),
                      [self = this->shared_from_this()](beast::error_code ec, std::size_t) {
                          if (ec) return self->close();
                          self->m_bodyStart = std::chrono::steady_clock::now();
                          self->readBody();
                      });
}

// Each step's deadline moves on with the bytes received: the body may fall behind the minimum
// rate by at most the grace (the header timeout), however long it is.
template <class Stream>
void HttpConnection<Stream>::readBody() {
    if (m_parser->is_done()) return onRead({});
    auto owed = std::chrono::milliseconds(m_bodyBytes * 1000 / m_options.minBodyBytesPerSecond);
    tcp().expires_at(m_bodyStart + m_options.headerTimeout + owed);
    http::async_read_some(m_stream, m_buffer, *m_parser,
                          [self = this->shared_from_this()](beast::error_code ec, std::size_t n) {
                              if (ec) return self->onRead(ec);
                              self->m_bodyBytes += n;
                              if (!self->m_parser->content_length() &&
                                  !self->m_body.growTo(self->m_bodyBytes + kChunkedLeaseStep))
                                  return self->refuse(refusal(503, ErrorCode::Internal, kBusy));
                              self->readBody();
                          });
}

template <class Stream>
void HttpConnection<Stream>::onRead(beast::error_code ec) {
    m_reading = false;
    if (ec) {
        Reply refused;
        if (ec == http::error::body_limit)
            refused = refusal(413, ErrorCode::TooLarge,
                              "Pedido grande demais: o limite do corpo é " +
                                  limitText(m_options.maxBodyBytes) + ".");
        else if (ec == http::error::header_limit)
            refused = refusal(431, ErrorCode::TooLarge,
                              "Cabeçalhos HTTP grandes demais: o limite é " +
                                  limitText(m_options.maxHeaderBytes) + ".");
        else if (ec == boost::system::errc::not_enough_memory)
            refused = refusal(503, ErrorCode::Internal, kOutOfMemory);
        else if (ec.category() == beast::error_code(http::error::bad_target).category() &&
                 ec != http::error::end_of_stream && ec != http::error::partial_message)
            refused = refusal(400, ErrorCode::InvalidRequest, "Pedido HTTP malformado.");
        else
            return close();  // the peer left, went quiet past the idle timeout, or we stop
        return refuse(std::move(refused));
    }
    call();
}

// Answers without reading what is left of the request, then closes.
template <class Stream>
void HttpConnection<Stream>::refuse(Reply refused) {
    m_reading = false;
    if (refused.logged) m_context.log.call("-", 0.0, refused.code);
    m_parser.reset();
    m_body.release();
    m_buffer.clear();
    answer(std::move(refused), 11, false);
}

// A call whose cost does not grow with the data is answered here, at once; any other runs on a
// worker and its answer comes back to this connection's strand. Until then it holds the I/O loop
// open, so a stop waits for it.
template <class Stream>
void HttpConnection<Stream>::call() {
    struct Pending {
        Request request;
        BodyBudget::Lease body;
        std::string user;
    };
    auto pending =
        std::make_shared<Pending>(Pending{m_parser->release(), std::move(m_body), m_signIn.user()});
    m_parser.reset();
    m_body = BodyBudget::Lease(m_context.bodies);
    if (m_buffer.capacity() > kKeptBuffer) m_buffer.shrink_to_fit();
    const bool keepAlive = pending->request.keep_alive();
    const unsigned version = pending->request.version();
    auto reply = [self = this->shared_from_this(), version, keepAlive](Reply r) {
        self->answer(std::move(r), version,
                     keepAlive && !self->m_stopping && !self->m_context.registry.stopping());
    };
    const auto& target = pending->request.target();
    if (answersAtOnce(std::string_view(target.data(), target.size()), pending->request.body())) {
        Reply r = runCall(pending->request, pending->user);
        pending.reset();
        return reply(std::move(r));
    }
    auto back = asio::prefer(m_stream.get_executor(), asio::execution::outstanding_work.tracked);
    asio::post(m_context.calls, [self = this->shared_from_this(), pending, back, reply]() mutable {
        Reply r = self->runCall(pending->request, pending->user);
        pending.reset();  // the body may be large: free it before the answer goes out
        asio::post(back, [reply, r = std::move(r)]() mutable { reply(std::move(r)); });
    });
}

template <class Stream>
Reply HttpConnection<Stream>::runCall(const Request& request, std::string_view user) const {
    auto sv = [](boost::beast::string_view v) { return std::string_view(v.data(), v.size()); };
    std::string_view verb = sv(request.method_string());
    std::string_view target = sv(request.target());
    Store* store = workerStore();
    auto started = std::chrono::steady_clock::now();
    Reply reply;
    try {
        reply = store ? handleRequest(*store, verb, target, request.body(), user)
                : target.substr(0, target.find('?')) == kHealthPath
                    ? healthReply(nullptr, verb)
                    : refusal(200, ErrorCode::Unavailable, "Banco de dados indisponível.");
    } catch (const std::bad_alloc&) {
        reply = refusal(503, ErrorCode::Internal, kOutOfMemory);
    }
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - started;
    if (reply.logged)
        m_context.log.call(reply.method, took.count(), reply.code, reply.notification);
    return reply;
}

template <class Stream>
void HttpConnection<Stream>::answer(Reply reply, unsigned version, bool keepAlive) {
    m_response = {};
    m_response.version(version);
    m_response.result(reply.status);
    m_response.keep_alive(keepAlive);
    if (reply.status != 204) {
        m_response.set(http::field::content_type, "application/json; charset=utf-8");
        m_response.body() = std::move(reply.body);
    }
    if (!reply.allow.empty()) m_response.set(http::field::allow, reply.allow);
    if (reply.challenge)
        m_response.set(http::field::www_authenticate, R"(Basic realm="VLP27000", charset="UTF-8")");
    if (reply.status == 503) m_response.set(http::field::retry_after, "1");
    m_response.prepare_payload();
    tcp().expires_after(m_options.idleTimeout);
    m_serializer.emplace(m_response);
    m_serializer->limit(kWriteSlice);
    http::async_write(m_stream, *m_serializer,
                      [self = this->shared_from_this(), keepAlive](
                          beast::error_code ec, std::size_t) { self->onWrite(keepAlive, ec); });
}

template <class Stream>
void HttpConnection<Stream>::onWrite(bool keepAlive, beast::error_code ec) {
    m_serializer.reset();
    m_response = {};
    if (ec) return close();
    if (!keepAlive || m_stopping) return lingerAndClose();
    readRequest();
}

// Half-closes and drains what the client still sends, so its unread bytes do not turn the
// close into a reset that would destroy the answer before the client reads it.
template <class Stream>
void HttpConnection<Stream>::lingerAndClose() {
    if constexpr (kTls) {
        // close_notify tells the client the answer is whole.
        tcp().expires_after(kLinger);
        return m_stream.async_shutdown(
            [self = this->shared_from_this()](beast::error_code) { self->close(); });
    }
    beast::error_code ignored;
    tcp().socket().shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
    tcp().expires_after(kLinger);
    auto scratch = std::make_shared<std::array<char, 16384>>();
    struct Drain {
        std::shared_ptr<HttpConnection> self;
        std::shared_ptr<std::array<char, 16384>> scratch;
        void operator()(beast::error_code ec = {}, std::size_t = 0) {
            if (ec) return self->close();
            self->m_stream.async_read_some(asio::buffer(*scratch), std::move(*this));
        }
    };
    Drain{this->shared_from_this(), scratch}();
}

template <class Stream>
void HttpConnection<Stream>::close() {
    beast::error_code ignored;
    tcp().socket().shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    tcp().close();
}

template class HttpConnection<beast::tcp_stream>;
template class HttpConnection<beast::ssl_stream<beast::tcp_stream>>;

}  // namespace appserver
