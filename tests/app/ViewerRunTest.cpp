// The viewer's run side on real archives through the real libraries: the
// listing of every format, Shift-JIS names, extraction of a selection and
// of all with and without stored folders, a cancelled extraction, a folder
// that cannot be written, hostile names and the per-member test verdicts.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "app/cli/CliJob.h"
#include "app/run/ArchiveListing.h"
#include "app/run/MemberExtraction.h"
#include "app/run/MemberTest.h"
#include "app/settings/ArchiveFormat.h"
#include "app/settings/ShiftJisNames.h"
#include "backends/ProgressHook.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"
#include "platform/TextConvert.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/SampleArchive.h"
#include "tests/support/Corpus.h"
#include "tests/support/FileTimes.h"

namespace {

namespace fs = std::filesystem;
using namespace pelsok::app;
using testing_support::ListFiles;
using testing_support::ReadFile;

using apptest::kSampleLogs;

// The file holds the log's bytes (without printing either when it does not).
void ExpectSameFile(const std::string& file, const std::string& log) {
  const std::string a = ReadFile(file), b = ReadFile(log);
  EXPECT_TRUE(a == b) << file << ": " << a.size() << " bytes, the log " << b.size();
}

class ViewerRunTest : public apptest::SampleArchiveTest {
 protected:
  // Packs the logs (and extra names) as a month's run does; returns the archive.
  std::string Pack(const std::string& format, bool shiftJis = false,
                   const std::vector<std::string>& extra = {}) {
    const std::string archive = apptest::PackSampleLogs(logFolder, format, shiftJis, extra);
    EXPECT_TRUE(platform::FileExists(archive)) << format;
    return archive;
  }
};

TEST_F(ViewerRunTest, ListsEachWritableFormatWithSizesDatesAndTotals) {
  for (const TArchiveFormat& f : ArchiveFormats()) {
    SCOPED_TRACE(f.Name);
    const TArchiveListing l = ReadArchiveListing(Pack(f.Name));
    EXPECT_EQ(l.Type, f.Type);
    ASSERT_EQ(l.Files(), kSampleLogs.size());
    std::uint64_t total = 0;
    std::size_t i = 0;
    for (const TListingEntry& e : l.Entries) {
      if (e.Folder) continue;
      EXPECT_EQ(e.Name, Stored(kSampleLogs[i].first, f.Name));
      EXPECT_EQ(e.Size, kSampleLogs[i].second);
      EXPECT_EQ(DosStampText(e.DosDate, e.DosTime),
                "2026-11-0" + std::to_string(i + 1) + " 12:34:56");
      total += e.Size;
      ++i;
    }
    EXPECT_EQ(l.TotalSize, total);
    EXPECT_NE(ListingTotals(l).find("3 ファイル"), std::string::npos) << ListingTotals(l);
  }
}

TEST_F(ViewerRunTest, ListsForeignArchivesByTheirContent) {
  const struct {
    const char* Format;
    const char* Archive;
    const char* CopyAs;  // a name that says nothing about the format
  } rows[] = {{"arj", "sample.arj", "a.bin"},
              {"rar", "Rar.rar", "b.dat"},
              {"lzh", "lha213/lh5.lzh", "c"},
              {"zip", "Zip.deflate.dd.zip", "d.txt"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Archive);
    const std::string copy = dir / row.CopyAs;
    fs::copy_file(testing_support::CorpusDir(row.Format) + "/" + row.Archive, copy);
    const TArchiveListing l = ReadArchiveListing(copy);
    ASSERT_GT(l.Files(), 0u);
    std::uint64_t total = 0;
    for (const auto& e : l.Entries) total += e.Size;
    EXPECT_EQ(l.TotalSize, total);
    for (const auto& c : testing_support::CorpusRows(row.Format)) {
      if (c.archive == row.Archive) {
        EXPECT_EQ(l.TotalSize, c.length);
      }
    }
  }
}

TEST_F(ViewerRunTest, AnArchiveThatCannotBeReadSaysWhy) {
  const struct {
    const char* File;
    const char* Content;
    const char* Says;
  } rows[] = {{"none.lzh", nullptr, "ありません"},
              {"text.lzh", "not an archive at all\n", "開けません"},
              {"notes.txt", "plain text\n", "読める形式の書庫ではありません"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.File);
    if (row.Content != nullptr) dir.Write(row.File, row.Content);
    try {
      ReadArchiveListing(dir / row.File);
      ADD_FAILURE() << "no error";
    } catch (const platform::Exception& e) {
      EXPECT_NE(std::string(e.what()).find(row.Says), std::string::npos) << e.what();
    }
  }
}

TEST_F(ViewerRunTest, ShiftJisNamesAreStoredAsCp932AndListedInFull) {
  const std::string log = "DR1104_障害.log";
  const std::string cp932 = platform::Utf8ToCp932(log).value();
  for (const char* format : {"lzh", "zip"}) {
    for (const bool shiftJis : {true, false}) {
      SCOPED_TRACE(std::string(format) + (shiftJis ? " cp932" : " utf-8"));
      const std::string archive = Pack(format, shiftJis, {log});
      const std::string bytes = ReadFile(archive);
      EXPECT_EQ(bytes.find(cp932) != std::string::npos, shiftJis);
      EXPECT_EQ(bytes.find(log) != std::string::npos, !shiftJis);
      const TArchiveListing l = ReadArchiveListing(archive);
      EXPECT_TRUE(std::any_of(l.Entries.begin(), l.Entries.end(),
                              [&](const TListingEntry& e) { return e.Name == Stored(log); }));
      fs::remove(archive);
    }
  }
}

TEST_F(ViewerRunTest, ExtractsTheSelectionOrAllWithOrWithoutStoredFolders) {
  for (const char* format : {"lzh", "zip", "tgz", "cab"}) {
    const TArchiveListing l = ReadArchiveListing(Pack(format));
    auto s = [&](const char* log) { return Stored(log, format); };
    const struct {
      std::vector<std::string> Names;
      bool WithFolders;
      std::vector<std::string> Files;
    } rows[] = {
        {{}, true, {s("DR1101.log"), s("DR1102.log"), s("DR1103.log")}},
        {{}, false, {"DR1101.log", "DR1102.log", "DR1103.log"}},
        {{s("DR1102.log")}, true, {s("DR1102.log")}},
        {{s("DR1101.log"), s("DR1103.log")}, false, {"DR1101.log", "DR1103.log"}},
    };
    int n = 0;
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(format) + " row " + std::to_string(n));
      const std::string out = dir / (std::string(format) + "-out" + std::to_string(n++)) + "/";
      const TExtractOutcome o = ExtractMembers(l, {out, row.Names, row.WithFolders});
      EXPECT_EQ(o.Result, 0) << o.Report;
      EXPECT_EQ(ListFiles(out), row.Files);
      EXPECT_EQ(o.Extracted.size(), row.Files.size());
      EXPECT_TRUE(o.Refused.empty());
      for (const auto& f : row.Files)
        ExpectSameFile(out + f, logFolder + f.substr(f.rfind('/') + 1));
    }
  }
}

TEST_F(ViewerRunTest, ACancelledExtractionLeavesOnlyWholeFiles) {
  // Big enough that the library tells progress within each member.
  std::vector<std::string> extra;
  for (int d = 4; d <= 9; ++d) extra.push_back("DR110" + std::to_string(d) + ".log");
  const TArchiveListing l = ReadArchiveListing(Pack("lzh", false, extra));
  const std::string out = dir / "out/";
  int calls = 0;
  TExtractOutcome o;
  {
    const pelsok::TProgressScope scope([&](const ArcProgress& p) {
      ++calls;
      return p.filesDone < 2;
    });
    o = ExtractMembers(l, {out, {}, false});
  }
  EXPECT_GT(calls, 0);
  EXPECT_TRUE(o.Cancelled) << o.Report;
  const std::vector<std::string> files = ListFiles(out);
  EXPECT_LT(files.size(), l.Files());
  EXPECT_EQ(files.size(), o.Extracted.size());
  // Every file there is a member in full; no temporary file is left.
  for (const auto& f : files) ExpectSameFile(out + f, logFolder + f);
}

TEST_F(ViewerRunTest, AFolderThatCannotBeWrittenIsRefusedBeforeTheLibraryRuns) {
  const TArchiveListing l = ReadArchiveListing(Pack("lzh"));
  dir.Write("file", "x");
  std::vector<std::pair<std::string, std::string>> rows = {{dir / "file/sub/", "作れません"}};
  if (geteuid() != 0) {
    const std::string ro = dir.Folder("readonly");
    ::chmod(ro.c_str(), 0555);
    rows.push_back({ro + "/", "書き込めません"});
  }
  for (const auto& [folder, says] : rows) {
    SCOPED_TRACE(folder);
    try {
      ExtractMembers(l, {folder, {}, true});
      ADD_FAILURE() << "no error";
    } catch (const platform::EFileError& e) {
      EXPECT_NE(std::string(e.what()).find(says), std::string::npos) << e.what();
    }
  }
}

TEST_F(ViewerRunTest, HostileNamesAreRefusedAndReportedAndNothingLandsOutside) {
  const struct {
    const char* Format;
    const char* Archive;
  } rows[] = {{"zip", "Zip.Evil.zip"}, {"lzh", "regression/dotdot.lzh"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Archive);
    const std::string base = dir.Folder(std::string(row.Format) + "/a/b/c") + "/";
    const std::string copy = base + "hostile.arc";
    fs::copy_file(testing_support::CorpusDir(row.Format) + "/" + row.Archive, copy);
    const TArchiveListing l = ReadArchiveListing(copy);
    const TExtractOutcome o = ExtractMembers(l, {base + "out/", {}, true});
    ASSERT_FALSE(o.Refused.empty()) << o.Report;
    EXPECT_TRUE(o.NotExtracted.empty());
    for (const auto& f : ListFiles(dir / row.Format))
      EXPECT_TRUE(f.rfind("a/b/c/out/", 0) == 0 || f == "a/b/c/hostile.arc") << f;
    const std::string summary = ExtractSummary(o, base + "out/");
    EXPECT_NE(summary.find("安全のため展開しなかった名前"), std::string::npos) << summary;
    EXPECT_NE(summary.find(o.Refused.front()), std::string::npos) << summary;
  }
}

TEST_F(ViewerRunTest, TheTestNamesEachDamagedMember) {
  for (const char* format : {"lzh", "zip"}) {
    SCOPED_TRACE(format);
    const std::string archive = Pack(format);
    EXPECT_EQ(TestMembers(ReadArchiveListing(archive)).Result, 0);
    // A byte in the middle of the second member's data.
    std::string bytes = ReadFile(archive);
    const std::size_t at = bytes.find("DR1102.log");
    ASSERT_NE(at, std::string::npos);
    bytes[at + 400] = static_cast<char>(bytes[at + 400] ^ 0x55);
    testing_support::WriteFile(archive, bytes);
    const TArchiveListing l = ReadArchiveListing(archive);
    const TTestOutcome o = TestMembers(l);
    EXPECT_NE(o.Result, 0);
    ASSERT_EQ(o.Members.size(), 3u);
    for (const auto& m : o.Members) EXPECT_EQ(m.Sound, m.Name != Stored("DR1102.log")) << m.Name;
    EXPECT_NE(TestSummary(l, o).find("NG  " + Stored("DR1102.log")), std::string::npos);
  }
}

}  // namespace

namespace {

// pelsok-cli's option wins over the window's stored setting, both ways.
TEST_F(ViewerRunTest, TheCommandLineOptionStoresShiftJisNames) {
  const std::string log = "DR1104_障害.log";
  const std::string cp932 = platform::Utf8ToCp932(log).value();
  const struct {
    bool Stored;
    const char* Option;
    bool Cp932;
  } rows[] = {{false, "--shift-jis-names", true},
              {true, "--no-shift-jis-names", false},
              {true, nullptr, true},
              {false, nullptr, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Option == nullptr ? "stored" : row.Option);
    SaveShiftJisNames(row.Stored);
    testing_support::WriteFile(logFolder + log, "x\n");
    std::vector<std::string> args = {"-k", "DR", "-y", "26", "-m", "11", "-f", logFolder};
    if (row.Option != nullptr) args.push_back(row.Option);
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(args, out, err, platform::EncodeDate(2026, 12, 8)), 0) << err.str();
    const std::string bytes = ReadFile(logFolder + "DR2611.LZH");
    EXPECT_EQ(bytes.find(cp932) != std::string::npos, row.Cp932);
    fs::remove(logFolder + "DR2611.LZH");
  }
}

}  // namespace
