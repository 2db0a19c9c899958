// -x: extracts the matching files (every file when none is named) into the
// base folder, or the current folder when none is given; with -j every file
// lands in that folder itself.
#include <memory>

#include "CabExtraction.h"
#include "Commands.h"
#include "common/ArchiverApi.h"
#include "common/Failure.h"
#include "common/Messages.h"

namespace cab {

std::int32_t RunExtract(const CabOptions& o, arc::Report& report) {
  std::unique_ptr<Cabinet> cabinet;
  try {
    cabinet = OpenCabinetOrProgram(o.archive);
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kNotArchive, e.what());
  }
  ExtractionSummary s;
  try {
    s = ExtractCabinet(*cabinet, o.baseDir, !o.noFolders, o.overwrite, o.files,
                       [&](const std::string& l) { report.Line(l); });
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  if (s.cancelled) {
    report.Line(arc::msg::Cancelled("それまでに展開したファイルは残っています"));
    return arc::kCancelled;
  }
  if (s.matched == 0) {
    report.Line(arc::msg::NoMemberMatched());
    return arc::kNothingMatched;
  }
  report.Line(arc::msg::ExtractSummary(s.written, s.matched));
  return s.result;
}

}  // namespace cab
