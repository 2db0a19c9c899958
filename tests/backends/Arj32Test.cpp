// The ARJ back end against the recording test doubles of UNARJ32J.DLL (in
// bin/double/arj/, named in LD_LIBRARY_PATH) and UNLHA32.DLL (beside the
// test program): what each slot hands to which library, the refusals and
// the content check.
#include <gtest/gtest.h>

#include <filesystem>

#include "archivecore/EArchiver.h"
#include "backends/Arj32.h"
#include "tests/support/DoubleLog.h"
#include "tests/support/ScopedCwd.h"
#include "tests/support/ScopedLibraryPath.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::DoubleLog;
using testing_support::ScopedLibraryPath;
using testing_support::TempDir;

namespace {

class Arj32Test : public ::testing::Test {
 protected:
  DoubleLog Arj() const { return DoubleLog(TArj32::Library().Handle()); }
  DoubleLog Lha() const { return DoubleLog(TLha32::Library().Handle()); }

  ScopedLibraryPath path_{ARJ_DOUBLE_DIR};
  TempDir dir_;
};

TEST_F(Arj32Test, UnpackSendsTheLhaLineToUnarjWithNoWindow) {
  TArj32 arj;
  auto* const wnd = reinterpret_cast<ArcWnd>(0x4711);
  struct Row {
    const char* what;
    void (*set)(TArchiverOptions&);
    bool withList;
    int outputSize;
    std::string line;
  } rows[] = {
      {"reset values", [](TArchiverOptions&) {}, false, 8192, "x -+  \"/IN/A.ARJ\" \"/OUT/\" "},
      {"x = 1", [](TArchiverOptions& o) { o.x = 1; }, false, 8192,
       "x -+ -x1  \"/IN/A.ARJ\" \"/OUT/\" "},
      {"file list and no buffer", [](TArchiverOptions&) {}, true, 0,
       "x -+  \"/IN/A.ARJ\" \"/OUT/\" \"DR*.log\" "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TArchiverOptions o;
    row.set(o);
    platform::TStringList list;
    list.Add("DR*.log");
    std::string out(static_cast<std::size_t>(row.outputSize), '\0');
    EXPECT_EQ(arj.Unpack(wnd, "/IN/A.ARJ", o, "/OUT", row.withList ? &list : nullptr, out), 0x5678);
    DoubleLog log = Arj();
    EXPECT_EQ(log.Entry(log.Last()), "Unarj");
    EXPECT_EQ(log.Text(log.Last()), row.line);
    EXPECT_EQ(arj.CommandLine, row.line);
    EXPECT_EQ(log.Wnd(log.Last()), nullptr);  // never the caller's window
    EXPECT_EQ(log.Number(log.Last()), static_cast<std::uint32_t>(row.outputSize));
    EXPECT_EQ(log.Buffer(log.Last()), row.outputSize ? out.data() : nullptr);
  }
}

TEST_F(Arj32Test, PackAndMakeSfxAreRefusedLoadingAndBuildingNothing) {
  TArj32 arj;
  arj.CommandLine = "before";
  const int arjLoads = TArj32::Library().LoadCount();
  const int lhaLoads = TLha32::Library().LoadCount();
  const int calls = Arj().Count();
  std::string out(64, '\0');
  try {
    arj.Pack(nullptr, "A.ARJ", TArchiverOptions(), "", nullptr, out);
    FAIL() << "no exception";
  } catch (const EArchiver& e) {
    EXPECT_EQ(e.Message(), "お使いの UNARJ32J.DLL は書庫の作成機能をサポートしていません。");
  }
  try {
    arj.MakeSfx(nullptr, "A.ARJ", TArchiverOptions(), out);
    FAIL() << "no exception";
  } catch (const EArchiver& e) {
    EXPECT_EQ(e.Message(),
              "お使いの UNARJ32J.DLL は自己解凍書庫の作成機能をサポートしていません。");
  }
  EXPECT_EQ(arj.CommandLine, "before");
  EXPECT_EQ(TArj32::Library().LoadCount(), arjLoads);
  EXPECT_EQ(TLha32::Library().LoadCount(), lhaLoads);
  EXPECT_EQ(Arj().Count(), calls);
}

TEST_F(Arj32Test, RemoveGoesToUnlhaWithTheCallersWindowAndNoBaseFolder) {
  TArj32 arj;
  auto* const wnd = reinterpret_cast<ArcWnd>(0x4711);
  const int arjCalls = Arj().Count();
  platform::TStringList list;
  list.Add("DR1101.log");
  std::string out(128, '\0');
  EXPECT_EQ(arj.Remove(wnd, "C:\\IN\\A.ARJ", TArchiverOptions(), "C:\\OUT", &list, out), 0x1234);
  DoubleLog lha = Lha();
  EXPECT_EQ(lha.Entry(lha.Last()), "Unlha");
  EXPECT_EQ(lha.Text(lha.Last()), "d -+  \"C:\\IN\\A.ARJ\" \"DR1101.log\" ");
  EXPECT_EQ(lha.Wnd(lha.Last()), wnd);
  EXPECT_EQ(arj.CommandLine, lha.Text(lha.Last()));
  EXPECT_EQ(Arj().Count(), arjCalls);  // nothing went to the ARJ library
}

TEST_F(Arj32Test, ListingUsesTheArjEntriesOnTheFullPath) {
  TArj32 arj;
  const std::string archive = dir_.Write("A.ARJ", "not empty");
  testing_support::ScopedCwd cwd(dir_.Path());
  const ArcHandle h = arj.OpenArchive(reinterpret_cast<ArcWnd>(0x4711), "A.ARJ", 0);
  ASSERT_EQ(h, 9);
  DoubleLog log = Arj();
  EXPECT_EQ(log.Entry(log.Last()), "UnarjOpenArchive");
  EXPECT_EQ(std::filesystem::path(log.Text(log.Last())), std::filesystem::path(archive));
  TArchiveEntryInfo info{};
  EXPECT_EQ(arj.FindFirst(h, info, "*.log"), 0);
  EXPECT_EQ(log.Text(log.Last()), "*.log");
  EXPECT_STREQ(info.FileName, "DR1101.log");
  EXPECT_EQ(arj.FindNext(h, info), 0);
  EXPECT_STREQ(info.FileName, "docs/readme.txt");
  EXPECT_NE(arj.FindNext(h, info), 0);
  EXPECT_EQ(arj.CloseArchive(h), 0);
  EXPECT_EQ(log.Entry(log.Last()), "UnarjCloseArchive");
  EXPECT_EQ(log.Number(log.Last()), 9u);
}

TEST_F(Arj32Test, TheContentCheckOpensWithItsModeAndClosesOnlyWhatItOpened) {
  TArj32::Library().Load();
  const std::string full = dir_.Write("full.bin", "x");
  const std::string empty = dir_.Write("empty.bin", "");
  EXPECT_TRUE(IsArjArchive(full));
  DoubleLog log = Arj();
  EXPECT_EQ(log.Entry(log.Last() - 1), "UnarjOpenArchive");
  EXPECT_EQ(log.Number(log.Last() - 1), 0x800002u);
  EXPECT_EQ(log.Wnd(log.Last() - 1), nullptr);
  EXPECT_EQ(log.Entry(log.Last()), "UnarjCloseArchive");
  EXPECT_FALSE(IsArjArchive(empty));
  EXPECT_EQ(log.Entry(log.Last()), "UnarjOpenArchive");
}

TEST_F(Arj32Test, WithoutTheLibraryCreationFailsAndTheContentCheckSaysNo) {
  TArj32::Library().Unload();
  {
    ScopedLibraryPath nowhere(dir_.Path());
    try {
      TArj32 arj;
      FAIL() << "no exception";
    } catch (const EArchiver& e) {
      EXPECT_EQ(e.Message(), "この機能の使用には UNARJ32J.DLL が 必要です。");
    }
    const std::string file = dir_.Write("x.arj", "x");
    EXPECT_FALSE(IsArjArchive(file));
    EXPECT_FALSE(TArj32::Library().Loaded());
  }
  // Back on the double's folder, the next use loads it again.
  TArj32 arj;
  EXPECT_TRUE(TArj32::Library().Loaded());
}

}  // namespace
