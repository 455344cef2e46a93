#include "dataaccess/RpcTransport.h"

#include "dataaccess/HttpTransport.h"

std::unique_ptr<RpcTransport> MakeHttpTransport(RpcTimeouts timeouts) {
    return std::make_unique<HttpTransport>(timeouts);
}
