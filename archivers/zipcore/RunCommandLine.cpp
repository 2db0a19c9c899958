#include "Commands.h"
#include "common/CommandEntry.h"

namespace zipcore {
namespace {

std::int32_t Dispatch(const char* text, arc::Report& report, bool unzip) {
  const ZipOptions o = ReadZipOptions(text ? text : "", unzip);
  switch (o.command) {
    case ZipCommand::add:
      return RunAdd(o, report);
    case ZipCommand::remove:
      return RunRemove(o, report);
    default:
      return RunExtract(o, report);
  }
}

}  // namespace

std::int32_t RunCommandLine(const char* cmdLine, char* output, std::uint32_t size, bool unzip) {
  return arc::RunCommandEntry(
      cmdLine, output, size,
      [unzip](const char* text, arc::Report& report) { return Dispatch(text, report, unzip); });
}

}  // namespace zipcore
