// Exception classes of the class-library layer. Every failure the system
// raises carries its message text; the application's handler shows it.
#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// Root of the system's exceptions: a message and nothing else.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// Text that does not convert to a number or date, e.g. "'%s' は整数ではありません".
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Assign from a source the destination does not know.
class EAssignError : public EConvertError {
 public:
  using EConvertError::EConvertError;
};

// Registry access failures: wrong data type, read or write refused.
class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

// A file that cannot be created, opened or written.
class EFileError : public Exception {
 public:
  using Exception::Exception;
};

// Replaces each "%s" in turn by the next argument (the class library's Format for texts).
std::string FormatText(const std::string& pattern, std::initializer_list<std::string> args);

// "'%s' は整数ではありません"
[[noreturn]] void ThrowNotAnInteger(const std::string& text);

}  // namespace platform
