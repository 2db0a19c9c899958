// The CAB back end against the recording CAB32.DLL test double: what each
// slot hands the library, and what it does without asking it.
#include <gtest/gtest.h>

#include "archivecore/EArchiver.h"
#include "backends/Cab32.h"
#include "platform/FileSystem.h"
#include "tests/support/DoubleLog.h"
#include "tests/support/ScopedCwd.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::DoubleLog;
using testing_support::ScopedCwd;
using testing_support::TempDir;

namespace {

// The double's record, read through the handle the binding loaded.
DoubleLog Log() {
  TCab32::Library().Load();
  return DoubleLog(TCab32::Library().Handle());
}

}  // namespace

TEST(Cab32Backend, OneLoadForEveryInstanceAndTheContentCheck) {
  TCab32 a;
  TCab32 b;
  EXPECT_TRUE(TCab32::Library().Loaded());
  EXPECT_EQ(TCab32::Library().LoadCount(), 1);
  TempDir dir;
  IsCabArchive(dir.Write("x.cab", "x"));
  EXPECT_EQ(TCab32::Library().LoadCount(), 1);
  EXPECT_EQ(Log().Loads(), 1);
}

TEST(Cab32Backend, OnlyUnpackNamesTheArchiveByItsFullPath) {
  TempDir dir;
  ScopedCwd cwd(dir.Path());
  TCab32 cab;
  const DoubleLog log = Log();
  log.Reset();
  TArchiverOptions o;
  std::string out(64, '\0');
  const auto list = [] {
    platform::TStringList l;
    l.Add("*.log");
    return l;
  }();
  EXPECT_EQ(cab.Unpack(nullptr, "A.CAB", o, "", &list, out), 0x4321);
  EXPECT_EQ(cab.CommandLine, "-x  \"" + platform::GetCurrentDir() + "/A.CAB\" \"*.log\" ");
  EXPECT_EQ(log.Text(log.Last()), cab.CommandLine);
  EXPECT_EQ(cab.Pack(nullptr, "A.CAB", o, "", &list, out), 0x4321);
  EXPECT_EQ(cab.CommandLine, "-a  \"A.CAB\" \"*.log\" ");
  EXPECT_EQ(cab.MakeSfx(nullptr, "A.CAB", o, out), 0x4321);
  EXPECT_EQ(cab.CommandLine, "-f  \"A.CAB\" ");
  EXPECT_EQ(log.Count(), 3);
}

TEST(Cab32Backend, MakeSfxAddsNoFolderOrListWhateverTheCallerHolds) {
  TCab32 cab;
  TArchiverOptions o;
  o.c = 1;
  o.x = 0;
  o.UserOptions = "-m0";
  o.UserFileList = "\"extra\"";
  std::string out;
  cab.MakeSfx(nullptr, "/LOG/A.CAB", o, out);
  EXPECT_EQ(cab.CommandLine, "-f -o -j -m0 \"/LOG/A.CAB\" \"extra\"");
}

TEST(Cab32Backend, CommandEntryGetsWindowLineAndBuffer) {
  TCab32 cab;
  const DoubleLog log = Log();
  TArchiverOptions o;
  auto* wnd = reinterpret_cast<ArcWnd>(0x2000);
  std::string out(32, '\0');
  log.Reset();
  EXPECT_EQ(cab.Pack(wnd, "A.CAB", o, "", nullptr, out), 0x4321);
  EXPECT_EQ(log.Entry(0), "Cab");
  EXPECT_EQ(log.Wnd(0), wnd);
  EXPECT_EQ(log.Buffer(0), out.data());
  EXPECT_EQ(log.Number(0), 32u);
  EXPECT_STREQ(out.c_str(), "cab double");
  std::string none;
  cab.Pack(wnd, "A.CAB", o, "", nullptr, none);
  EXPECT_EQ(log.Buffer(1), nullptr);
  EXPECT_EQ(log.Number(1), 0u);
}

TEST(Cab32Backend, ListingEntriesPassThroughUnchanged) {
  TempDir dir;
  ScopedCwd cwd(dir.Path());
  dir.Write("L.CAB", "cabinet");
  TCab32 cab;
  const DoubleLog log = Log();
  log.Reset();
  auto* wnd = reinterpret_cast<ArcWnd>(0x3000);
  const ArcHandle h = cab.OpenArchive(wnd, "L.CAB", 5);
  EXPECT_EQ(h, 9);
  EXPECT_EQ(log.Text(0), platform::GetCurrentDir() + "/L.CAB");
  EXPECT_EQ(log.Wnd(0), wnd);
  EXPECT_EQ(log.Number(0), 5u);
  TArchiveEntryInfo info{};
  EXPECT_EQ(cab.FindFirst(h, info, "*.log"), 0);
  EXPECT_EQ(log.Text(1), "*.log");
  EXPECT_EQ(log.Buffer(1), &info);
  EXPECT_STREQ(info.FileName, "DR0701.log");
  EXPECT_EQ(cab.FindNext(h, info), 0);
  EXPECT_STREQ(info.FileName, "LOG/DR0702.log");
  EXPECT_EQ(cab.FindNext(h, info), 77);  // the library's own value, unchanged
  EXPECT_EQ(cab.CloseArchive(h), 0);
  EXPECT_EQ(cab.CloseArchive(3), 55);
  EXPECT_EQ(cab.FindFirst(3, info, "*"), 66);
}

TEST(Cab32Backend, RemoveIsRefusedWithoutTouchingTheLibrary) {
  TCab32 cab;
  const DoubleLog log = Log();
  log.Reset();
  TArchiverOptions o;
  std::string out(16, '\0');
  platform::TStringList list;
  list.Add("*.log");
  try {
    cab.Remove(nullptr, "A.CAB", o, "/LOG", &list, out);
    FAIL() << "no exception";
  } catch (const EArchiver& e) {
    EXPECT_EQ(e.Message(), "この形式の書庫ではファイルの削除をサポートしておりません。");
  }
  EXPECT_EQ(log.Count(), 0);
  EXPECT_EQ(cab.CommandLine, "");
}

TEST(Cab32Backend, ContentCheckOpensWithItsModeAndClosesAtOnce) {
  TempDir dir;
  const DoubleLog log = Log();
  log.Reset();
  EXPECT_TRUE(IsCabArchive(dir.Write("yes.cab", "cabinet")));
  EXPECT_EQ(log.Entry(0), "CabOpenArchive");
  EXPECT_EQ(log.Wnd(0), nullptr);
  EXPECT_EQ(log.Number(0), 0x800002u);
  EXPECT_EQ(log.Entry(1), "CabCloseArchive");
  EXPECT_EQ(log.Count(), 2);
  EXPECT_FALSE(IsCabArchive(dir.Write("no.cab", "")));
  EXPECT_EQ(log.Count(), 3);  // nothing to close
}
