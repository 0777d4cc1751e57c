// The framework's invalid-argument error, raised by the list and string
// accessors for an index outside the list or text.
#pragma once

#include <stdexcept>

class CInvalidArgException : public std::invalid_argument {
 public:
  CInvalidArgException() : std::invalid_argument("invalid argument: index out of range") {}
};

[[noreturn]] void AfxThrowInvalidArgException();
