// The body of every library's command entry ("Unlha", "Cab", ...): runs the
// command, turns what it throws into a result code and a report line (the
// library's own failure carries its code; running out of memory is
// kNoMemory; anything else kCannotWrite), and copies the report into the
// caller's buffer. Nothing escapes the entry.
#pragma once

#include <cstdint>
#include <exception>
#include <new>

#include "common/ArchiverApi.h"
#include "common/Report.h"

namespace arc {

// Failure: the library's exception with Result(); dispatch(cmdLine, report)
// runs the command and returns its result.
template <class Failure, class Dispatch>
std::int32_t RunCommandEntry(const char* cmdLine, char* output, std::uint32_t size,
                             Dispatch dispatch) {
  Report report;
  std::int32_t result;
  try {
    result = dispatch(cmdLine, report);
  } catch (const Failure& e) {
    report.Line(e.what());
    result = e.Result();
  } catch (const std::bad_alloc&) {
    report.Line("out of memory");
    result = kNoMemory;
  } catch (const std::exception& e) {
    report.Line(e.what());
    result = kCannotWrite;
  }
  try {
    report.CopyTo(output, size);
  } catch (...) {
  }
  return result;
}

}  // namespace arc
