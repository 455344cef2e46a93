#pragma once
// A text file that cannot be read or written as asked; what() is the message for the user, in
// Portuguese, naming the file and what to do.

#include <stdexcept>

class ETextFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
