// pelsok-cli with the xz and zstd tar formats: a monthly run that writes
// them and deletes its logs, and convert on real archives of every format we
// read, a conversion that fails midway, a folder, a held lock.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <map>
#include <set>

#include "platform/FileLock.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/GeneratedData.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::RunCommand;
using testing_support::ShellQuote;

// Every file, link and folder below root: a file's data and time, a link's
// target.
std::map<std::string, std::string> Tree(const std::string& root) {
  std::map<std::string, std::string> tree;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    const std::string rel = fs::relative(e.path(), root).generic_string();
    struct stat st {};
    ::lstat(e.path().c_str(), &st);
    if (e.is_symlink())
      tree[rel] = "-> " + fs::read_symlink(e.path()).string();
    else if (e.is_directory())
      tree[rel] = "folder";
    else
      tree[rel] = std::to_string(st.st_mtime) + " " +
                  std::to_string(std::hash<std::string>()(ReadFile(e.path().string())));
  }
  return tree;
}

class ConvertTest : public apptest::AppTest {
 protected:
  testing_support::CommandResult Cli(const std::string& args) {
    return RunCommand(ShellQuote(PELSOK_CLI) + " " + args);
  }
  // Copies a file of tests/data into the test's folder.
  std::string Copy(const std::string& data, const std::string& as) {
    fs::copy_file(std::string(DATA_ROOT) + "/" + data, dir / as);
    return dir / as;
  }
  // The names in the test's folder, but the hive's.
  std::set<std::string> Names() {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.Path()))
      if (e.path().filename() != "hive.reg") names.insert(e.path().filename().string());
    return names;
  }
};

TEST_F(ConvertTest, MonthlyRunsWriteTxzAndTzstAndDeleteTheLogs) {
  for (const std::string format : {"txz", "tzst"}) {
    SCOPED_TRACE(format);
    const auto logs = MakeLogs(Folder(), "DR11", 3, testing_support::LogText(40000, 1));
    std::map<std::string, std::string> want;
    for (const auto& l : logs) want[l] = ReadFile(dir / l);
    const auto r = Cli("--folder " + ShellQuote(dir.Path()) +
                       " --kind DR --year 26 --month 11 --delete --format " + format);
    ASSERT_EQ(r.status, 0) << r.output;
    for (const auto& l : logs) EXPECT_FALSE(fs::exists(dir / l)) << l;
    const std::string archive = dir / ("DR2611." + std::string(format == "txz" ? "TXZ" : "TZST"));
    const std::string out = dir / ("out-" + format);
    fs::create_directory(out);
    ASSERT_EQ(testing_support::Shell(std::string("tar ") + (format == "txz" ? "-J" : "--zstd") +
                                     " -xf " + ShellQuote(archive) + " -C " + ShellQuote(out)),
              0);
    // The run stores each log under its folder's path, as for TGZ.
    std::map<std::string, std::string> got;
    for (const auto& e : fs::recursive_directory_iterator(out))
      if (e.is_regular_file()) got[e.path().filename().string()] = ReadFile(e.path().string());
    EXPECT_TRUE(got == want) << "the logs did not come back whole";
    EXPECT_EQ(Cli("test " + ShellQuote(archive)).status, 0);
  }
}

struct Source {
  const char* format;
  const char* data;  // below tests/data
};

class ConvertSourceTest : public ConvertTest, public ::testing::WithParamInterface<Source> {};

// The new archive, read by GNU tar, holds what our own extraction of the
// old one gives, times included; the old one is gone.
TEST_P(ConvertSourceTest, ARealArchiveMovesOntoTzstWithReplace) {
  SKIP_WITHOUT_TOOL("tar");
  const Source s = GetParam();
  const std::string name = fs::path(s.data).filename().string();
  const std::string old = Copy(s.data, name);
  const std::string ref = dir / "ref/";
  ASSERT_EQ(Cli("extract " + ShellQuote(old) + " " + ShellQuote(ref)).status, 0);
  const auto r = Cli("convert --replace " + ShellQuote(old));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("変換しました"), std::string::npos) << r.output;
  EXPECT_FALSE(fs::exists(old));
  const std::string made = dir / (fs::path(name).stem().string() + ".TZST");
  ASSERT_TRUE(fs::exists(made)) << r.output;
  const std::string out = dir / "out";
  fs::create_directory(out);
  ASSERT_EQ(testing_support::Shell("tar --zstd -xf " + ShellQuote(made) + " -C " + ShellQuote(out)),
            0);
  auto want = Tree(ref), got = Tree(out);
  // Folders carry over; their own times are the extraction's.
  EXPECT_EQ(got, want);
  const std::string madeName = fs::path(made).filename().string();
  EXPECT_EQ(Names(), (std::set<std::string>{madeName, madeName + ".sha256", "out", "ref"}));
  EXPECT_EQ(
      testing_support::Shell(
          "sha256sum -c --quiet --ignore-missing " + ShellQuote(madeName + ".sha256"), dir.Path()),
      0);
}

// Months packed with their manifests and converted keep a chain that
// verifies: each new archive has its own manifest in the old one's place.
TEST_F(ConvertTest, ConvertedMonthsKeepAChainThatVerifies) {
  for (const char* month : {"10", "11"}) {
    MakeLogs(Folder(), std::string("DR") + month, 2);
    ASSERT_EQ(
        Cli("--folder " + ShellQuote(dir.Path()) + " --year 26 --delete --month " + month).status,
        0);
  }
  const auto r = Cli("convert --replace " + ShellQuote(dir.Path()));
  ASSERT_EQ(r.status, 0) << r.output;
  for (const char* name : {"DR2610.LZH.sha256", "DR2610.TZST.sha256", "DR2611.TZST.sha256"})
    EXPECT_TRUE(fs::exists(dir / name)) << name;
  EXPECT_FALSE(fs::exists(dir / "DR2611.LZH"));
  const auto v = Cli("verify " + ShellQuote(dir.Path()));
  EXPECT_EQ(v.status, 0) << v.output;
  EXPECT_EQ(testing_support::Shell("sha256sum -c --quiet --ignore-missing DR2611.TZST.sha256",
                                   dir.Path()),
            0);
}

INSTANTIATE_TEST_SUITE_P(Formats, ConvertSourceTest,
                         ::testing::Values(Source{"lzh", "lzh/lha213/subdir.lzh"},
                                           Source{"zip", "zip/Zip.deflate.zip"},
                                           Source{"cab", "cab/gcab-mszip.cab"},
                                           Source{"arj", "arj/sample.arj"},
                                           Source{"rar", "rar/Rar.rar"}),
                         [](const auto& info) { return std::string(info.param.format); });

// The new archive's writes fail halfway (the file size limit): the old
// archive stays byte for byte and nothing else is left.
TEST_F(ConvertTest, AFailedWriteLeavesTheOldArchiveByteForByte) {
  SKIP_WITHOUT_TOOL("zip");
  for (int i = 0; i < 4; ++i)
    testing_support::WriteFile(dir / ("src/r" + std::to_string(i) + ".bin"),
                               testing_support::RandomBytes(256 << 10, i));
  ASSERT_EQ(testing_support::Shell("cd src && zip -q -0 ../DR2601.ZIP r0.bin r1.bin r2.bin r3.bin",
                                   dir.Path()),
            0);
  fs::remove_all(dir / "src");
  const std::string before = ReadFile(dir / "DR2601.ZIP");
  const auto r = RunCommand("bash -c " + ShellQuote("trap '' XFSZ; ulimit -f 600; exec " +
                                                    ShellQuote(PELSOK_CLI) + " convert --replace " +
                                                    ShellQuote(dir / "DR2601.ZIP")));
  EXPECT_EQ(r.status, 2) << r.output;
  EXPECT_NE(r.output.find("DR2601.TZST"), std::string::npos) << r.output;
  EXPECT_EQ(ReadFile(dir / "DR2601.ZIP"), before);
  EXPECT_EQ(Names(), (std::set<std::string>{"DR2601.ZIP"}));
}

TEST_F(ConvertTest, AFolderConvertsOldestFirstAndKeepsTheOldWithoutReplace) {
  const std::pair<const char*, time_t> archives[] = {
      {"DR2603.LZH", 1700000300}, {"DR2601.ZIP", 1700000100}, {"DR2602.CAB", 1700000200}};
  const char* data[] = {"lzh/lha213/lh5.lzh", "zip/Zip.deflate.zip", "cab/gcab-stored.cab"};
  for (int i = 0; i < 3; ++i) {
    const std::string path = Copy(data[i], archives[i].first);
    struct utimbuf t {
      archives[i].second, archives[i].second
    };
    ::utime(path.c_str(), &t);
  }
  Copy("lzh/lha213/lh0.lzh", "DR2512.TXZ.txt");  // no archive name
  const auto r = Cli("convert --format txz " + ShellQuote(dir.Path()));
  ASSERT_EQ(r.status, 0) << r.output;
  const auto first = r.output.find("DR2601.ZIP"), second = r.output.find("DR2602.CAB"),
             third = r.output.find("DR2603.LZH");
  ASSERT_NE(third, std::string::npos) << r.output;
  EXPECT_LT(first, second);
  EXPECT_LT(second, third);
  EXPECT_EQ(Names(),
            (std::set<std::string>{"DR2512.TXZ.txt", "DR2601.TXZ", "DR2601.TXZ.sha256",
                                   "DR2601.ZIP", "DR2602.CAB", "DR2602.TXZ", "DR2602.TXZ.sha256",
                                   "DR2603.LZH", "DR2603.TXZ", "DR2603.TXZ.sha256"}));
  // Converted archives are in the format already.
  const auto again = Cli("convert --format txz " + ShellQuote(dir / "DR2601.TXZ"));
  EXPECT_EQ(again.status, 0) << again.output;
  EXPECT_NE(again.output.find("変換不要"), std::string::npos) << again.output;
}

TEST_F(ConvertTest, AHeldLockOrABadCommandChangesNothing) {
  const std::string old = Copy("lzh/lha213/lh5.lzh", "DR2601.LZH");
  const std::string before = ReadFile(old);
  {
    platform::TFileLock lock(old);
    ASSERT_TRUE(lock.Held());
    const auto r = Cli("convert --replace " + ShellQuote(old));
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_NE(r.output.find("別の実行"), std::string::npos) << r.output;
  }
  const std::string q = ShellQuote(old);
  const struct {
    std::string args;
    int status;
  } rows[] = {
      {"convert --format arj " + q, 3},  // read only
      {"convert --format nope " + q, 3}, {"convert --bogus " + q, 3},     {"convert", 3},
      {"convert --format", 3},           {"convert --format lzh " + q, 0}};  // in that format
                                                                             // already
  for (const auto& row : rows) {
    const auto r = Cli(row.args);
    EXPECT_EQ(r.status, row.status) << row.args << ": " << r.output;
  }
  EXPECT_EQ(ReadFile(old), before);
  EXPECT_EQ(Names(), (std::set<std::string>{"DR2601.LZH"}));
}

}  // namespace
