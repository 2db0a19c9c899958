#include "app/cli/JobRun.h"

#include <chrono>

#include "app/cli/JournalLine.h"
#include "app/run/AfterCommand.h"
#include "app/run/MonthLogs.h"
#include "app/run/PendingMonths.h"
#include "app/run/Retention.h"
#include "app/run/RunNames.h"
#include "app/run/RunSummary.h"
#include "platform/FileSystem.h"

namespace pelsok::app {
namespace {

// Prints what a run would do; returns the grade the run would start with
// (Failed when no log matches).
TRunGrade DryRun(const TRunInput& in, const std::vector<std::string>& files, TCliOutput& out) {
  const TLogNames names = RunLogNames(in);
  out.Line("mask " + names.Mask);
  out.Line("archive " + names.ArchiveName);
  for (const auto& f : files) out.Line("would-pack " + f);
  if (in.DeleteAfter)
    for (const auto& f : files) out.Line("would-delete " + f);
  return files.empty() ? TRunGrade::Failed : TRunGrade::Ok;
}

// The after-run command with a new archive; a failure is a warning.
TRunGrade RunAfter(const std::string& command, const std::string& archive, TCliOutput& out,
                   TCliOutput& err) {
  const TAfterStatus status = RunAfterCommand(SplitCommandWords(command), archive);
  if (!status.Failure.empty()) {
    err.Error("after: " + status.Failure);
    out.Line("after " + archive + " failed");
    return TRunGrade::Warning;
  }
  out.Line("after " + archive + " exit " + std::to_string(status.ExitCode));
  if (status.Ok()) return TRunGrade::Ok;
  err.Error(platform::FormatText("after: コマンドが終了状態 %s で終わりました: %s",
                                 {std::to_string(status.ExitCode), command}));
  return TRunGrade::Warning;
}

TRunGrade Retain(const TJobRun& job, const std::string& kind, TCliOutput& out, TCliOutput& err) {
  const std::string folder = !job.Base.ArchiveFolder.empty() ? job.Base.ArchiveFolder
                             : job.Base.SixDigit             ? std::string()
                                                             : job.Base.Folder;
  const TRetentionPlan plan = PlanRetention(folder, kind, job.Base.Format.Extension, job.Keep);
  const TRetentionResult r = ApplyRetention(plan, job.Base.Format, job.DryRun);
  if (!r.Refused.empty()) {
    err.Error(r.Refused);
    return TRunGrade::Warning;
  }
  for (const auto& name : r.Removed) out.Line((job.DryRun ? "would-remove " : "removed ") + name);
  for (const auto& name : r.NotRemoved) err.Error("削除できません: " + name);
  return r.NotRemoved.empty() ? TRunGrade::Ok : TRunGrade::Warning;
}

}  // namespace

TRunGrade RunJob(const TJobRun& job, TCliOutput& out, TCliOutput& err) {
  TRunGrade grade = TRunGrade::Ok;
  TRunState state;
  TCompressRun run(state);
  for (const auto& kind : job.Kinds) {
    TRunInput in = job.Base;
    in.Kind = kind;
    std::vector<TPendingMonth> months;
    if (job.CatchUp)
      months = PendingMonths(in.Folder, kind, in.SixDigit, job.Today);
    else
      months.push_back({in.Year, in.Month});
    bool packed = false, failed = false;
    for (const auto& month : months) {
      in.Year = month.Year;
      in.Month = month.Month;
      const std::vector<std::string> logs = MonthLogs(RunLogNames(in).Mask);
      if (logs.empty() && job.IdleIsNote) {
        out.Line(NoLogsNote(kind, in.Year, in.Month));
        continue;
      }
      if (job.DryRun) {
        grade = Worse(grade, DryRun(in, logs, out));
        continue;
      }
      const auto start = std::chrono::steady_clock::now();
      const TRunResult r = run.Run(in, [] { return true; });
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      out.Line("archive " + r.Names.ArchiveName + " result " +
               TCompressRun::ResultText(r.PackResult));
      for (const auto& e : r.Entries) out.Line("packed " + e.Name);
      for (const auto& d : r.Deletion.Deleted) out.Line("deleted " + d);
      if (!r.Manifest.empty()) out.Line("manifest " + r.Manifest);
      for (const auto& note : r.Notes) err.Lines(note, "pelsok-cli: ");
      // Worded as the window words it.
      for (const auto& line : OutcomeLines(r)) err.Lines(line, "pelsok-cli: ");
      grade = Worse(grade, r.Grade);
      if (!r.NewArchiveKept || r.Grade >= TRunGrade::Failed) {
        failed = true;
        continue;
      }
      out.Line(
          JournalLine(in, r, platform::FileSize(r.Names.ArchiveName).value_or(0), took.count()));
      packed = true;
      if (!job.After.empty())
        grade = Worse(grade, RunAfter(job.After, r.Names.ArchiveName, out, err));
    }
    // Nothing pending: the kind had no logs for the month a plain run packs.
    if (job.CatchUp && months.empty()) out.Line(NoLogsNote(kind, job.Base.Year, job.Base.Month));
    // Old archives go only after this kind's runs all made their archives.
    if (job.Keep > 0 && !failed && (packed || job.DryRun))
      grade = Worse(grade, Retain(job, kind, out, err));
  }
  return grade;
}

}  // namespace pelsok::app
