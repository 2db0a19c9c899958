// What a run does to the disk, for every format: the archive and its folder
// reach the disk before any log goes (watched at the run's steps, cut short
// there as a crash would, and traced at the system calls), the archive's
// permissions, the temporary names recovery removes, unreadable logs, the
// lock over a month and kind, and the folder it cannot write.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "app/run/CompressRun.h"
#include "app/run/RunStep.h"
#include "platform/Exceptions.h"
#include "tests/app/RunSafetyFixture.h"
#include "tests/support/Files.h"

namespace {

namespace fs = std::filesystem;
using namespace pelsok::app;
using apptest::RunSafetyTest;
using testing_support::RunCommand;
using testing_support::ShellQuote;

const char* const kFormats[] = {"lzh", "zip", "tgz", "tbz", "tar", "cab"};

std::string ArchiveOf(const char* format) {
  std::string ext = FindArchiveFormat(format)->Extension;
  return "DR2611" + ext;
}

TRunResult RunFormat(const std::string& folder, const char* format, bool deleteAfter = true) {
  TRunState state;
  const TRunInput in{folder, "DR", "26", "11", false, deleteAfter, *FindArchiveFormat(format)};
  return TCompressRun(state).Run(in, [] { return true; });
}

std::uint32_t ModeOf(const fs::path& p) {
  return static_cast<std::uint32_t>(fs::status(p).permissions() & fs::perms::mask);
}

class RunDurabilityTest : public RunSafetyTest {
 protected:
  void TearDown() override { SetRunStepWatcher(nullptr); }
  void Clear() {
    for (const auto& e : fs::directory_iterator(dir.Path())) fs::remove_all(e.path());
  }
  bool AllThere(const std::vector<std::string>& logs) {
    for (const auto& l : logs)
      if (!fs::exists(dir / l)) return false;
    return true;
  }
};

TEST_F(RunDurabilityTest, NoLogGoesBeforeTheArchiveIsSyncedAndACrashBeforeTheSyncLosesNone) {
  for (const char* format : kFormats) {
    SCOPED_TRACE(format);
    const auto logs = MakeLogs(Folder(), "DR11", 3);
    // A crash after the archive is written and before it is synced.
    SetRunStepWatcher([](TRunStep step, const std::string&) {
      if (step == TRunStep::ArchiveWritten) _exit(9);
    });
    EXPECT_EXIT(RunFormat(Folder(), format), testing::ExitedWithCode(9), "");
    EXPECT_TRUE(AllThere(logs));
    // Unbroken, the steps come in this order, every log there until the sync.
    std::vector<TRunStep> steps;
    SetRunStepWatcher([&](TRunStep step, const std::string&) {
      if (step != TRunStep::LogDeleted) {
        EXPECT_TRUE(AllThere(logs));
      }
      steps.push_back(step);
    });
    const TRunResult r = RunFormat(Folder(), format);
    EXPECT_EQ(r.Deletion.Deleted.size(), logs.size());
    EXPECT_EQ(steps, (std::vector<TRunStep>{TRunStep::ArchiveWritten, TRunStep::ArchiveSynced,
                                            TRunStep::ManifestWritten, TRunStep::LogDeleted,
                                            TRunStep::LogDeleted, TRunStep::LogDeleted}));
    SetRunStepWatcher(nullptr);
    Clear();
  }
}

// The system calls of a whole run: the archive's data and the folder are
// synced before the first log is unlinked, and every file the run and its
// library make beside the logs has a name that recovery knows.
TEST_F(RunDurabilityTest, TracedRunsSyncBeforeUnlinkingAndMakeOnlyNamesRecoveryKnows) {
  SKIP_WITHOUT_TOOL("strace");
  for (const char* format : kFormats) {
    SCOPED_TRACE(format);
    const auto logs = MakeLogs(Folder(), "DR11", 3);
    const std::string archive = ArchiveOf(format);
    const testing_support::TempDir traceDir;
    const std::string trace = traceDir / "trace";
    // The leak checker cannot work under ptrace; the untraced runs check leaks.
    std::string cmd =
        "ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" strace -f -y -qq -o " +
        ShellQuote(trace) + " -e trace=fsync,fdatasync,unlink,unlinkat,openat";
    for (const auto& a : CliArgs()) cmd += " " + ShellQuote(a);
    const auto run = RunCommand(cmd + " --format " + format);
    ASSERT_EQ(run.status, 0) << run.output;
    std::ifstream in(trace);
    bool fileSynced = false, folderSynced = false, unlinked = false;
    const std::regex created(R"re(openat\(.*"([^"]*)", [^)]*O_CREAT)re");
    for (std::string line; std::getline(in, line);) {
      if (line.find("fsync(") != std::string::npos ||
          line.find("fdatasync(") != std::string::npos) {
        if (line.find("<" + (dir / archive) + ">") != std::string::npos) fileSynced = true;
        if (line.find("<" + dir.Path() + ">") != std::string::npos) folderSynced = fileSynced;
      }
      if (line.find("unlink(\"" + (dir / "DR11")) != std::string::npos && !unlinked) {
        unlinked = true;
        EXPECT_TRUE(fileSynced && folderSynced) << line;
      }
      std::smatch m;
      if (!std::regex_search(line, m, created)) continue;
      const std::string name = fs::path(m[1].str()).filename().string();
      if (fs::path(m[1].str()).parent_path() != fs::path(dir.Path())) continue;
      const bool known = name.find("hive") != std::string::npos || name == "DR11.lock" ||
                         name == archive || name == archive + ".sha256" ||
                         name.rfind("." + archive + ".tmp", 0) == 0 ||
                         name.rfind(".." + archive + ".tmp", 0) == 0 ||
                         name.rfind("." + archive + ".check-", 0) == 0;
      EXPECT_TRUE(known) << line;
    }
    EXPECT_TRUE(unlinked);
    Clear();
  }
}

TEST_F(RunDurabilityTest, TheArchiveIsNoMoreOpenThanItsLogsAndARebuildKeepsItsMode) {
  struct Row {
    const char* format;
    std::uint32_t logModes[2];
    std::uint32_t before;  // the predecessor's mode; 0: a new archive
    std::uint32_t after;
  };
  const Row rows[] = {
      {"lzh", {0600, 0644}, 0, 0600},    {"zip", {0640, 0644}, 0, 0640},
      {"tgz", {0644, 0604}, 0, 0604},    {"tbz", {0644, 0644}, 0600, 0600},
      {"tar", {0644, 0644}, 0444, 0444}, {"cab", {0644, 0640}, 0664, 0660},
      {"zip", {0644, 0644}, 0664, 0664},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.format) + " " + std::to_string(row.after));
    const auto logs = MakeLogs(Folder(), "DR11", 2);
    const fs::path archive = dir / ArchiveOf(row.format);
    if (row.before) {
      RunFormat(Folder(), row.format, false);
      fs::permissions(archive, static_cast<fs::perms>(row.before));
      ASSERT_EQ(::chown(archive.c_str(), 65534, 65534), 0);
      MakeLogs(Folder(), "DR11", 3);  // one more log: a rebuild
    }
    for (int i = 0; i < 2; ++i)
      fs::permissions(dir / logs[i], static_cast<fs::perms>(row.logModes[i]));
    const TRunResult r = RunFormat(Folder(), row.format, false);
    ASSERT_TRUE(r.NewArchiveKept);
    EXPECT_EQ(ModeOf(archive), row.after);
    struct stat st {};
    ASSERT_EQ(::stat(archive.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, row.before ? 65534u : ::getuid());
    EXPECT_EQ(st.st_gid, row.before ? 65534u : ::getgid());
    Clear();
  }
}

TEST_F(RunDurabilityTest, RecoveryRemovesTheTemporaryFileOfEveryWriterAndNothingElse) {
  struct Row {
    const char* format;
    const char* leftover;
    bool removed;
  };
  const Row rows[] = {
      {"zip", ".DR2611.ZIP.tmp-run.ZIP", true},             // the run's packing name
      {"zip", ".DR2611.ZIP.tmp-run.ZIP.x7q0ab", true},      // libzip's beside it
      {"lzh", "..DR2611.LZH.tmp-run.LZH.tmpAb12Cd", true},  // ours beside it
      {"tgz", ".DR2611.TGZ.tmpAb12Cd", true},               // ours beside the archive
      {"tar", ".DR2611.TAR.tmp-manifest", true},            // a manifest being written
      {"zip", "DR2611.ZIP.backup", false},                  // the user's
      {"zip", "DR2611.ZIP.tmpAb12Cd", false},               // not hidden: not ours
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.leftover);
    MakeLogs(Folder(), "DR11", 2);
    testing_support::WriteFile(dir / row.leftover, "PK\x03\x04 a killed run's copy");
    const TRunResult r = RunFormat(Folder(), row.format, false);
    EXPECT_TRUE(r.NewArchiveKept);
    EXPECT_EQ(fs::exists(dir / row.leftover), !row.removed);
    Clear();
  }
}

// Runs the command-line front as an unprivileged user (root reads any file),
// with a hive file it may write.
testing_support::CommandResult CliAsNobody(const std::vector<std::string>& args) {
  const testing_support::TempDir hive;
  std::filesystem::permissions(hive.Path(), std::filesystem::perms::all);
  std::string line = "env PELSOK_HIVE=" + ShellQuote(hive / "hive.reg") +
                     " setpriv --reuid=65534 --regid=65534 --clear-groups";
  for (const auto& a : args) line += " " + ShellQuote(a);
  return RunCommand(line);
}

TEST_F(RunDurabilityTest, AnUnreadableLogIsNamedAndKeptWhileTheOthersArePacked) {
  SKIP_WITHOUT_TOOL("setpriv");
  fs::permissions(dir.Path(), fs::perms::all);
  for (const char* format : kFormats) {
    SCOPED_TRACE(format);
    const auto logs = MakeLogs(Folder(), "DR11", 3);
    for (const auto& l : logs) ASSERT_EQ(::chown((dir / l).c_str(), 65534, 65534), 0);
    fs::permissions(dir / logs[1], fs::perms::none);
    std::vector<std::string> args = CliArgs();
    args.insert(args.end(), {"--format", format});
    const auto run = CliAsNobody(args);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find(logs[1] + "' は読めない"), std::string::npos) << run.output;
    EXPECT_TRUE(fs::exists(dir / logs[1]));
    EXPECT_FALSE(fs::exists(dir / logs[0]));
    EXPECT_FALSE(fs::exists(dir / logs[2]));
    EXPECT_TRUE(fs::exists(dir / ArchiveOf(format)));
    Clear();
  }
}

// A ZIP run holds the month and kind: a TGZ run, or one of another year
// (the same logs without 6-digit names), is refused meanwhile.
TEST_F(RunDurabilityTest, ARunOfAnotherFormatOrYearOfTheSameMonthAndKindIsRefused) {
  MakeLogs(Folder(), "DR11", 3);
  std::vector<testing_support::CommandResult> others;
  TRunState state;
  const TRunInput in{Folder(), "DR", "26", "11", false, true, *FindArchiveFormat("zip")};
  const TRunResult first = TCompressRun(state).Run(in, [&] {
    for (const char* extra : {"--format=tgz", "--year=25"}) {
      std::string line;
      for (const auto& a : CliArgs()) line += ShellQuote(a) + " ";
      others.push_back(RunCommand(line + extra));
    }
    return true;
  });
  EXPECT_EQ(first.Deletion.Deleted.size(), 3u);
  for (const auto& other : others) {
    EXPECT_EQ(other.status, 3) << other.output;
    EXPECT_NE(other.output.find("別の実行が作成中です"), std::string::npos) << other.output;
  }
  EXPECT_FALSE(fs::exists(dir / "DR2611.TGZ"));
  EXPECT_FALSE(fs::exists(dir / "DR2511.LZH"));
}

TEST_F(RunDurabilityTest, AFolderThatIsMissingOrReadOnlyIsSaidSo) {
  try {
    RunFormat(dir / "missing/", "lzh");
    ADD_FAILURE() << "no error";
  } catch (const platform::Exception& e) {
    EXPECT_NE(e.Message().find("フォルダ '" + (dir / "missing/") + "' がありません"),
              std::string::npos)
        << e.Message();
  }
  SKIP_WITHOUT_TOOL("setpriv");
  MakeLogs(Folder(), "DR11", 1);
  fs::permissions(dir.Path(), static_cast<fs::perms>(0755));
  const auto run = CliAsNobody(CliArgs());
  EXPECT_EQ(run.status, 3) << run.output;
  EXPECT_NE(run.output.find("に書き込めません"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("lock"), std::string::npos) << run.output;
}

}  // namespace
