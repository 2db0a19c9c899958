// pelsok-cli list, test and extract on real archives: one the front packed,
// a foreign one under a name that hides its format, a damaged one, and the
// exit codes of each outcome.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <set>
#include <thread>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/Corpus.h"
#include "tests/support/Tools.h"

namespace {

class CliArchiveTest : public apptest::AppTest {
 protected:
  void SetUp() override {
    if (!platform::FileExists(platform::ExtractFilePath(PELSOK_CLI) + "UNLHA32.DLL"))
      GTEST_SKIP() << "UNLHA32.DLL is not built next to pelsok-cli yet";
  }
  testing_support::CommandResult Cli(const std::string& args) {
    return testing_support::RunCommand(std::string("'") + PELSOK_CLI + "' " + args);
  }
  // Packs three logs into DR2611.LZH with the front itself.
  std::string Packed() {
    logs = MakeLogs(Folder(), "DR11", 3, "a line of the log\n");
    const auto r = Cli("--folder '" + dir.Path() + "' --kind DR --year 26 --month 11");
    EXPECT_EQ(r.status, 0) << r.output;
    return dir / "DR2611.LZH";
  }
  std::vector<std::string> logs;
};

TEST_F(CliArchiveTest, ListShowsEveryEntry) {
  const std::string archive = Packed();
  const auto r = Cli("list '" + archive + "'");
  EXPECT_EQ(r.status, 0) << r.output;
  for (const auto& l : logs) EXPECT_NE(r.output.find(l), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("3 ファイル"), std::string::npos) << r.output;
}

TEST_F(CliArchiveTest, ExtractRestoresTheLogsByteForByteAndHonoursAMask) {
  const std::string archive = Packed();
  std::filesystem::create_directory(dir / "all");
  auto r = Cli("extract '" + archive + "' '" + (dir / "all") + "'");
  ASSERT_EQ(r.status, 0) << r.output;
  std::size_t found = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir / "all")) {
    if (!e.is_regular_file()) continue;
    ++found;
    const std::string name = e.path().filename().string();
    EXPECT_EQ(testing_support::ReadFile(e.path().string()), testing_support::ReadFile(dir / name));
  }
  EXPECT_EQ(found, 3u);

  // A folder named with a trailing delimiter is made.
  r = Cli("extract '" + archive + "' '" + (dir / "one") + "/' 'DR1102*'");
  ASSERT_EQ(r.status, 0) << r.output;
  found = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir / "one"))
    if (e.is_regular_file()) {
      ++found;
      EXPECT_EQ(e.path().filename(), "DR1102.log");
    }
  EXPECT_EQ(found, 1u);
}

TEST_F(CliArchiveTest, TheFormatIsToldByContentNotByName) {
  for (const char* foreign : {"lzh/lha255e/lh5.lzh", "arj/sample.arj", "rar/Rar.rar"}) {
    SCOPED_TRACE(foreign);
    const std::string path = testing_support::CorpusDir("") + "/" + foreign;
    ASSERT_TRUE(platform::FileExists(path));
    std::filesystem::copy_file(path, dir / "backup.dat",
                               std::filesystem::copy_options::overwrite_existing);
    auto r = Cli("list '" + (dir / "backup.dat") + "'");
    EXPECT_EQ(r.status, 0) << r.output;
    r = Cli("test '" + (dir / "backup.dat") + "'");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("OK"), std::string::npos) << r.output;
  }
}

TEST_F(CliArchiveTest, FailuresHaveHonestExitCodes) {
  const std::string archive = Packed();
  // A damaged member: test fails with 2 and leaves no work folder behind.
  std::string bytes = testing_support::ReadFile(archive);
  bytes[bytes.size() / 2] ^= 0x5A;
  testing_support::WriteFile(dir / "bad.lzh", bytes);
  auto r = Cli("test '" + (dir / "bad.lzh") + "'");
  EXPECT_EQ(r.status, 2) << r.output;
  r = Cli("list '" + (dir / "missing.lzh") + "'");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.output.find("missing.lzh"), std::string::npos) << r.output;
  testing_support::WriteFile(dir / "plain.txt", "not an archive");
  r = Cli("list '" + (dir / "plain.txt") + "'");
  EXPECT_EQ(r.status, 3) << r.output;
  r = Cli("list");
  EXPECT_EQ(r.status, 3);
  r = Cli("extract '" + archive + "' '" + dir.Path() + "' 'nothing*'");
  EXPECT_EQ(r.status, 2) << r.output;
}

// Links whose texts each stay inside but whose chain climbs out ("b -> ."
// then "etc -> b/b/../../etc"), made by Python for each format: extract
// refuses the chain and nothing in the folder resolves outside it.
TEST_F(CliArchiveTest, ExtractNeverMakesAChainOfLinksThatLeadsOutside) {
  SKIP_WITHOUT_TOOL("python3");
  const char* const makers[][2] = {
      {"chain.tar", "t = tarfile.open(out, 'w')"},
      {"chain.tgz", "t = tarfile.open(out, 'w:gz')"},
      {"chain.tbz", "t = tarfile.open(out, 'w:bz2')"},
      {"chain.zip", "t = zipfile.ZipFile(out, 'w')"},
  };
  for (const auto& [name, open] : makers) {
    SCOPED_TRACE(name);
    const std::string archive = dir / name;
    const std::string script = std::string("import sys, tarfile, zipfile\nout = sys.argv[1]\n") +
                               open +
                               "\nfor n, l in (('b', '.'), ('etc', 'b/b/../../etc')):\n"
                               "    if isinstance(t, zipfile.ZipFile):\n"
                               "        i = zipfile.ZipInfo(n)\n"
                               "        i.create_system = 3\n"
                               "        i.external_attr = 0o120777 << 16\n"
                               "        t.writestr(i, l)\n"
                               "    else:\n"
                               "        i = tarfile.TarInfo(n)\n"
                               "        i.type = tarfile.SYMTYPE\n"
                               "        i.linkname = l\n"
                               "        t.addfile(i)\n"
                               "t.close()\n";
    testing_support::WriteFile(dir / "make.py", script);
    ASSERT_EQ(testing_support::Shell("python3 make.py '" + archive + "'", dir.Path()), 0);
    const auto r = Cli("extract '" + archive + "' '" + dir.Path() + "/out/'");
    EXPECT_NE(r.status, 0) << r.output;
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "out/etc")) << r.output;
    const std::string inside = std::filesystem::canonical(dir / "out").string();
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir / "out"))
      EXPECT_EQ(std::filesystem::weakly_canonical(e.path()).string().rfind(inside, 0), 0u)
          << e.path();
    std::filesystem::remove_all(dir / "out");
  }
}

// test decodes without writing: a 3 KB TBZ that expands to 2 GiB (one
// header stream, then the same stream of zeros again and again) is tested
// under an empty TMPDIR and stopped by each signal a user or the system
// sends; nothing is left in the temporary folders or beside the archive.
TEST_F(CliArchiveTest, ATestStoppedBySignalLeavesNoFile) {
  SKIP_WITHOUT_TOOL("python3");
  SKIP_WITHOUT_TOOL("bzip2");
  const std::string make =
      "python3 -c \"import sys, tarfile; i = tarfile.TarInfo('DR1101.log'); "
      "i.size = 32 * 64 * 1024 * 1024 - 1024; sys.stdout.buffer.write(i.tobuf())\" "
      "| bzip2 > head.bz2 && head -c 64M /dev/zero | bzip2 > zeros.bz2 && "
      "(cat head.bz2; for i in $(seq 32); do cat zeros.bz2; done) > store/DR2611.TBZ && "
      "rm head.bz2 zeros.bz2";
  std::filesystem::create_directories(dir / "store");
  std::filesystem::create_directories(dir / "tmp");
  ASSERT_EQ(testing_support::Shell(make, dir.Path()), 0);
  const std::string archive = dir / "store/DR2611.TBZ";
  const auto checkFolders = [] {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator("/tmp"))
      if (e.path().filename().string().rfind("pelsok-check", 0) == 0)
        names.insert(e.path().filename().string());
    return names;
  };
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(strsignal(sig));
    const std::set<std::string> before = checkFolders();
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      setenv("TMPDIR", (dir / "tmp").c_str(), 1);
      freopen("/dev/null", "w", stdout);
      freopen("/dev/null", "w", stderr);
      execl(PELSOK_CLI, PELSOK_CLI, "test", archive.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, WNOHANG), 0) << "the test ended before the signal";
    kill(pid, sig);
    const auto start = std::chrono::steady_clock::now();
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() - start > std::chrono::seconds(20)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        FAIL() << "the test went on after the signal";
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir / "tmp"));
    EXPECT_EQ(testing_support::ListFiles(dir / "store"), std::vector<std::string>{"DR2611.TBZ"});
    for (const auto& name : checkFolders()) EXPECT_TRUE(before.count(name)) << name;
  }
}

TEST_F(CliArchiveTest, DryRunPrintsWhatWouldHappenAndTouchesNothing) {
  const auto made = MakeLogs(Folder(), "DR11", 2);
  MakeLogs(Folder(), "DR10", 1);
  const std::string archive = dir.Write("DR2611.LZH", "the old archive");
  const auto r = Cli("--folder '" + dir.Path() + "' --year 26 --month 11 --delete --dry-run");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("mask " + Folder() + "DR11*.log\n"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("archive " + archive + "\n"), std::string::npos) << r.output;
  for (const auto& l : made) {
    EXPECT_NE(r.output.find("would-pack " + Folder() + l), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("would-delete " + Folder() + l), std::string::npos) << r.output;
    EXPECT_TRUE(platform::FileExists(dir / l));
  }
  EXPECT_EQ(r.output.find("DR1001.log"), std::string::npos) << r.output;
  EXPECT_EQ(testing_support::ReadFile(archive), "the old archive");
  // Nothing to pack: the dry run says so by its status.
  EXPECT_EQ(Cli("--folder '" + dir.Path() + "' --year 26 --month 9 --dry-run").status, 2);
}

// Every format that can be written, for an ASCII kind and a double-byte one
// (whose cp932 trail byte is the letter A) under either ANSI code page: the
// archive takes its extension, an independent reader accepts it and finds
// each log under its UTF-8 name, and --delete removes every log only after
// the archive gave it back, leaving no check folder behind.
TEST_F(CliArchiveTest, EveryWritableFormatPacksChecksAndDeletes) {
  struct Row {
    const char* format;
    const char* extension;
    const char* tool;
    const char* check;  // a command that reads the archive whole
    const char* names;  // one that lists its names as stored, when check shows them otherwise
  };
  const Row rows[] = {
      {"lzh", ".LZH", "lhasa", "lhasa t", "bsdtar -tf"},
      {"zip", ".ZIP", "unzip", "unzip -t", nullptr},
      {"tgz", ".TGZ", "bsdtar", "bsdtar -tvzf", nullptr},
      {"tbz", ".TBZ", "bsdtar", "bsdtar -tvjf", nullptr},
      {"tar", ".TAR", "bsdtar", "bsdtar -tvf", nullptr},
      {"cab", ".CAB", "cabextract", "cabextract -t", nullptr},
  };
  struct Mode {
    const char* acp;   // PELSOK_ACP
    const char* kind;  // as the command line and the disk spell it
    const char* utf8;  // the kind in UTF-8, as the archive stores it
  };
  const Mode modes[] = {
      {"utf8", "DR", "DR"},
      {"utf8", "\xE3\x82\xA2", "\xE3\x82\xA2"},  // ア
      {"932", "DR", "DR"},
      {"932", "\x83\x41", "\xE3\x82\xA2"},  // ア in cp932
  };
  for (const Mode& mode : modes) {
    const std::string acp = std::string("PELSOK_ACP=") + mode.acp + " ";
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.format) + " " + mode.acp + " " + mode.utf8);
      SKIP_WITHOUT_TOOL(row.tool);
      const auto made =
          MakeLogs(Folder(), std::string(mode.kind) + "11", 3, std::string(3000, 'q') + row.format);
      auto r = testing_support::RunCommand(
          acp + "'" + PELSOK_CLI + "' --folder '" + dir.Path() + "' --kind '" + mode.kind +
          "' --year 26 --month 11 --delete --format " + row.format);
      EXPECT_EQ(r.status, 0) << r.output;
      const std::string archive = dir / (std::string(mode.kind) + "2611" + row.extension);
      const auto read = testing_support::RunCommand("LC_ALL=C.UTF-8 " + std::string(row.check) +
                                                    " '" + archive + "'");
      EXPECT_EQ(read.status, 0) << read.output;
      const auto names = row.names == nullptr ? read
                                              : testing_support::RunCommand("LC_ALL=C.UTF-8 " +
                                                                            std::string(row.names) +
                                                                            " '" + archive + "'");
      for (const auto& l : made) {
        const std::string stored = mode.utf8 + l.substr(std::string(mode.kind).size());
        EXPECT_NE(names.output.find(stored), std::string::npos) << stored << "\n" << names.output;
        EXPECT_FALSE(platform::FileExists(dir / l)) << l;
      }
      for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_EQ(e.path().filename().string().find(".check-"), std::string::npos) << e.path();
      // test reads it whole, and fails on a damaged copy (TAR keeps no checksum).
      r = testing_support::RunCommand(acp + "'" + PELSOK_CLI + "' test '" + archive + "'");
      EXPECT_EQ(r.status, 0) << r.output;
      if (std::string(row.format) != "tar") {
        std::string bytes = testing_support::ReadFile(archive);
        bytes[bytes.size() / 2] ^= 0x5A;
        testing_support::WriteFile(archive, bytes);
        r = testing_support::RunCommand(acp + "'" + PELSOK_CLI + "' test '" + archive + "'");
        EXPECT_EQ(r.status, 2) << r.output;
      }
      std::filesystem::remove(archive);
    }
  }
  const auto r = Cli("--folder '" + dir.Path() + "' --year 26 --month 11 --format arj");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.output.find("zip, tgz, tbz, tar, cab"), std::string::npos) << r.output;
}

}  // namespace

namespace {

// A log name that retitles the terminal, colours it, rings, forges a line
// with CR and LF and opens a C1 control sequence.
const std::string kHostile =
    "DR1101\x1B]0;T\x07\x1B[31mR\rX\nY\xC2\x9B"
    "2J.log";

// Where out holds a control byte no name may bring: C0 other than the line
// breaks, DEL, or a C1 control; -1 when none. The progress line's own CR and
// erase-to-end sequence are not names and are taken out first.
long RawControlAt(std::string out, bool progress) {
  if (progress)
    for (const std::string& own : {std::string("\x1B[K"), std::string("\r")})
      for (std::size_t at; (at = out.find(own)) != std::string::npos;) out.erase(at, own.size());
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    const auto next = i + 1 < out.size() ? static_cast<unsigned char>(out[i + 1]) : 0;
    if ((c < 0x20 && c != '\n') || c == 0x7F || (c == 0xC2 && next >= 0x80 && next <= 0x9F))
      return static_cast<long>(i);
  }
  return -1;
}

}  // namespace

// Every kind of line the front writes about a name, for each format: the
// pack lines, the dry run, list, test, extract's report, and the progress
// line on a terminal. No raw control byte of the name reaches the output;
// its escaped form does.
TEST_F(CliArchiveTest, NoNameWritesAControlByteOnAnyLine) {
  const struct {
    const char* format;   // packed by the front with --format, or nullptr
    const char* made;     // else the tool's command that adds the log to archive
    const char* archive;  // the archive's name in the folder
    const char* escaped;  // what list shows of the name
  } rows[] = {
      {"lzh", nullptr, "DR2611.LZH", "\\x1B]0;T\\x07\\x1B[31mR\\x0DX\\x0AY\\xC2\\x9B2J.log"},
      {"zip", nullptr, "DR2611.ZIP", "\\xC2\\x9B2J.log"},
      {"tgz", nullptr, "DR2611.TGZ", "\\x1B]0;T\\x07\\x1B[31mR\\x0DX\\x0AY\\xC2\\x9B2J.log"},
      {"tbz", nullptr, "DR2611.TBZ", "\\x1B]0;T\\x07\\x1B[31mR\\x0DX\\x0AY\\xC2\\x9B2J.log"},
      {"tar", nullptr, "DR2611.TAR", "\\x1B]0;T\\x07\\x1B[31mR\\x0DX\\x0AY\\xC2\\x9B2J.log"},
      {"cab", nullptr, "DR2611.CAB", "\\xC2\\x9B2J.log"},
      {nullptr, "arj a -y", "hostile.arj", "\\x1B[31mR"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.archive);
    const std::string log = dir / kHostile;
    testing_support::WriteFile(log, "a line of the log\n");
    std::vector<std::pair<std::string, testing_support::CommandResult>> lines;
    const std::string archive = dir / row.archive;
    if (row.format != nullptr) {
      const std::string run = "--folder '" + dir.Path() + "' --year 26 --month 11 --delete ";
      lines.emplace_back("dry run", Cli(run + "-n --format " + row.format));
      lines.emplace_back("pack", Cli(run + "--format " + row.format));
    } else {
      const std::string made = row.made;
      if (testing_support::FindTool(made.substr(0, made.find(' '))).empty()) continue;
      ASSERT_EQ(
          testing_support::Shell(
              made + " '" + archive + "' " + testing_support::ShellQuote(kHostile), dir.Path()),
          0);
    }
    ASSERT_TRUE(platform::FileExists(archive)) << archive;
    lines.emplace_back("list", Cli("list '" + archive + "'"));
    lines.emplace_back("test", Cli("test '" + archive + "'"));
    lines.emplace_back("extract", Cli("extract '" + archive + "' '" + dir.Path() + "/out/'"));
    for (const auto& [kind, r] : lines) {
      SCOPED_TRACE(kind);
      EXPECT_LE(r.status, 1) << r.output;
      EXPECT_EQ(RawControlAt(r.output, false), -1) << r.output;
    }
    EXPECT_NE(lines[lines.size() - 3].second.output.find(row.escaped), std::string::npos)
        << lines[lines.size() - 3].second.output;
    std::filesystem::remove_all(dir / "out");
    std::filesystem::remove(archive);
    std::filesystem::remove(log);
  }
  // The progress line, on a terminal.
  SKIP_WITHOUT_TOOL("script");
  testing_support::WriteFile(dir / kHostile, std::string(1 << 20, 'q'));
  const auto r = testing_support::RunCommand(
      "script -qec " +
      testing_support::ShellQuote("'" + std::string(PELSOK_CLI) + "' --folder '" + dir.Path() +
                                  "' --year 26 --month 11") +
      " /dev/null");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(RawControlAt(r.output, true), -1) << r.output;
  EXPECT_NE(r.output.find("\\x1B[31mR"), std::string::npos) << r.output;
}
