// The back-end base and the library binding, against the archiver library
// test double that sits next to this program as UNLHA32.DLL.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/ArchiveFile.h"
#include "archivecore/EArchiver.h"
#include "backends/DllEntry.h"
#include "backends/Lha32.h"
#include "backends/LibraryBinding.h"
#include "platform/FileSystem.h"
#include "tests/support/DoubleLog.h"
#include "tests/support/ScopedLibraryPath.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::DoubleLog;
using testing_support::ScopedLibraryPath;
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

// The ZIP back end's three libraries and its entries: each looked for in its
// own order, "LMZIP32.DLL" spelling the UnZip entries with a lower-case z.
enum ZipLibrary : std::size_t { kUnzip32, kZip32j, kLmZip32 };
enum ZipEntry : std::size_t { kZip, kUnZip, kUnZipOpen, kUnZipFindFirst };

LibraryBinding ZipLikeBinding() {
  auto listing = [](const char* name, const char* lmName) {
    return BoundEntry{name, {{kLmZip32, lmName}, {kZip32j, name}, {kUnzip32, name}}};
  };
  return LibraryBinding({"UNZIP32.DLL", "ZIP32J.DLL", "LMZIP32.DLL"}, "no ZIP library",
                        {{"Zip", {{kZip32j, "Zip"}, {kLmZip32, "Zip"}}},
                         {"UnZip", {{kUnzip32, "UnZip"}, {kLmZip32, "Unzip"}}},
                         listing("UnZipOpenArchive", "UnzipOpenArchive"),
                         listing("UnZipFindFirst", "UnzipFindFirst")});
}

// Copies the named ZIP library doubles into dir.
void Plant(const TempDir& dir, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    std::filesystem::copy_file(std::string(ZIP_DOUBLE_DIR "/") + name, dir / name);
  }
}

int Call(LibraryBinding& b, std::size_t entry) {
  return b.EntryAs<ArcCommandProc>(entry)(nullptr, "", nullptr, 0);
}

// Binds "UNARJ32J.DLL" for itself and keeps the LHA back end's removal, the
// way the ARJ back end does.
class ArjLike : public TLha32 {
 public:
  ArjLike() : TLha32(OwnLibrary{}) { ArjLike::LoadDll(); }
  void LoadDll() override { Own().Load(); }
  void UnloadDll() override { Own().Unload(); }
  static LibraryBinding& Own() {
    static LibraryBinding binding("UNARJ32J.DLL", "この機能の使用には UNARJ32J.DLL が 必要です。",
                                  {"Present"});
    return binding;
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

TEST(Binding, EachEntryComesFromTheFirstLibraryOfItsOwnOrder) {
  TempDir dir;
  Plant(dir, {"UNZIP32.DLL", "ZIP32J.DLL", "LMZIP32.DLL"});
  ScopedLibraryPath path(dir.Path());
  LibraryBinding zip = ZipLikeBinding();
  zip.Load();
  EXPECT_EQ(Call(zip, kZip), 200);  // ZIP32J.DLL before LMZIP32.DLL
  EXPECT_EQ(zip.SuppliedBy(kZip), kZip32j);
  EXPECT_EQ(Call(zip, kUnZip), 101);  // UNZIP32.DLL first
  auto open = zip.EntryAs<ArcOpenProc>(kUnZipOpen);
  EXPECT_EQ(open(nullptr, "", 0), 302);  // LMZIP32.DLL first, as "UnzipOpenArchive"
  EXPECT_EQ(zip.SuppliedBy(kUnZipOpen), kLmZip32);
  try {
    zip.Entry(kUnZipFindFirst);
    FAIL() << "no exception";
  } catch (const EArchiver& e) {
    EXPECT_EQ(e.Message(), "UnZipFindFirst のエントリが見つかりません。");
  }
  EXPECT_FALSE(zip.Resolved(kUnZipFindFirst));
  EXPECT_EQ(zip.SuppliedBy(kUnZipFindFirst), LibraryBinding::kUnresolved);
}

TEST(Binding, OptionalLibrariesAreRetriedAndAnEntryStaysWithItsSupplier) {
  TempDir dir;
  ScopedLibraryPath path(dir.Path());
  LibraryBinding zip = ZipLikeBinding();
  for (int i = 1; i <= 2; ++i) {
    try {
      zip.Load();
      FAIL() << "no exception";
    } catch (const EArchiver& e) {
      EXPECT_EQ(e.Message(), "no ZIP library");
    }
    EXPECT_EQ(zip.LoadCount(kZip32j), i);
  }
  // One library is enough; the "UnZip" entry is asked of it as "Unzip".
  Plant(dir, {"LMZIP32.DLL"});
  zip.Load();
  EXPECT_FALSE(zip.Loaded(kUnzip32));
  EXPECT_EQ(Call(zip, kZip), 300);
  EXPECT_EQ(Call(zip, kUnZip), 301);
  // A library that turns up later is loaded at the next Load, but the
  // entries already resolved keep coming from where they came from.
  Plant(dir, {"ZIP32J.DLL"});
  zip.Load();
  EXPECT_TRUE(zip.Loaded(kZip32j));
  EXPECT_EQ(zip.LoadCount(kLmZip32), 3);  // a loaded library is not asked for again
  EXPECT_EQ(Call(zip, kZip), 300);
  EXPECT_EQ(zip.SuppliedBy(kZip), kLmZip32);
  // After Unload every entry is resolved afresh.
  zip.Unload();
  EXPECT_FALSE(zip.AnyLoaded());
  EXPECT_EQ(Call(zip, kZip), 200);
}

TEST(Binding, ADerivedBackEndLoadsItsOwnLibraryNotTheLhaOne) {
  TLha32::Library().Unload();
  TempDir dir;
  {
    ScopedLibraryPath path(dir.Path());
    try {
      ArjLike missing;
      FAIL() << "no exception";
    } catch (const EArchiver& e) {
      EXPECT_EQ(e.Message(), "この機能の使用には UNARJ32J.DLL が 必要です。");
    }
  }
  std::filesystem::copy_file(platform::ExecutableDir() + "PARTIAL.DLL", dir / "unarj32j.dll");
  ScopedLibraryPath path(dir.Path());
  const int lhaLoads = TLha32::Library().LoadCount();
  ArjLike arj;
  EXPECT_TRUE(ArjLike::Own().Loaded());
  EXPECT_FALSE(TLha32::Library().Loaded());
  EXPECT_EQ(TLha32::Library().LoadCount(), lhaLoads);
  // The inherited removal goes to UNLHA32.DLL, loading it then.
  std::string out;
  EXPECT_EQ(arj.Remove(nullptr, "a.arj", TArchiverOptions(), "ignored", nullptr, out), 0x1234);
  EXPECT_TRUE(TLha32::Library().Loaded());
  DoubleLog log;
  EXPECT_EQ(log.Entry(log.Last()), "Unlha");
  EXPECT_EQ(log.Text(log.Last()), "d -+  \"a.arj\" ");
  EXPECT_EQ(arj.CommandLine, log.Text(log.Last()));
}
