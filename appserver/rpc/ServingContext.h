#pragma once
// What every listener and connection of one server shares: its options, its open connections,
// its log, the budget of request bodies in flight and the workers that run the calls. The server
// owns every part and outlives its connections; the I/O loops and the call workers use them at
// once, so the options are read-only after start and every other part is thread-safe.

#include <boost/asio/any_io_executor.hpp>
#include <boost/asio/ssl/context.hpp>

#include "rpc/Authenticator.h"
#include "rpc/BodyBudget.h"
#include "rpc/CallLog.h"
#include "rpc/ConnectionRegistry.h"
#include "rpc/ServerOptions.h"
#include "rpc/SignInQueue.h"

namespace appserver {

struct ServingContext {
    const ServerOptions& options;
    ConnectionRegistry& registry;
    CallLog& log;
    BodyBudget& bodies;
    boost::asio::any_io_executor calls;        // a request's call runs here, off the I/O loops
    boost::asio::ssl::context* tls = nullptr;  // set: the server speaks HTTPS only
    Authenticator* auth = nullptr;
    SignInQueue* signIns = nullptr;  // where credentials are verified
};

}  // namespace appserver
