#pragma once
// A Beast body that stores like Inner but whose reader turns a failed allocation (bad_alloc,
// length_error) into errc::not_enough_memory, so the connection answers that one request with 503
// instead of the exception leaving the I/O loop with the request unanswered. Stateless.

#include <boost/beast/http/message.hpp>
#include <boost/optional.hpp>
#include <boost/system/error_code.hpp>
#include <cstdint>
#include <new>
#include <stdexcept>

namespace appserver {

template <class Inner>
struct GuardedBody {
    using value_type = typename Inner::value_type;
    using writer = typename Inner::writer;

    static std::uint64_t size(const value_type& body) { return Inner::size(body); }

    class reader {
      public:
        template <bool isRequest, class Fields>
        reader(boost::beast::http::header<isRequest, Fields>& header, value_type& body)
            : m_inner(header, body) {}

        void init(const boost::optional<std::uint64_t>& length, boost::system::error_code& ec) {
            guard(ec, [&] { m_inner.init(length, ec); });
        }
        template <class Buffers>
        std::size_t put(const Buffers& buffers, boost::system::error_code& ec) {
            std::size_t n = 0;
            guard(ec, [&] { n = m_inner.put(buffers, ec); });
            return n;
        }
        void finish(boost::system::error_code& ec) {
            guard(ec, [&] { m_inner.finish(ec); });
        }

      private:
        template <class Step>
        static void guard(boost::system::error_code& ec, Step step) {
            try {
                step();
            } catch (const std::bad_alloc&) {
                ec = make_error_code(boost::system::errc::not_enough_memory);
            } catch (const std::length_error&) {
                ec = make_error_code(boost::system::errc::not_enough_memory);
            }
        }

        typename Inner::reader m_inner;
    };
};

}  // namespace appserver
