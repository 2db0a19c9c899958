// -a: writes a new cabinet from the matching files (MSZIP, or stored with
// -m0; CabinetWriter.h), into a temporary file renamed over the target only
// when it is complete and within the format's limits. -a always writes the
// cabinet anew: an existing file of that name is replaced.
#include <memory>

#include "CabLimits.h"
#include "CabinetWriter.h"
#include "Commands.h"
#include "SourceGatherer.h"
#include "common/ArchiverApi.h"
#include "common/Failure.h"
#include "common/Messages.h"
#include "common/Progress.h"
#include "common/ReplacementFile.h"
#include "common/SafeText.h"

namespace cab {
namespace {

void CheckLimits(const std::vector<SourceFile>& files, bool store) {
  if (files.size() > kMaxFiles)
    throw arc::Failure(arc::kCannotWrite, "ファイルが多すぎて一つのキャビネットに入りません (" +
                                              std::to_string(files.size()) + " 個、上限 65535 個)");
  std::uint64_t total = 0;
  for (const auto& f : files) {
    if (f.size > kMaxFolderBytes)
      throw arc::Failure(arc::kCannotWrite, arc::msg::Quoted(arc::SafeText(f.storedName)) +
                                                " は大きすぎてキャビネットに入りません (" +
                                                std::to_string(f.size) + " バイト、上限 " +
                                                std::to_string(kMaxFolderBytes) + " バイト)");
    total += f.size;
  }
  if (store && total > kMaxCabinetBytes)
    throw arc::Failure(arc::kCannotWrite, "ファイルが大きすぎて一つのキャビネットに入りません (" +
                                              std::to_string(total) + " バイト、上限 " +
                                              std::to_string(kMaxCabinetBytes) + " バイト)");
}

}  // namespace

std::int32_t RunAdd(const CabOptions& o, arc::Report& report) {
  if (o.files.empty()) throw arc::Failure(arc::kBadCommand, arc::msg::NoFileNames());
  GatherResult gathered = GatherSources(o, o.archive);
  for (const auto& note : gathered.notes) report.Line(arc::SafeText(note));
  if (gathered.files.empty()) throw arc::Failure(arc::kNothingMatched, arc::msg::NoFileMatched());
  CheckLimits(gathered.files, o.store);

  std::unique_ptr<arc::ReplacementFile> out;
  try {
    out = std::make_unique<arc::ReplacementFile>(o.archive);
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  arc::Progress progress;
  CabinetWriterOptions options;
  options.store = o.store;
  const std::optional<std::uint64_t> bytes =
      WriteCabinet(out->fd(), gathered.files, options, &progress);
  if (!bytes) {
    report.Line(arc::msg::Cancelled(arc::msg::ArchiveUnchanged()));
    return arc::kCancelled;
  }
  try {
    out->Commit();
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  for (const auto& f : gathered.files)
    report.Line(arc::msg::Line(arc::msg::Verdict::added, arc::SafeText(f.storedName)) + " (" +
                std::to_string(f.size) + " バイト)");
  report.Line(arc::msg::PackSummary(gathered.files.size(), arc::SafeText(o.archive)) + " (" +
              std::to_string(*bytes) + " バイト、" + (o.store ? "無圧縮" : "MSZIP") + ")");
  return arc::kOk;
}

}  // namespace cab
