// The RAR back end against the recording test double of UNRAR32.DLL (built
// into bin/double/rar/, next to this program): command lines byte for byte,
// the "-x"/"-e" choice, the entries it calls and with what, the library
// loaded once, the refusals that touch nothing, and the content check.
#include <gtest/gtest.h>

#include <functional>

#include "archivecore/EArchiver.h"
#include "archivecore/NoValue.h"
#include "backends/Rar32.h"
#include "platform/DynamicLibrary.h"
#include "platform/Paths.h"
#include "tests/support/Files.h"
#include "tests/support/ScopedCwd.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tools.h"

using namespace pelsok;
using testing_support::ScopedCwd;
using testing_support::TempDir;

namespace {

// The double's call record, read through the handle the back end loaded.
class RarDoubleLog {
 public:
  RarDoubleLog() : lib_(TRar32::Library().Handle()) { Fn<void (*)()>("Double_Reset")(); }
  int Count() const { return Fn<int (*)()>("Double_CallCount")(); }
  std::string Entry(int i) const { return Fn<const char* (*)(int)>("Double_Entry")(i); }
  std::string Text(int i) const { return Fn<const char* (*)(int)>("Double_Text")(i); }
  const void* Buffer(int i) const { return Fn<const void* (*)(int)>("Double_Buffer")(i); }
  std::uint32_t Number(int i) const { return Fn<std::uint32_t (*)(int)>("Double_Number")(i); }
  void* Wnd(int i) const { return Fn<void* (*)(int)>("Double_Wnd")(i); }
  int Loads() const { return Fn<int (*)()>("Double_Loads")(); }

 private:
  template <typename F>
  F Fn(const char* name) const {
    return reinterpret_cast<F>(platform::GetProcAddress(lib_, name));
  }
  platform::LibraryHandle lib_;
};

platform::TStringList Lines(std::initializer_list<const char*> lines) {
  platform::TStringList l;
  for (auto s : lines) l.Add(s);
  return l;
}

std::string MessageOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const EArchiver& e) {
    return e.Message();
  }
  return "no exception";
}

}  // namespace

TEST(Rar32CommandLine, TheDefaultExtractionLine) {
  // -x, -u, the empty UserOptions, the archive, the base folder with its
  // delimiter added, the empty UserFileList: two blanks before the archive
  // and one at the end.
  TArchiverOptions o;
  EXPECT_EQ(TRar32::MakeCmdLine("-x", "/IN/A.RAR", o, "/OUT", nullptr),
            "-x -u  \"/IN/A.RAR\" \"/OUT/\" ");
}

TEST(Rar32CommandLine, SwitchRows) {
  struct Row {
    const char* what;
    void (*set)(TArchiverOptions&);
    std::string archive;
    std::string baseDir;
    bool withList;
    std::string expected;
  };
  const Row rows[] = {
      {"c 0 still adds -u", [](TArchiverOptions& o) { o.c = 0; }, "A", "", false, "-x -u  \"A\" "},
      {"c 1 leaves -u out", [](TArchiverOptions& o) { o.c = 1; }, "A", "", false, "-x  \"A\" "},
      {"c 5 leaves -u out", [](TArchiverOptions& o) { o.c = 5; }, "A", "", false, "-x  \"A\" "},
      {"m and p in order after -u",
       [](TArchiverOptions& o) {
         o.p = 1;
         o.m = 1;
       },
       "A", "", false, "-x -u -y -s  \"A\" "},
      {"m and p of 0 add nothing",
       [](TArchiverOptions& o) {
         o.m = 0;
         o.p = 0;
       },
       "A", "", false, "-x -u  \"A\" "},
      {"only p, without -u",
       [](TArchiverOptions& o) {
         o.c = 1;
         o.p = 2;
       },
       "A", "", false, "-x -s  \"A\" "},
      {"empty archive name still quoted", [](TArchiverOptions&) {}, "", "", false, "-x -u  \"\" "},
      {"base folder ending in the delimiter kept", [](TArchiverOptions&) {}, "A", "/OUT/", false,
       "-x -u  \"A\" \"/OUT/\" "},
      {"list lines in order, after the base folder", [](TArchiverOptions&) {}, "A", "/out/", true,
       "-x -u  \"A\" \"/out/\" \"b*.log\" \"a.log\" "},
      {"user texts verbatim",
       [](TArchiverOptions& o) {
         o.UserOptions = "-q -zz";
         o.UserFileList = "\"x y\"";
       },
       "A", "", true, "-x -u -q -zz \"A\" \"b*.log\" \"a.log\" \"x y\""},
      {"other options are not read",
       [](TArchiverOptions& o) {
         o.r = 2;
         o.a = 1;
         o.jz = "z";
         o.w = "/tmp";
         o.jx.Add("p");
       },
       "A", "", false, "-x -u  \"A\" "},
  };
  const auto list = Lines({"b*.log", "a.log"});
  for (const Row& row : rows) {
    TArchiverOptions o;
    row.set(o);
    EXPECT_EQ(
        TRar32::MakeCmdLine("-x", row.archive, o, row.baseDir, row.withList ? &list : nullptr),
        row.expected)
        << row.what;
  }
  // A NoValue line of the list is skipped, an empty one stays.
  platform::TStringList odd;
  odd.Add("a");
  odd.Add(NoValue);
  odd.Add("");
  EXPECT_EQ(TRar32::MakeCmdLine("-e", "A", TArchiverOptions{}, "", &odd),
            "-e -u  \"A\" \"a\" \"\" ");
}

TEST(Rar32Backend, UnpackChoosesTheCommandAndHandsOverLineBufferAndResult) {
  TRar32 rar;
  RarDoubleLog log;
  struct Row {
    TSwitch x;
    const char* command;
  } rows[] = {{0, "-e"}, {-1, "-x"}, {1, "-x"}, {2, "-x"}};
  auto* wnd = reinterpret_cast<ArcWnd>(0x4321);
  for (const auto& row : rows) {
    TArchiverOptions o;
    o.x = row.x;
    std::string output(64, '\0');
    const auto list = Lines({"*.log"});
    EXPECT_EQ(rar.Unpack(wnd, "in/A.RAR", o, "/out", &list, output), 0x2345);
    const std::string expected =
        std::string(row.command) + " -u  \"in/A.RAR\" \"/out/\" \"*.log\" ";
    EXPECT_EQ(rar.CommandLine, expected);
    EXPECT_EQ(log.Entry(log.Count() - 1), "Unrar");
    EXPECT_EQ(log.Text(log.Count() - 1), expected);  // the archive name is not expanded
    EXPECT_EQ(log.Wnd(log.Count() - 1), wnd);
    EXPECT_EQ(log.Buffer(log.Count() - 1), output.data());
    EXPECT_EQ(log.Number(log.Count() - 1), 64u);
    EXPECT_STREQ(output.c_str(), "rar double ok");
  }
  // An empty output buffer goes over as null and 0.
  std::string none;
  rar.Unpack(nullptr, "A.RAR", TArchiverOptions{}, "", nullptr, none);
  EXPECT_EQ(log.Buffer(log.Count() - 1), nullptr);
  EXPECT_EQ(log.Number(log.Count() - 1), 0u);
  EXPECT_EQ(rar.CommandLine, "-x -u  \"A.RAR\" ");
}

TEST(Rar32Backend, ListingEntriesGetTheFullPathAndTheRecordUnchanged) {
  TempDir dir;
  ScopedCwd cwd(dir.Path());
  dir.Write("A.RAR", "content");
  TRar32 rar;
  RarDoubleLog log;
  auto* wnd = reinterpret_cast<ArcWnd>(0x77);
  const ArcHandle h = rar.OpenArchive(wnd, "A.RAR", 5);
  EXPECT_EQ(h, 9);
  EXPECT_EQ(log.Entry(0), "UnrarOpenArchive");
  EXPECT_EQ(log.Text(0), platform::ExpandFileName("A.RAR"));
  EXPECT_EQ(log.Text(0), dir / "A.RAR");
  EXPECT_EQ(log.Wnd(0), wnd);
  EXPECT_EQ(log.Number(0), 5u);
  TArchiveEntryInfo info{};
  EXPECT_EQ(rar.FindFirst(h, info, "*.log"), 0);
  EXPECT_EQ(log.Entry(1), "UnrarFindFirst");
  EXPECT_EQ(log.Text(1), "*.log");
  EXPECT_EQ(log.Buffer(1), &info);
  EXPECT_EQ(log.Number(1), 9u);
  EXPECT_STREQ(info.FileName, "DR0701.log");
  EXPECT_EQ(rar.FindNext(h, info), 0);
  EXPECT_STREQ(info.FileName, "sub/DR0702.log");
  EXPECT_NE(rar.FindNext(h, info), 0);
  EXPECT_EQ(rar.CloseArchive(h), 0x31);  // returned unchanged
  EXPECT_EQ(log.Entry(log.Count() - 1), "UnrarCloseArchive");
  EXPECT_EQ(log.Number(log.Count() - 1), 9u);
  EXPECT_EQ(rar.CommandLine, "");  // listing builds no command line
}

TEST(Rar32Backend, LoadsOnceAndResolvesEachEntryOnce) {
  TRar32 first;
  TRar32 second;
  RarDoubleLog log;
  EXPECT_EQ(log.Loads(), 1);
  EXPECT_EQ(TRar32::Library().LoadCount(), 1);
  std::string out;
  first.Unpack(nullptr, "A", TArchiverOptions{}, "", nullptr, out);
  const void* entry = TRar32::Library().Entry(0);
  second.Unpack(nullptr, "A", TArchiverOptions{}, "", nullptr, out);
  EXPECT_EQ(TRar32::Library().Entry(0), entry);
  EXPECT_EQ(TRar32::Library().LoadCount(), 1);
}

TEST(Rar32Backend, PackRemoveAndMakeSfxRefuseWithoutTouchingAnything) {
  TRar32 rar;
  RarDoubleLog log;
  std::string out(16, 'o');
  rar.Unpack(nullptr, "A", TArchiverOptions{}, "", nullptr, out);
  const std::string line = rar.CommandLine;
  const int calls = log.Count();
  const auto list = Lines({"a"});
  EXPECT_EQ(MessageOf([&] { rar.Pack(nullptr, "A.RAR", TArchiverOptions{}, "", &list, out); }),
            "この形式では書庫ファイルの作成をサポートしておりません。");
  EXPECT_EQ(MessageOf([&] { rar.Remove(nullptr, "A.RAR", TArchiverOptions{}, "", &list, out); }),
            "この形式の書庫ではファイルの削除をサポートしておりません。");
  EXPECT_EQ(MessageOf([&] { rar.MakeSfx(nullptr, "A.RAR", TArchiverOptions{}, out); }),
            "この形式では自己解凍書庫の作成をサポートしておりません。");
  EXPECT_EQ(log.Count(), calls);
  EXPECT_EQ(rar.CommandLine, line);
}

TEST(Rar32Backend, ContentCheckOpensWithTheCheckModeAndClosesAtOnce) {
  TempDir dir;
  ScopedCwd cwd(dir.Path());
  dir.Write("logs.dat", "anything");
  dir.Write("empty.dat", "");
  TRar32::Library().Load();
  RarDoubleLog log;
  EXPECT_TRUE(IsRarArchive("logs.dat"));
  ASSERT_EQ(log.Count(), 2);
  EXPECT_EQ(log.Entry(0), "UnrarOpenArchive");
  EXPECT_EQ(log.Text(0), dir / "logs.dat");
  EXPECT_EQ(log.Number(0), 8388610u);
  EXPECT_EQ(log.Wnd(0), nullptr);
  EXPECT_EQ(log.Entry(1), "UnrarCloseArchive");
  EXPECT_EQ(log.Number(1), 9u);
  EXPECT_FALSE(IsRarArchive("empty.dat"));
  EXPECT_FALSE(IsRarArchive("missing.dat"));
  EXPECT_EQ(log.Count(), 4);  // no close for a handle of 0
  EXPECT_TRUE(TRar32::Library().Loaded());
}
