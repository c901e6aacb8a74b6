// Errors of this system: exceptions carrying a message text. The application's exception
// display shows the text of any Error that leaves an event handler.
#pragma once

#include <stdexcept>
#include <string>

namespace plat {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// A failed stream read or write (short read, device error).
class StreamError : public Error {
 public:
  using Error::Error;
};

// An exception that carries no message: it ends an operation without anything being shown.
class SilentAbort : public Error {
 public:
  SilentAbort() : Error(std::string()) {}
};

}  // namespace plat
