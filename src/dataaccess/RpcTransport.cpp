#include "RpcTransport.h"

#include "HttpTransport.h"

std::unique_ptr<RpcTransport> MakeHttpTransport(RpcTimeouts timeouts) {
    return std::make_unique<HttpTransport>(timeouts);
}
