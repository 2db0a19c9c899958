// The back-end base and the library binding, against the archiver library
// test double that sits next to this program as UNLHA32.DLL.
#include <gtest/gtest.h>

#include "archive/ArchiveFile.h"
#include "archive/EArchiver.h"
#include "backends/DllEntry.h"
#include "backends/Lha32.h"
#include "backends/LibraryBinding.h"
#include "tests/core/DoubleLog.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::DoubleLog;
using testing_support::TempDir;

namespace {

// A back end that supplies only the abstract slots, to reach the base answers.
class BaseOnly : public TArchiver {
 public:
  void LoadDll() override {}
  void UnloadDll() override {}
  std::int32_t Unpack(ArcWnd, const std::string&, const TArchiverOptions&, const std::string&,
                      const platform::TStringList*, std::string&) override {
    return 0;
  }
};

platform::TStringList OneLine(const std::string& s) {
  platform::TStringList l;
  l.Add(s);
  return l;
}

}  // namespace

TEST(Binding, LibraryLoadsOnceAndEntriesResolveOnce) {
  TLha32 first;
  const int loadsBefore = TLha32::Library().LoadCount();
  DoubleLog log;
  {
    TLha32 second;
    TLha32 third;
    EXPECT_EQ(TLha32::Library().LoadCount(), loadsBefore);
    std::string out;
    second.Pack(nullptr, "a.lzh", TArchiverOptions(), "", nullptr, out);
    void* resolved = TLha32::Library().Entry(0);
    third.Pack(nullptr, "b.lzh", TArchiverOptions(), "", nullptr, out);
    EXPECT_EQ(TLha32::Library().Entry(0), resolved);
  }
  // Destroying back ends keeps the library; a new one does not load again.
  TLha32 fourth;
  EXPECT_TRUE(TLha32::Library().Loaded());
  EXPECT_EQ(TLha32::Library().LoadCount(), loadsBefore);
  EXPECT_EQ(log.Loads(), 1);
}

TEST(Binding, MissingEntryNamesTheLibraryFile) {
  LibraryBinding partial("partial.dll", "no partial", {"Present", "Absent"});
  EXPECT_EQ(reinterpret_cast<int (*)()>(partial.Entry(0))(), 42);
  try {
    partial.Entry(1);
    FAIL() << "no exception";
  } catch (const EArchiver& e) {
    const std::string file = platform::GetModuleFileName(partial.Handle());
    EXPECT_NE(file.find("PARTIAL.DLL"), std::string::npos);
    EXPECT_EQ(e.Message(), file + " に Absent のエントリが見つかりません。");
  }
  // The other entry keeps working and the missing one is tried again.
  EXPECT_EQ(reinterpret_cast<int (*)()>(partial.Entry(0))(), 42);
  EXPECT_THROW(partial.Entry(1), EArchiver);
}

TEST(Binding, MissingLibraryFailsEveryTimeAndCachesNothing) {
  LibraryBinding nowhere("NOWHERE32.DLL", "NOWHERE32.DLL が必要です。", {"X"});
  for (int i = 0; i < 2; ++i) {
    try {
      nowhere.Load();
      FAIL();
    } catch (const EArchiver& e) {
      EXPECT_EQ(e.Message(), "NOWHERE32.DLL が必要です。");
    }
  }
  EXPECT_EQ(nowhere.LoadCount(), 2);
  EXPECT_FALSE(nowhere.Loaded());
}

TEST(Binding, BaseSlotsAnswerAndRefuse) {
  BaseOnly b;
  TArchiveEntryInfo info{};
  std::string out;
  TArchiverOptions o;
  EXPECT_EQ(b.OpenArchive(nullptr, "a", 0), 0);
  EXPECT_EQ(b.FindFirst(1, info, "*.*"), -1);
  EXPECT_EQ(b.FindNext(1, info), -1);
  EXPECT_EQ(b.CloseArchive(1), 0);
  auto message = [](auto&& call) {
    try {
      call();
    } catch (const EArchiver& e) {
      return e.Message();
    }
    return std::string("no exception");
  };
  EXPECT_EQ(message([&] { b.Pack(nullptr, "a", o, "", nullptr, out); }),
            "この形式では書庫ファイルの作成をサポートしておりません。");
  EXPECT_EQ(message([&] { b.Remove(nullptr, "a", o, "", nullptr, out); }),
            "この形式の書庫ではファイルの削除をサポートしておりません。");
  EXPECT_EQ(message([&] { b.MakeSfx(nullptr, "a", o, out); }),
            "この形式では自己解凍書庫の作成をサポートしておりません。");
  EXPECT_EQ(b.CommandLine, "");
}

TEST(Binding, PackHandsOverLineBufferAndResult) {
  TempDir dir;
  TArchiveFile file(nullptr);
  file.SetFileName(dir / "DR9807.LZH");
  file.Options().x = 1;
  DoubleLog log;
  const auto list = OneLine(dir / "DR07*.log");
  auto* wnd = reinterpret_cast<ArcWnd>(0x5150);

  file.SetOutputSize(0);
  EXPECT_EQ(file.Pack(wnd, "", &list), 0x1234);
  const std::string line =
      "u -+ -x1  \"" + (dir / "DR9807.LZH") + "\" \"" + (dir / "DR07*.log") + "\" ";
  EXPECT_EQ(log.Entry(log.Last()), "Unlha");
  EXPECT_EQ(log.Text(log.Last()), line);
  EXPECT_EQ(log.Buffer(log.Last()), nullptr);
  EXPECT_EQ(log.Number(log.Last()), 0u);
  EXPECT_EQ(log.Wnd(log.Last()), wnd);
  EXPECT_EQ(file.CommandLine(), line);

  file.SetOutputSize(8192);
  EXPECT_EQ(file.Output().size(), 8192u);
  EXPECT_EQ(file.Output()[0], '\0');
  file.Pack(wnd, "", &list);
  EXPECT_EQ(log.Buffer(log.Last()), file.Output().data());
  EXPECT_EQ(log.Number(log.Last()), 8192u);
  EXPECT_STREQ(file.Output().c_str(), "double ok");
  // The component's own options are never changed by Pack.
  EXPECT_EQ(file.Options().x, 1);
}

TEST(Binding, ListingWalkGoesThroughTheBoundBackEnd) {
  TempDir dir;
  const std::string archive = dir.Write("A.LZH", "content");
  TArchiveFile file(nullptr);
  file.SetFileName(archive);
  DoubleLog log;
  ASSERT_NE(file.OpenArchive(nullptr, 0), 0);
  EXPECT_EQ(log.Text(log.Last()), archive);  // expanded to a full path
  TArchiveEntryInfo info{};
  std::vector<std::string> names;
  for (int rc = file.FindFirst("*.*", info); rc == 0; rc = file.FindNext(info)) {
    names.push_back(info.FileName);
  }
  file.CloseArchive();
  EXPECT_EQ(file.ArchiveHandle(), 0);
  EXPECT_EQ(names, (std::vector<std::string>{"DR0701.log", "DR0702.log", "LOG/DR0703.log"}));
  EXPECT_EQ(log.Entry(log.Last()), "UnlhaCloseArchive");
}
