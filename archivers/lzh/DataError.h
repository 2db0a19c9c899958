// The failure a decoder raises for damaged compressed data. It is kept apart from
// std::runtime_error so that I/O failures of a Source or Sink pass through untouched.
#pragma once

#include <exception>
#include <string>

namespace lzh {

class DataError : public std::exception {
 public:
  explicit DataError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace lzh
