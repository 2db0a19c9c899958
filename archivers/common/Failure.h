// A command that cannot go on: its result code (arc::Result) and the
// message for the report. Every library we ship throws this one;
// RunCommandEntry turns it into the entry's result and a report line.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "common/ArchiverApi.h"

namespace arc {

class Failure : public std::runtime_error {
 public:
  Failure(std::int32_t result, const std::string& message)
      : std::runtime_error(message), result_(result) {}
  std::int32_t Result() const { return result_; }

 private:
  std::int32_t result_;
};

// Keeps the most serious of the results met so far: failures over
// warnings over success; among failures the first wins.
inline void Worsen(std::int32_t& current, std::int32_t next) {
  if (next == kOk) return;
  if (current == kOk || (current < 0x8000 && next >= 0x8000)) current = next;
}

}  // namespace arc
