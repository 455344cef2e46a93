// hostile_clients: the load run.sh puts beside vlp-appserver for the figures of a hostile LAN,
// each host a loopback source address of its own.
//   signin PORT USER:PASSWORD ROUNDS  the median milliseconds, over ROUNDS, of one sign-in from
//                                     127.0.0.1 (a new connection, one call with credentials)
//   bad-signins PORT SECONDS          40 clients, 10 from each of 127.0.0.2 to 127.0.0.5, each
//                                     signing in again and again with a wrong password under a
//                                     new name every time (so no delay slows it), at once after
//                                     any answer, 503 included
//   health-uploads PORT SECONDS       2 clients, from 127.0.0.6 and 127.0.0.7, each uploading
//                                     128 MiB to /health at 2 KiB a second, starting again a
//                                     second after the server closes one
// Loopback only; every loop ends after SECONDS.
#include <netinet/in.h>
#include <openssl/evp.h>
#include <sys/socket.h>

#include <algorithm>
#include <csignal>
#include <atomic>
#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace asio = boost::asio;
namespace http = boost::beast::http;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const std::string kCall = R"({"jsonrpc":"2.0","id":1,"method":"GetVerifGrupo","params":["0000000001"]})";

std::string basic(const std::string& userAndPassword) {
    std::string out(4 * ((userAndPassword.size() + 2) / 3) + 1, '\0');
    int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                            reinterpret_cast<const unsigned char*>(userAndPassword.data()),
                            static_cast<int>(userAndPassword.size()));
    out.resize(static_cast<std::size_t>(n));
    return "Basic " + out;
}

// A blocking connection from source to the server, whose reads give up after a while.
class Client {
  public:
    Client(const char* source, unsigned short port) : m_socket(m_ioc) {
        boost::system::error_code ec;
        m_socket.open(asio::ip::tcp::v4(), ec);
        // The port is chosen at connect, among those free for this server: thousands of
        // connections a second from one address would otherwise have bind search for one.
        const int late = 1;
        ::setsockopt(m_socket.native_handle(), IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &late,
                     sizeof late);
        if (!ec) m_socket.bind({asio::ip::make_address(source), 0}, ec);
        if (!ec) m_socket.connect({asio::ip::make_address("127.0.0.1"), port}, ec);
        timeval timeout{30, 0};
        ::setsockopt(m_socket.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        m_ok = !ec;
    }
    bool send(const std::string& bytes) {
        boost::system::error_code ec;
        if (m_ok) asio::write(m_socket, asio::buffer(bytes), ec);
        return m_ok = m_ok && !ec;
    }
    // The answer's status; 0 when none came.
    unsigned read() {
        http::response<http::string_body> response;
        boost::system::error_code ec;
        if (m_ok) http::read(m_socket, m_buffer, response, ec);
        return m_ok && !ec ? response.result_int() : 0;
    }

  private:
    asio::io_context m_ioc;
    asio::ip::tcp::socket m_socket;
    boost::beast::flat_buffer m_buffer;
    bool m_ok = false;
};

std::string call(const std::string& authorization) {
    return "POST /VLP27000.rdmSugestaoProd HTTP/1.1\r\nHost: bench\r\nContent-Type: "
           "application/json\r\nAuthorization: " +
           authorization + "\r\nContent-Length: " + std::to_string(kCall.size()) + "\r\n\r\n" +
           kCall;
}

int signInTime(unsigned short port, const std::string& credentials, int rounds) {
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        const auto started = Clock::now();
        Client client("127.0.0.1", port);
        if (!client.send(call(basic(credentials))) || client.read() != 200) {
            std::fprintf(stderr, "hostile_clients: a correct sign-in failed\n");
            return 1;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - started).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%.0f\n", ms[ms.size() / 2]);
    return 0;
}

int badSignIns(unsigned short port, int seconds) {
    const auto until = Clock::now() + std::chrono::seconds(seconds);
    std::atomic<long> attempts{0}, checked{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 40; ++i) {
        threads.emplace_back([&, i] {
            const std::string source = "127.0.0." + std::to_string(2 + i / 10);
            for (long n = 0; Clock::now() < until; ++n) {
                Client client(source.c_str(), port);
                const std::string name = "intruso" + std::to_string(i) + "x" + std::to_string(n);
                client.send(call(basic(name + ":chute")));
                ++attempts;
                if (client.read() == 401) ++checked;
            }
        });
    }
    for (auto& t : threads) t.join();
    std::fprintf(stderr, "hostile_clients: %ld bad sign-ins, %ld of them checked\n",
                 attempts.load(), checked.load());
    return 0;
}

int healthUploads(unsigned short port, int seconds) {
    const auto until = Clock::now() + std::chrono::seconds(seconds);
    std::atomic<long> uploads{0};
    std::vector<std::thread> threads;
    for (const char* source : {"127.0.0.6", "127.0.0.7"}) {
        threads.emplace_back([&, source] {
            const std::string chunk(2048, ' ');
            while (Clock::now() < until) {
                Client client(source, port);
                ++uploads;
                bool open = client.send("POST /health HTTP/1.1\r\nHost: bench\r\nContent-Length: " +
                                        std::to_string(128u << 20) + "\r\n\r\n");
                while (open && Clock::now() < until) {
                    std::this_thread::sleep_for(1s);
                    open = client.send(chunk);
                }
                std::this_thread::sleep_for(1s);
            }
        });
    }
    for (auto& t : threads) t.join();
    std::fprintf(stderr, "hostile_clients: %ld uploads to /health\n", uploads.load());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);  // the server closes the connections it refuses
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "signin")
        return signInTime(static_cast<unsigned short>(std::stoi(args[1])), args[2],
                          std::stoi(args[3]));
    if (args.size() == 3 && args[0] == "bad-signins")
        return badSignIns(static_cast<unsigned short>(std::stoi(args[1])), std::stoi(args[2]));
    if (args.size() == 3 && args[0] == "health-uploads")
        return healthUploads(static_cast<unsigned short>(std::stoi(args[1])), std::stoi(args[2]));
    std::fprintf(stderr,
                 "uso: hostile_clients signin PORTA USUARIO:SENHA RODADAS | bad-signins PORTA "
                 "SEGUNDOS | health-uploads PORTA SEGUNDOS\n");
    return 2;
}
