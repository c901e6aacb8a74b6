// What a lumipack command fails with. A Failure names the file concerned and, where there is
// one, the archive member; the command line turns it into one line on stderr and a non-zero
// exit status. A UsageError is a command line that cannot be run as given.
#pragma once

#include <stdexcept>
#include <string>

namespace lumipack {

class Failure : public std::runtime_error {
 public:
  Failure(std::string file, std::string member, const std::string& what)
      : std::runtime_error(what), file_(std::move(file)), member_(std::move(member)) {}
  const std::string& File() const { return file_; }
  const std::string& Member() const { return member_; }

 private:
  std::string file_;
  std::string member_;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace lumipack
