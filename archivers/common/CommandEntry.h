// The body of every library's command entry ("Unlha", "Cab", ...): runs the
// command, turns what it throws into a result code and a report line (the
// library's arc::Failure carries its code; running out of memory is
// kNoMemory; anything else kCannotWrite), and copies the report into the
// caller's buffer. Nothing escapes the entry.
#pragma once

#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "common/ArchiverApi.h"
#include "common/CommandLine.h"
#include "common/Failure.h"
#include "common/Messages.h"
#include "common/Report.h"
#include "common/SafeText.h"

namespace arc {

// How the message of an exception that is no arc::Failure reaches the
// report: as it is, or with control characters shown safely (a library
// whose underlying code puts file names into its messages).
enum class OtherMessages { asIs, safe };

// dispatch(cmdLine, report) runs the command and returns its result.
template <class Dispatch>
std::int32_t RunCommandEntry(const char* cmdLine, char* output, std::uint32_t size,
                             Dispatch dispatch, OtherMessages other = OtherMessages::asIs) {
  Report report;
  std::int32_t result;
  try {
    result = dispatch(cmdLine, report);
  } catch (const Failure& e) {
    report.Line(e.what());
    result = e.Result();
  } catch (const std::bad_alloc&) {
    report.Line(msg::OutOfMemory());
    result = kNoMemory;
  } catch (const std::exception& e) {
    report.Line(other == OtherMessages::safe ? SafeText(e.what()) : std::string(e.what()));
    result = kCannotWrite;
  }
  try {
    report.CopyTo(output, size);
  } catch (...) {
  }
  return result;
}

// The same for a library that reads its command line with ParseCommandLine:
// a line that cannot be read reports why and returns its code; otherwise
// run(line, report) runs the command.
template <class Run>
std::int32_t RunCommandEntry(const char* cmdLine, char* output, std::uint32_t size,
                             const std::vector<std::string>& knownSwitches, Run run,
                             OtherMessages other = OtherMessages::asIs) {
  return RunCommandEntry(
      cmdLine, output, size,
      [&](const char* text, Report& report) -> std::int32_t {
        CommandLine line;
        if (auto err = ParseCommandLine(text ? text : "", knownSwitches, ReadResponseFile, line)) {
          report.Line(err->message);
          return err->result;
        }
        return run(line, report);
      },
      other);
}

}  // namespace arc
