// A command that cannot go on: its result code and the message for the report.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace unarj {

class UnarjFailure : public std::runtime_error {
 public:
  UnarjFailure(std::int32_t result, const std::string& message)
      : std::runtime_error(message), result_(result) {}
  std::int32_t Result() const { return result_; }

 private:
  std::int32_t result_;
};

// Keeps the most serious of the results met so far (errors over warnings
// over success; the first error wins among errors).
inline void Worsen(std::int32_t& current, std::int32_t next) {
  if (next == 0) return;
  if (current == 0 || (current < 0x8000 && next >= 0x8000)) current = next;
}

}  // namespace unarj
