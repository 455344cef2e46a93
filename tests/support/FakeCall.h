#pragma once
// One call the fake app server received: the method and its positional arguments with their
// kinds.

#include <string>
#include <vector>

#include "wire/Rpc.h"

struct FakeCall {
    std::string method;
    std::vector<wire::Argument> args;

    // GetVdProduto("10", inout "123", packet {...}): one line to assert at once.
    std::string toString() const;
    // The texts of the arguments in order, whatever their kinds.
    std::vector<std::string> values() const;
};
