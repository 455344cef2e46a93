#pragma once
// Errors of record sets, fields and connections: an exception whose message the user may read.

#include <stdexcept>

class EDatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
