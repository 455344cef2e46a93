// A request whose body cannot be stored for want of memory ends in an error code the connection
// answers with 503, at whichever step the allocation fails; a body that fits is read whole.
#include "rpc/GuardedBody.h"

#include <gtest/gtest.h>

#include <boost/beast/http.hpp>
#include <functional>
#include <string>

namespace appserver {
namespace {

namespace http = boost::beast::http;

// The step of the inner body that runs out of memory.
enum class Fails { None, Init, Put, Finish };
Fails g_fails = Fails::None;

// A string body whose reader throws what running out of memory throws, at the chosen step.
struct FailingBody {
    using value_type = std::string;
    using writer = http::string_body::writer;
    static std::uint64_t size(const value_type& b) { return b.size(); }
    struct reader {
        template <bool isRequest, class Fields>
        reader(http::header<isRequest, Fields>& h, value_type& b) : inner(h, b) {}
        void init(const boost::optional<std::uint64_t>& n, boost::system::error_code& ec) {
            if (g_fails == Fails::Init) throw std::bad_alloc();
            inner.init(n, ec);
        }
        template <class Buffers>
        std::size_t put(const Buffers& b, boost::system::error_code& ec) {
            if (g_fails == Fails::Put) throw std::length_error("string");
            return inner.put(b, ec);
        }
        void finish(boost::system::error_code& ec) {
            if (g_fails == Fails::Finish) throw std::bad_alloc();
            inner.finish(ec);
        }
        http::string_body::reader inner;
    };
};

TEST(GuardedBody, FailedAllocationAtAnyStepBecomesNotEnoughMemory) {
    const std::string wire = "POST /m HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello";
    struct Case {
        Fails fails;
        bool ok;
    };
    for (Case c : {Case{Fails::None, true}, Case{Fails::Init, false}, Case{Fails::Put, false},
                   Case{Fails::Finish, false}}) {
        g_fails = c.fails;
        http::request_parser<GuardedBody<FailingBody>> parser;
        boost::system::error_code ec;
        for (std::size_t used = 0; !ec && !parser.is_done() && used < wire.size();)
            used += parser.put(boost::asio::buffer(wire.data() + used, wire.size() - used), ec);
        g_fails = Fails::None;
        SCOPED_TRACE(static_cast<int>(c.fails));
        if (c.ok) {
            EXPECT_FALSE(ec) << ec.message();
            ASSERT_TRUE(parser.is_done());
            EXPECT_EQ(parser.get().body(), "hello");
        } else {
            EXPECT_EQ(ec, boost::system::errc::not_enough_memory);
        }
    }
}

}  // namespace
}  // namespace appserver
