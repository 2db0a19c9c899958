#include "app/cli/CliJob.h"

#include <ostream>

#include "app/cli/CliOutput.h"
#include "app/cli/JobRun.h"
#include "app/cli/JobsRun.h"
#include "app/run/AfterCommand.h"
#include "app/run/CompressRun.h"
#include "app/run/RunCheck.h"
#include "app/run/RunSummary.h"
#include "app/settings/ArchiveFormat.h"
#include "app/settings/DataSave.h"
#include "app/settings/DateDefaults.h"
#include "app/settings/DefaultKinds.h"
#include "app/settings/ShiftJisNames.h"
#include "app/text/FolderText.h"
#include "app/text/IntegerText.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

namespace pelsok::app {
namespace {

std::vector<std::string> SplitKinds(const std::string& text) {
  std::vector<std::string> kinds;
  std::string cur;
  for (char c : text) {
    if (c == ',') {
      kinds.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  kinds.push_back(cur);
  return kinds;
}

// The year and month the command line gives, checked as the window checks
// them before anything runs; the month as a number, as the window's spin
// edit reads it ("09" is 9).
void CheckDate(TCliOptions& o, TCliOutput& err) {
  std::optional<TRunProblem> problem;
  if (o.Month) {
    problem = CheckMonthText(*o.Month);  // raises the conversion error
    if (!problem) o.Month = std::to_string(StrToInt(*o.Month));
  }
  if (!problem && o.Year) problem = CheckYearText(*o.Year);
  if (!problem) return;
  err.Error(problem->Why);
  throw platform::Exception(problem->WhatToDo);
}

}  // namespace

std::string CliUsage() {
  return std::string(
      "Usage: pelsok-cli [options]\n"
      "       pelsok-cli --jobs FILE [--catch-up] [--dry-run]\n"
      "       pelsok-cli list ARCHIVE\n"
      "       pelsok-cli test ARCHIVE\n"
      "       pelsok-cli extract ARCHIVE [DIR] [MASK...]\n"
      "       pelsok-cli convert [--format F] [--replace] ARCHIVE|FOLDER...\n"
      "       pelsok-cli verify ARCHIVE|FOLDER...\n"
      "       pelsok-cli grep [-i] [-F|-E] [-c] [-l] [--member MASK] PATTERN\n"
      "                       ARCHIVE|FOLDER...\n"
      "Packs one month's logs of a kind into one archive, kind+year+month.LZH\n"
      "(or the chosen format's extension), lists the archive and, with --delete,\n"
      "deletes the packed logs once the archive gives each one back whole (every\n"
      "member is decoded in memory and compared with its log; nothing is\n"
      "extracted to disk). Runs with no\n"
      "window and asks nothing. Defaults come from the settings the window stored\n"
      "(folder, 6-digit mode, kind list) and from today's date (the previous month).\n"
      "\n"
      "Options:\n"
      "  -k, --kind KIND      log kind (default DR)\n"
      "  -c, --continuous     one run per kind of the stored kind list\n"
      "      --kinds A,B,...  one run per kind of this list (implies --continuous)\n"
      "  -y, --year YEAR      year text as the archive name carries it, digits\n"
      "                       (default: the previous month's two-digit year)\n"
      "  -m, --month MONTH    month 1 to 12, read as a number (09 is 9; default:\n"
      "                       the previous month)\n"
      "  -f, --folder DIR     log folder (default: the stored folder); a missing\n"
      "                       trailing / is added\n"
      "  -6, --six-digit      logs named kind+YYMMDD.log, packed in the current\n"
      "                       folder (with --folder: that folder)\n"
      "      --no-six-digit   logs named kind+MMDD.log in the folder\n"
      "  -d, --delete         delete each packed log whose size matches the archive\n"
      "  -n, --dry-run        print the mask, the archive name, the logs that would\n"
      "                       be packed and (with --delete) deleted; touch nothing\n"
      "      --no-manifest    write no checksum manifest NAME.sha256 beside the\n"
      "                       archive (for timing; see man pelsok-cli)\n"
      "      --format NAME    archive format (default: the stored one, lzh); the\n"
      "                       archive's extension follows it. Available:\n"
      "                       " +
      ArchiveFormatNames() +
      "\n"
      "      --shift-jis-names  LZH and ZIP store the names as Shift-JIS (cp932)\n"
      "                       for Windows users (default: the window's setting)\n"
      "      --no-shift-jis-names  store the names as UTF-8\n"
      "      --jobs FILE      run every job of the INI jobs file FILE, one section a\n"
      "                       job: folder, kinds, format, six-digit, delete, keep,\n"
      "                       archive-folder, after (see man pelsok-cli); a bad\n"
      "                       file runs no job (exit 3)\n"
      "      --catch-up       pack every complete month whose logs are still in the\n"
      "                       folder, oldest first, not only the previous month\n"
      "      --keep N         keep the newest N month archives of each kind, remove\n"
      "                       older ones (only exact kind+YYMM+extension names, only\n"
      "                       when the newest passes its test; 0 keeps all)\n"
      "      --after COMMAND  run COMMAND with each new archive's full path as its\n"
      "                       last argument (no shell, nothing expanded)\n"
      "  -h, --help           show this text\n"
      "      --version        show the program's version\n"
      "\n"
      "Output: one line per run \"archive NAME result HHHH\", then \"packed ENTRY\"\n"
      "and \"deleted FILE\" lines, \"manifest NAME.sha256\" when the run wrote the\n"
      "archive's manifest, and for a run that made its archive one line\n"
      "\"run KIND YYMM logs N in BYTES out BYTES deleted N seconds S archive NAME\".\n"
      "The manifest holds the SHA-256 of the archive and of every member, the\n"
      "link to the kind's previous manifest and the logs deleted;\n"
      "\"sha256sum -c --ignore-missing NAME.sha256\" checks it beside the archive\n"
      "or in a folder the archive was extracted to.\n"
      "A kind with no logs in --kinds, --continuous or a job is a note, not an error.\n"
      "On every line, the progress line too, bytes below\n"
      "0x20, 0x7F, the C1 controls U+0080-U+009F and the backslash of a name are\n"
      "written as \\xHH, so no name can break a line or reach the terminal raw.\n"
      "Exit status: 0 all runs ok; 1 a warning (archiver warning, or packed logs\n"
      "that were not deleted); 2 an archiver error result (e.g. no log matched);\n"
      "3 an error (bad option, a year not digits or a month not 1 to 12, both\n"
      "checked before anything runs, archiver library missing,\n"
      "another run busy with the same archive).\n"
      "Exit status 1 to 3 makes a systemd service fail (OnFailure=).\n"
      "The continuous command stops at the first error. An existing archive is\n"
      "replaced only by a new archive that was made and lists; when the old\n"
      "archive holds entries the new one lacks, it is kept as NAME.old. A run\n"
      "that was killed midway is put right by the next run for that archive.\n"

      "\n"
      "list shows an archive's entries, test checks every entry's data, extract\n"
      "restores the entries (those matching a MASK) below DIR (default: the current\n"
      "folder; a DIR ending with / is made when missing). The format comes from\n"
      "the archive's content, so any format this build reads works whatever the\n"
      "name. Exit status: 0 ok; 1 a warning; 2 the\n"
      "library failed (damaged archive, nothing matched); 3 an error (no such\n"
      "archive, unknown format, library missing, bad arguments).\n"
      "Progress goes to standard error while it is a terminal.\n"
      "\n"
      "grep prints the lines of archive members that match PATTERN (a basic\n"
      "regular expression; -E extended, -F a fixed string; -i ignores case),\n"
      "as \"grep -H -n\" does, with the archive and the member:\n"
      "ARCHIVE:MEMBER:LINE:text; -c prints ARCHIVE:MEMBER:COUNT, -l the\n"
      "ARCHIVE:MEMBER of each member with a matching line; --member MASK\n"
      "searches only the members MASK matches. Members are decoded in memory,\n"
      "never written to disk; each archive's format comes from its content, and\n"
      "a FOLDER means every archive in it. A damaged member is reported on\n"
      "standard error and searched no further; the rest is still searched.\n"
      "Exit status as grep's: 0 a line matched; 1 none did; 2 an error.\n"
      "\n"
      "verify checks each archive against the manifest beside it, NAME.sha256\n"
      "(the form sha256sum -c reads): the manifest's seal (an edited manifest),\n"
      "the archive's SHA-256, each member's data (decoded in memory) and each\n"
      "link of the chain to the earlier months' manifests, back to the oldest\n"
      "one present. A FOLDER means every archive in it, and each manifest whose\n"
      "archive retention removed (its chain is still checked), oldest first.\n"
      "One line per archive, \"一致\", \"不一致\" or \"マニフェストなし\", each\n"
      "difference named below it. Exit status: 0 everything matches; 2 anything\n"
      "does not (a manifest missing, a changed archive, member or manifest, a\n"
      "broken link); 3 bad arguments.\n"
      "\n"
      "Files, below the installation prefix (/usr for the Debian package):\n"
      "  bin/pelsok-cli, bin/Pelsok       this program and the window\n"
      "  lib/pelsok/UNLHA32.DLL, ...      the archiver libraries (one next to the\n"
      "                                   program is used first)\n"
      "  share/pelsok/help/Pelsok1/       the help pages (contents.html)\n"
      "Settings: $XDG_CONFIG_HOME/pelsok/registry.reg (default ~/.config/pelsok/),\n"
      "or the file PELSOK_HIVE names.\n");
}

TCliOptions ParseCliOptions(const std::vector<std::string>& args) {
  TCliOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string name = a;
    std::optional<std::string> inlineValue;
    if (a.rfind("--", 0) == 0) {
      const auto eq = a.find('=');
      if (eq != std::string::npos) {
        name = a.substr(0, eq);
        inlineValue = a.substr(eq + 1);
      }
    }
    auto value = [&]() -> std::string {
      if (inlineValue) return *inlineValue;
      if (i + 1 >= args.size())
        throw platform::Exception(platform::FormatText("オプション %s に値がありません", {name}));
      return args[++i];
    };
    auto noValue = [&]() {
      if (inlineValue)
        throw platform::Exception(platform::FormatText("オプション %s は値をとりません", {name}));
    };
    if (name == "-k" || name == "--kind")
      o.Kind = value();
    else if (name == "--kinds") {
      o.Kinds = SplitKinds(value());
      o.Continuous = true;
    } else if (name == "-y" || name == "--year")
      o.Year = value();
    else if (name == "-m" || name == "--month")
      o.Month = value();
    else if (name == "-f" || name == "--folder")
      o.Folder = value();
    else if (name == "-c" || name == "--continuous") {
      noValue();
      o.Continuous = true;
    } else if (name == "-6" || name == "--six-digit") {
      noValue();
      o.SixDigit = true;
    } else if (name == "--no-six-digit") {
      noValue();
      o.SixDigit = false;
    } else if (name == "-d" || name == "--delete") {
      noValue();
      o.Delete = true;
    } else if (name == "-n" || name == "--dry-run") {
      noValue();
      o.DryRun = true;
    } else if (name == "--no-manifest") {
      noValue();
      o.NoManifest = true;
    } else if (name == "--format") {
      o.Format = value();
    } else if (name == "--shift-jis-names" || name == "--no-shift-jis-names") {
      noValue();
      o.ShiftJisNames = name == "--shift-jis-names";
    } else if (name == "--jobs") {
      o.Jobs = value();
    } else if (name == "--catch-up") {
      noValue();
      o.CatchUp = true;
    } else if (name == "--keep") {
      const std::string v = value();
      int n = 0;
      if (!TryStrToInt(v, n) || n < 0 || v.find_first_not_of("0123456789") != std::string::npos)
        throw platform::Exception("--keep の値は 0 以上の整数 (月数) です: " + v);
      o.Keep = n;
    } else if (name == "--after") {
      o.After = value();
      SplitCommandWords(*o.After);
    } else if (name == "-h" || name == "--help") {
      noValue();
      o.Help = true;
    } else
      throw platform::Exception(platform::FormatText("不明なオプションです: %s", {a}));
  }
  if (o.Kind && o.Continuous)
    throw platform::Exception("--kind と --continuous/--kinds は同時に指定できません");
  if (o.CatchUp && (o.Year || o.Month))
    throw platform::Exception("--catch-up と --year/--month は同時に指定できません");
  if (o.Jobs && (o.Kind || o.Continuous || o.Year || o.Month || o.Folder || o.SixDigit ||
                 o.Delete || o.Format || o.Keep || o.After || o.NoManifest))
    throw platform::Exception(
        "--jobs と一緒に指定できるのは --catch-up と --dry-run だけです "
        "(ほかはジョブファイルに書きます)");
  return o;
}

int RunCli(const std::vector<std::string>& args, std::ostream& outStream, std::ostream& errStream,
           platform::TDateTime today) {
  TCliOutput out(outStream);
  TCliOutput err(errStream);
  TCliOptions o;
  try {
    o = ParseCliOptions(args);
  } catch (const std::exception& e) {
    err.Error(e.what());
    err.Line("使い方は 'pelsok-cli --help' で表示されます。");
    return kExitError;
  }
  if (o.Help) {
    out.Stream() << CliUsage();
    return kExitOk;
  }

  if (o.Jobs) return RunJobsFile(*o.Jobs, o.CatchUp, o.DryRun, out, err, today);

  TRunGrade grade = TRunGrade::Ok;
  try {
    CheckDate(o, err);
    // Stored settings, with the window's own defaults where nothing is stored.
    TSettingsFields stored;
    stored.Kinds = DefaultKinds();
    try {
      TDataSave::LoadSettings(stored);
    } catch (const platform::EHiveCorrupt& e) {
      // Unreadable settings stop nothing that the command line gives in full.
      err.Error(e.what());
    }

    const TMonthYearText when = PreviousMonthText(today);
    TRunInput in;
    if (o.Folder)
      in.Folder = FolderWithDelimiter(*o.Folder);
    else
      in.Folder = stored.PathName;
    in.SixDigit = o.SixDigit.value_or(stored.Keta == "Yes");
    // 6-digit names carry no folder: the run works in the given folder.
    if (in.SixDigit && o.Folder && !platform::SetCurrentDir(*o.Folder))
      throw platform::Exception(
          platform::FormatText("フォルダ '%s' に移動できません", {*o.Folder}));
    if (!o.Folder && stored.PathName.empty() && !in.SixDigit)
      throw platform::Exception("ログのフォルダが保存されていません。--folder で指定してください");
    in.Year = o.Year.value_or(when.Year);
    in.Month = o.Month.value_or(when.Month);
    in.DeleteAfter = o.Delete;
    in.WriteManifest = !o.NoManifest;

    if (o.Format) {
      const auto format = FindArchiveFormat(*o.Format);
      if (!format)
        throw platform::Exception(platform::FormatText(
            "形式 '%s' では書庫を作れません (使える形式: %s)", {*o.Format, ArchiveFormatNames()}));
      in.Format = *format;
    } else {
      try {
        in.Format = LoadArchiveFormat();
      } catch (const platform::EHiveCorrupt&) {
        // Reported above with the other settings; the default format serves.
      }
    }

    if (o.ShiftJisNames) {
      in.ShiftJisNames = *o.ShiftJisNames;
    } else {
      try {
        in.ShiftJisNames = LoadShiftJisNames();
      } catch (const platform::EHiveCorrupt&) {
        // Reported above; names are stored as UTF-8.
      }
    }

    TJobRun job;
    job.Base = in;
    job.CatchUp = o.CatchUp;
    job.Keep = o.Keep.value_or(0);
    job.After = o.After.value_or("");
    job.DryRun = o.DryRun;
    job.Today = today;
    if (o.Continuous) {
      // A kind idle this month is a note: the series is not failed for it.
      job.Kinds = o.Kinds.value_or(stored.Kinds);
      job.IdleIsNote = true;
    } else {
      job.Kinds = {o.Kind.value_or("DR")};
    }
    grade = RunJob(job, out, err);
  } catch (const std::exception& e) {
    err.Error(e.what());
    return kExitError;
  }
  return static_cast<int>(grade);
}

}  // namespace pelsok::app
