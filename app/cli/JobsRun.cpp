#include "app/cli/JobsRun.h"

#include "app/cli/JobRun.h"
#include "app/cli/JobsFile.h"
#include "app/settings/DateDefaults.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"

namespace pelsok::app {

int RunJobsFile(const std::string& path, bool catchUp, bool dryRun, TCliOutput& out,
                TCliOutput& err, platform::TDateTime today) {
  std::vector<TJob> jobs;
  try {
    jobs = ReadJobsFile(path);
  } catch (const std::exception& e) {
    err.Error(e.what());
    err.Error("ジョブファイルに誤りがあるため、どのジョブも実行しませんでした。");
    return static_cast<int>(TRunGrade::Fatal);
  }
  const TMonthYearText when = PreviousMonthText(today);
  TRunGrade worst = TRunGrade::Ok;
  for (const auto& job : jobs) {
    out.Line("job " + job.Name);
    TJobRun run;
    run.Base.Folder = job.Folder;
    run.Base.ArchiveFolder = job.ArchiveFolder;
    run.Base.SixDigit = job.SixDigit;
    run.Base.DeleteAfter = job.Delete;
    run.Base.Format = job.Format;
    run.Base.ShiftJisNames = job.ShiftJisNames;
    run.Base.Year = when.Year;
    run.Base.Month = when.Month;
    run.Kinds = job.Kinds;
    run.IdleIsNote = true;
    run.CatchUp = catchUp;
    run.Keep = job.Keep;
    run.After = job.After;
    run.DryRun = dryRun;
    run.Today = today;
    try {
      // 6-digit names carry no folder: such a job works in its folder.
      if (job.SixDigit && !platform::SetCurrentDir(job.Folder))
        throw platform::Exception(
            platform::FormatText("フォルダ '%s' に移動できません", {job.Folder}));
      worst = Worse(worst, RunJob(run, out, err));
    } catch (const std::exception& e) {
      err.Error("[" + job.Name + "] " + e.what());
      worst = TRunGrade::Fatal;
    }
  }
  return static_cast<int>(worst);
}

}  // namespace pelsok::app
