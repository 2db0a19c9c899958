// The "Zip" and "UnZip" command lines: every switch the ZIP back end
// builds, updates, deletion, and failures that leave the old archive as it
// was.
#include <utime.h>

#include "ZipHarness.h"

namespace ziptest {
namespace {

std::string PyInfo(const fs::path& dir, const std::string& archive, const std::string& expr) {
  std::string out;
  Shell("python3 -c \"import zipfile\nfor i in zipfile.ZipFile('" + archive +
            "').infolist(): print(" + expr + ")\"",
        dir, &out);
  return out;
}

void SetTime(const fs::path& p, std::time_t t) {
  struct utimbuf times {
    t, t
  };
  ::utime(p.c_str(), &times);
}

TEST_F(ZipTest, TheProductsPackLineStoresTheMaskedLogsWithTheirFolders) {
  WriteFile(Path("LOG/DR0701.log"), LogText(5000, 1));
  WriteFile(Path("LOG/DR0702.log"), LogText(5000, 2));
  WriteFile(Path("LOG/DD0701.log"), "other kind");
  const std::string archive = P("LOG/DR2607.zip");
  auto r = Zip(" -D  " + Q(archive) + " " + Q(P("LOG/DR07*.log")) + " ");
  ASSERT_EQ(r.result, 0) << r.output;
  const std::string folder = P("LOG").substr(1);  // without its root
  EXPECT_EQ(ListNames(kZip32j, archive),
            (std::vector<std::string>{folder + "/DR0701.log", folder + "/DR0702.log"}));
  // -j: bare names.
  r = Zip(" -D -j  " + Q(P("bare.zip")) + " " + Q(P("LOG/DR07*.log")) + " ");
  ASSERT_EQ(r.result, 0) << r.output;
  EXPECT_EQ(ListNames(kZip32j, P("bare.zip")),
            (std::vector<std::string>{"DR0701.log", "DR0702.log"}));
}

TEST_F(ZipTest, FolderEntriesHiddenFilesAndRecursionFollowTheirSwitches) {
  WriteFile(Path("src/a.txt"), "a");
  WriteFile(Path("src/sub/b.txt"), "b");
  WriteFile(Path("src/.hidden"), "h");
  const std::string base = Q(P("src") + "/");
  ASSERT_EQ(Zip("-r " + Q(P("1.zip")) + " " + base + " *").result, 0);
  EXPECT_EQ(ListNames(kZip32j, P("1.zip")),
            (std::vector<std::string>{"a.txt", "sub/", "sub/b.txt"}));
  ASSERT_EQ(Zip("-r -D -S " + Q(P("2.zip")) + " " + base + " *").result, 0);
  EXPECT_EQ(ListNames(kZip32j, P("2.zip")),
            (std::vector<std::string>{".hidden", "a.txt", "sub/b.txt"}));
  ASSERT_EQ(Zip(Q(P("3.zip")) + " " + base + " *").result, 0);  // no -r: only the folder itself
  EXPECT_EQ(ListNames(kZip32j, P("3.zip")), (std::vector<std::string>{"a.txt"}));
}

TEST_F(ZipTest, AddReplacesAndDashUReplacesOnlyOlderEntries) {
  WriteFile(Path("src/a.txt"), "old a");
  WriteFile(Path("src/b.txt"), "old b");
  SetTime(Path("src/a.txt"), 1700000000);
  SetTime(Path("src/b.txt"), 1700000000);
  const std::string archive = Q(P("u.zip")), base = Q(P("src") + "/");
  ASSERT_EQ(Zip(archive + " " + base + " *.txt").result, 0);
  WriteFile(Path("src/a.txt"), "new a");  // newer
  WriteFile(Path("src/b.txt"), "new b");  // same time as its entry
  SetTime(Path("src/a.txt"), 1700000100);
  SetTime(Path("src/b.txt"), 1700000000);
  WriteFile(Path("src/c.txt"), "c");  // missing from the archive
  auto r = Zip("-u " + archive + " " + base + " *.txt");
  ASSERT_EQ(r.result, 0) << r.output;
  ASSERT_EQ(UnZip("-x " + archive + " " + Q(P("o1") + "/")).result, 0);
  EXPECT_EQ(ReadFile(Path("o1/a.txt")), "new a");
  EXPECT_EQ(ReadFile(Path("o1/b.txt")), "old b");
  EXPECT_EQ(ReadFile(Path("o1/c.txt")), "c");
  // Without -u every named file replaces its entry.
  ASSERT_EQ(Zip(archive + " " + base + " b.txt").result, 0);
  ASSERT_EQ(UnZip("-x -o " + archive + " " + Q(P("o1") + "/")).result, 0);
  EXPECT_EQ(ReadFile(Path("o1/b.txt")), "new b");
  // Exact times survive: the extended timestamp is written.
  EXPECT_EQ(fs::last_write_time(Path("o1/a.txt")), fs::last_write_time(Path("src/a.txt")));
}

TEST_F(ZipTest, LevelSwitchesChooseStoreOrDeflate) {
  SKIP_WITHOUT_TOOL("python3");
  WriteFile(Path("src/log.txt"), LogText(100000, 7));
  const std::string base = Q(P("src") + "/");
  ASSERT_EQ(Zip("-0 " + Q(P("0.zip")) + " " + base + " log.txt").result, 0);
  ASSERT_EQ(Zip("-1 " + Q(P("1.zip")) + " " + base + " log.txt").result, 0);
  ASSERT_EQ(Zip("-9 " + Q(P("9.zip")) + " " + base + " log.txt").result, 0);
  EXPECT_EQ(PyInfo(dir_, "0.zip", "i.compress_type"), "0\n");
  EXPECT_EQ(PyInfo(dir_, "9.zip", "i.compress_type"), "8\n");
  EXPECT_LT(fs::file_size(Path("9.zip")), fs::file_size(Path("1.zip")));
  EXPECT_LT(fs::file_size(Path("1.zip")), fs::file_size(Path("0.zip")));
}

TEST_F(ZipTest, DashOSetsTheArchiveTimeToItsNewestEntry) {
  WriteFile(Path("src/a.txt"), "a");
  SetTime(Path("src/a.txt"), 1600000000);
  ASSERT_EQ(Zip("-o " + Q(P("o.zip")) + " " + Q(P("src") + "/") + " a.txt").result, 0);
  struct stat st {};
  ASSERT_EQ(::stat(P("o.zip").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1600000000);
}

TEST_F(ZipTest, DeleteRemovesTheMatchesAndTheArchiveWhenNoneIsLeft) {
  WriteFile(Path("src/a.log"), "a");
  WriteFile(Path("src/b.log"), "b");
  WriteFile(Path("src/c.txt"), "c");
  const std::string archive = Q(P("d.zip"));
  ASSERT_EQ(Zip(archive + " " + Q(P("src") + "/") + " *").result, 0);
  const std::string before = ReadFile(Path("d.zip"));
  auto r = Zip("-d -D  " + archive + " " + Q("*.none") + " ");
  EXPECT_EQ(r.result, arc::kNothingMatched) << r.output;
  EXPECT_EQ(ReadFile(Path("d.zip")), before);
  r = Zip("-d -D  " + archive + " " + Q("*.log") + " ");
  ASSERT_EQ(r.result, 0) << r.output;
  EXPECT_EQ(ListNames(kZip32j, P("d.zip")), std::vector<std::string>{"c.txt"});
  ASSERT_EQ(Zip("-d " + archive + " c.txt").result, 0);
  EXPECT_FALSE(fs::exists(Path("d.zip")));
}

TEST_F(ZipTest, BadLinesAndEmptyMatchesChangeNothing) {
  WriteFile(Path("src/a.txt"), "a");
  EXPECT_EQ(Zip(" -D  ").result, arc::kBadCommand);
  EXPECT_EQ(Zip(" -D  " + Q("") + " x").result, arc::kBadCommand);
  EXPECT_EQ(Zip("-d " + Q(P("x.zip"))).result, arc::kBadCommand);
  EXPECT_EQ(UnZip("-x \"unclosed").result, arc::kBadCommand);
  EXPECT_EQ(Zip(Q(P("n.zip")) + " " + Q(P("src/*.none"))).result, arc::kNothingMatched);
  EXPECT_FALSE(fs::exists(Path("n.zip")));
  // A file that is not a ZIP archive is never updated.
  WriteFile(Path("not.zip"), "plain text, not an archive");
  auto r = Zip(Q(P("not.zip")) + " " + Q(P("src/a.txt")));
  EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
  EXPECT_EQ(ReadFile(Path("not.zip")), "plain text, not an archive");
  EXPECT_EQ(UnZip("-x " + Q(P("missing.zip"))).result, arc::kNotArchive);
}

TEST_F(ZipTest, ThreadCountDoesNotChangeTheArchive) {
  // Files of uneven sizes (one empty, one incompressible) finish out of order
  // on several threads; the entries still follow the files.
  for (int i = 0; i < 10; ++i) {
    const std::string name = "src/DR" + std::to_string(10 + i) + ".log";
    WriteFile(Path(name), i == 2 ? "" : i == 5 ? RandomBytes(50000, 5) : LogText(30000 * i, i));
    SetTime(Path(name), 1700000000 + i);
  }
  const std::string base = Q(P("src") + "/");
  std::string first;
  for (const char* threads : {"--threads=1", "--threads=2", "--threads=8", ""}) {
    SCOPED_TRACE(threads);
    const std::string archive = P(std::string("t") + threads + ".zip");
    auto r = Zip(std::string("-D ") + threads + " " + Q(archive) + " " + base + " *.log");
    ASSERT_EQ(r.result, 0) << r.output;
    if (first.empty())
      first = ReadFile(archive);
    else
      EXPECT_EQ(ReadFile(archive), first);
  }
  for (const char* bad : {"--threads=65", "--threads=", "--threads=x"}) {
    EXPECT_EQ(Zip(std::string(bad) + " " + Q(P("bad.zip")) + " " + base + " *.log").result,
              arc::kBadCommand)
        << bad;
    EXPECT_FALSE(fs::exists(Path("bad.zip")));
  }
}

// The progress callback of the tests below: counts calls, and on a chosen
// call either asks to cancel or removes a source that is still to be read.
struct Spy {
  int calls = 0;
  int cancelAt = -1;
  fs::path removeAtFirst;
};

std::int32_t OnProgress(void* user, const ArcProgress*) {
  auto* spy = static_cast<Spy*>(user);
  ++spy->calls;
  if (spy->calls == 1 && !spy->removeAtFirst.empty()) fs::remove(spy->removeAtFirst);
  return spy->calls == spy->cancelAt ? 1 : 0;
}

TEST_F(ZipTest, AFailedOrCancelledWriteLeavesTheOldArchiveByteForByte) {
  for (int i = 0; i < 3; ++i)
    WriteFile(Path("src/" + std::to_string(i) + ".log"), LogText(1 << 20, i));
  // Too big to be deflated ahead: it is opened only when the archive is written.
  WriteFile(Path("src/big.log"), "x");
  fs::resize_file(Path("src/big.log"), 65 << 20);
  const std::string archive = Q(P("keep.zip")), base = Q(P("src") + "/");
  ASSERT_EQ(Zip(archive + " " + base + " 0.log").result, 0);
  const std::string before = ReadFile(Path("keep.zip"));
  auto noTemp = [&] {
    for (const auto& e : fs::directory_iterator(dir_))
      EXPECT_TRUE(e.path().filename() == "keep.zip" || e.path().filename() == "src") << e.path();
  };
  Spy spy;
  spy.removeAtFirst = Path("src/big.log");  // gone before it is read
  kZip32j.setProgress(&OnProgress, &spy);
  auto r = Zip(archive + " " + base + " *.log");
  EXPECT_EQ(r.result, arc::kCannotRead) << r.output;
  EXPECT_EQ(ReadFile(Path("keep.zip")), before);
  noTemp();
  spy = Spy{};
  spy.cancelAt = 3;
  r = Zip(archive + " " + base + " *.log");
  EXPECT_EQ(r.result, arc::kCancelled) << r.output;
  EXPECT_EQ(ReadFile(Path("keep.zip")), before);
  noTemp();
  kZip32j.setProgress(nullptr, nullptr);
  // Extraction stops too, and the file being written never appears.
  WriteFile(Path("src/big.log"), "small again");
  ASSERT_EQ(Zip(archive + " " + base + " *.log").result, 0);
  Spy stop;
  stop.cancelAt = 2;
  kUnzip32.setProgress(&OnProgress, &stop);
  r = UnZip("-x " + archive + " " + Q(P("out") + "/"));
  kUnzip32.setProgress(nullptr, nullptr);
  EXPECT_EQ(r.result, arc::kCancelled) << r.output;
  EXPECT_LE(ListFiles(Path("out")).size(), 1u);
  for (const auto& f : ListFiles(Path("out"))) EXPECT_EQ(f.find(".arctmp"), std::string::npos);
}

TEST_F(ZipTest, TheOutputBufferIsCutAndAlwaysEnded) {
  WriteFile(Path("src/a.txt"), "a");
  ASSERT_EQ(Zip(Q(P("b.zip")) + " " + Q(P("src") + "/") + " a.txt", 0).result, 0);
  auto r = UnZip("-t " + Q(P("b.zip")), 8);
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.output.size(), 7u);
}

TEST_F(ZipTest, UnZipSwitchesJunkPathsOverwriteAndQuiet) {
  WriteFile(Path("src/sub/a.txt"), "new");
  ASSERT_EQ(Zip("-r " + Q(P("j.zip")) + " " + Q(P("src") + "/") + " *").result, 0);
  WriteFile(Path("out/a.txt"), "existing, newer");
  auto r = UnZip("-x -j " + Q(P("j.zip")) + " " + Q(P("out") + "/"));
  EXPECT_EQ(r.result, 0) << r.output;
  EXPECT_EQ(ReadFile(Path("out/a.txt")), "existing, newer");  // kept: not older
  r = UnZip("-x -j -o --i " + Q(P("j.zip")) + " " + Q(P("out") + "/"));
  EXPECT_EQ(r.result, 0) << r.output;
  EXPECT_EQ(ReadFile(Path("out/a.txt")), "new");
  EXPECT_EQ(r.output.find("a.txt"), std::string::npos) << r.output;  // --i: summary only
  EXPECT_FALSE(fs::exists(Path("out/sub")));
}

}  // namespace
}  // namespace ziptest

namespace ziptest {
namespace {

TEST_F(ZipTest, DashJStripsASelfExtractorStub) {
  for (const char* tool : {"zip", "unzip"}) SKIP_WITHOUT_TOOL(tool);
  WriteFile(Path("src/a.txt"), LogText(4000, 9));
  ASSERT_EQ(Zip(Q(P("plain.zip")) + " " + Q(P("src") + "/") + " a.txt").result, 0);
  // A stub in front, offsets adjusted by zip -A as self-extractors have them.
  WriteFile(Path("sfx.zip"), std::string(600, 'S') + ReadFile(Path("plain.zip")));
  std::string out;
  ASSERT_EQ(Shell("zip -qA sfx.zip", dir_, &out), 0) << out;
  EXPECT_EQ(ListNames(kZip32j, P("sfx.zip")), std::vector<std::string>{"a.txt"});
  auto r = Zip("-J " + Q(P("sfx.zip")));
  ASSERT_EQ(r.result, 0) << r.output;
  EXPECT_EQ(ReadFile(Path("sfx.zip")).substr(0, 4), "PK\x03\x04");
  EXPECT_EQ(Shell("unzip -tq sfx.zip", dir_, &out), 0) << out;
  ASSERT_EQ(UnZip("-x " + Q(P("sfx.zip")) + " " + Q(P("out") + "/")).result, 0);
  EXPECT_EQ(ReadFile(Path("out/a.txt")), ReadFile(Path("src/a.txt")));
}

}  // namespace
}  // namespace ziptest
