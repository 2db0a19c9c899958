// A command that cannot go on: its result code and the message for the report.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace zipcore {

class ZipFailure : public std::runtime_error {
 public:
  ZipFailure(std::int32_t result, const std::string& message)
      : std::runtime_error(message), result_(result) {}
  std::int32_t Result() const { return result_; }

 private:
  std::int32_t result_;
};

// Keeps the most serious result met so far (errors over warnings over
// success; among errors the first wins).
inline void Worsen(std::int32_t& current, std::int32_t next) {
  if (next == 0) return;
  if (current == 0 || (current < 0x8000 && next >= 0x8000)) current = next;
}

}  // namespace zipcore
