#include <new>

#include "Commands.h"
#include "ZipFailure.h"
#include "common/ArchiverApi.h"

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
  arc::Report report;
  std::int32_t result;
  try {
    result = Dispatch(cmdLine, report, unzip);
  } catch (const ZipFailure& e) {
    report.Line(e.what());
    result = e.Result();
  } catch (const std::bad_alloc&) {
    report.Line("out of memory");
    result = arc::kNoMemory;
  } catch (const std::exception& e) {
    report.Line(e.what());
    result = arc::kCannotWrite;
  }
  try {
    report.CopyTo(output, size);
  } catch (...) {
  }
  return result;
}

}  // namespace zipcore
