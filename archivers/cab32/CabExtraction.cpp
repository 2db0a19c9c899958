#include "CabExtraction.h"

#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"
#include "common/Failure.h"
#include "common/Messages.h"
#include "common/Progress.h"
#include "common/SafeExtractor.h"
#include "common/SafeText.h"

namespace cab {

ExtractionSummary ExtractCabinet(Cabinet& cabinet, const std::string& baseDir, bool withFolders,
                                 bool overwrite, const std::vector<std::string>& masks,
                                 const std::function<void(const std::string&)>& line) {
  arc::ExtractRules rules;
  rules.withFolders = withFolders;
  rules.overwriteAlways = overwrite;
  arc::SafeExtractor extractor(baseDir.empty() ? "." : baseDir, rules);
  ExtractionSummary s;
  std::vector<const CabEntry*> chosen;
  std::uint64_t bytes = 0;
  for (const auto& e : cabinet.Entries()) {
    if (!arc::MatchesAnyMask(e.name, masks)) continue;
    chosen.push_back(&e);
    bytes += e.length;
  }
  s.matched = chosen.size();
  arc::Progress progress;
  progress.SetTotals(chosen.size(), bytes);
  for (const CabEntry* e : chosen) {
    if (!progress.StartFile(e->name)) {
      s.cancelled = true;
      s.result = arc::kCancelled;
      return s;
    }
    arc::EntryToExtract entry;
    entry.name = e->name;
    entry.mtime = e->mtime;
    entry.readOnly = (e->attributes & MSCAB_ATTRIB_RDONLY) != 0;
    const arc::ExtractReport r = extractor.Extract(entry, [&](int fd) {
      ExtractResult x = cabinet.Extract(*e, fd);
      return arc::DataResult{x.ok, x.damaged, x.message};
    });
    const std::string name = arc::SafeText(e->name);
    switch (r.outcome) {
      case arc::ExtractOutcome::written:
        ++s.written;
        line(arc::msg::Line(arc::msg::Verdict::extracted, name,
                            r.warning ? arc::SafeText(r.message) : ""));
        if (r.warning) arc::Worsen(s.result, arc::kWarning);
        break;
      case arc::ExtractOutcome::skippedNotNewer:
        line(arc::msg::Line(arc::msg::Verdict::skipped, name, arc::SafeText(r.message)));
        break;
      case arc::ExtractOutcome::skippedLink:
        line(arc::msg::Line(arc::msg::Verdict::skipped, name, arc::SafeText(r.message)));
        arc::Worsen(s.result, arc::kWarning);
        break;
      case arc::ExtractOutcome::refusedUnsafe:
        line(arc::msg::Line(arc::msg::Verdict::refused, name, arc::SafeText(r.message)));
        arc::Worsen(s.result, arc::kUnsafeName);
        break;
      case arc::ExtractOutcome::failed:
        line(arc::msg::Line(arc::msg::Verdict::failed, name, arc::SafeText(r.message)));
        arc::Worsen(s.result, r.damaged ? arc::kNotArchive : arc::kCannotWrite);
        break;
    }
    if (!progress.AddBytes(e->length) || !progress.FinishFile()) {
      s.cancelled = true;
      s.result = arc::kCancelled;
      return s;
    }
  }
  return s;
}

}  // namespace cab
