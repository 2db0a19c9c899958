// The archive component: choosing the back end, response files, the
// component's own file expansion. Runs beside the library test double.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "archive/ArchiveFile.h"
#include "archive/GetArchiverType.h"
#include "archivecore/EArchiver.h"
#include "backends/Lha32.h"
#include "tests/support/DoubleLog.h"
#include "tests/support/Files.h"
#include "tests/support/ScopedCwd.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::DoubleLog;
using testing_support::ReadFile;
using testing_support::ScopedCwd;
using testing_support::TempDir;

namespace {

std::string MessageOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const platform::Exception& e) {
    return e.Message();
  }
  return "no exception";
}

}  // namespace

TEST(ArchiverType, ByExtension) {
  struct Row {
    const char* name;
    TArchiverType type;
  };
  const Row rows[] = {
      {"/LOG/DR9812.LZH", atLha},
      {"a.lzh", atLha},
      {"x.tar.gz", atTgz},
      {"x.Z", atTgz},
      {"x.taz", atTgz},
      {"x.TGZ", atTgz},
      {"x.tar", atTar},
      {"x.bz2", atBZ2},
      {"x.txz", atTxz},
      {"x.tar.xz", atTxz},
      {"x.TZST", atTzst},
      {"x.tar.zst", atTzst},
      {"x.rar", atRar},
      {"x.arj", atArj},
      {"x.ZIP", atZip},
      {"x.cab", atCab},
      {"x", atNone},
      {"x.lha", atNone},
      {"dir.lzh/x", atNone},
      {"x.", atNone},
  };
  for (const Row& row : rows) EXPECT_EQ(GetArchiverType(row.name, true), row.type) << row.name;
}

TEST(ArchiverType, ExeIsRecognisedByContent) {
  TempDir dir;
  // The double takes any non-empty file for an archive.
  EXPECT_EQ(GetArchiverType(dir.Write("sfx.EXE", "MZ..."), true), atLha);
  EXPECT_EQ(GetArchiverType(dir.Write("empty.exe", ""), true), atNone);
  EXPECT_EQ(GetArchiverType(dir / "missing.exe", true), atNone);
  DoubleLog log;
  GetArchiverType(dir / "sfx.EXE", false);
  EXPECT_EQ(log.Entry(log.Last()), "UnlhaCloseArchive");
  EXPECT_EQ(log.Number(log.Last() - 1), 0x800002u);
  EXPECT_EQ(log.Wnd(log.Last() - 1), nullptr);
}

TEST(ArchiverType, EveryContentCheckRunsAndTheLastYesWins) {
  // Rows standing for back ends: a TAR-like check naming a variant, one that
  // says no, one whose library is missing (it raises), and two that say yes.
  static std::vector<std::string> ran;
  ran.clear();
  const TBackendRow rows[] = {
      {.Type = atTar, .Detect = [](const std::string&) { return ran.push_back("tar"), atTgz; }},
      {.Type = atTgz},
      {.Type = atRar, .Detect = [](const std::string&) { return ran.push_back("rar"), atNone; }},
      {.Type = atArj, .Detect = [](const std::string&) { return ran.push_back("arj"), atArj; }},
      {.Type = atCab,
       .Detect = [](const std::string&) -> TArchiverType {
         ran.push_back("cab");
         throw EArchiver("CAB32.DLL が必要です。");
       }},
  };
  EXPECT_EQ(DetectArchiverType("x", rows), atArj);
  EXPECT_EQ(ran, (std::vector<std::string>{"tar", "rar", "arj", "cab"}));
  EXPECT_EQ(DetectArchiverType("x", std::span(rows).first(3)), atTgz);
  EXPECT_EQ(DetectArchiverType("x", {}), atNone);
}

TEST(ArchiveFile, FileNameBindsTheBackEnd) {
  TArchiveFile file(nullptr);
  EXPECT_EQ(file.ArchiverType(), atAutoDetect);
  EXPECT_EQ(file.Archiver(), nullptr);
  EXPECT_TRUE(IsNoValue(file.FileName()));
  EXPECT_EQ(file.CommandLine(), "");
  EXPECT_EQ(file.OutputSize(), 0);

  file.SetFileName("/LOG/DR9812.LZH");
  EXPECT_EQ(file.ArchiverType(), atLha);
  TArchiver* first = file.Archiver();
  ASSERT_NE(dynamic_cast<TLha32*>(first), nullptr);
  // The same name again binds a fresh back end.
  file.SetFileName("/LOG/DR9812.LZH");
  EXPECT_NE(file.Archiver(), first);

  // A name without a known extension keeps type and back end.
  TArchiver* bound = file.Archiver();
  file.SetFileName("x.lha");
  EXPECT_EQ(file.FileName(), "x.lha");
  EXPECT_EQ(file.ArchiverType(), atLha);
  EXPECT_EQ(file.Archiver(), bound);
}

TEST(ArchiveFile, NoneAndAutoDetectKeepTheBackEnd) {
  TempDir dir;
  TArchiveFile file(nullptr);
  file.SetFileName(dir / "a.lzh");
  TArchiver* bound = file.Archiver();
  file.SetArchiverType(atNone);
  EXPECT_EQ(file.ArchiverType(), atLha);
  file.SetArchiverType(atAutoDetect);
  EXPECT_EQ(file.ArchiverType(), atAutoDetect);
  EXPECT_EQ(file.Archiver(), bound);
  // Content detection finds nothing in a missing file: the bound back end packs.
  file.SetFileName(dir / "new");
  platform::TStringList list;
  list.Add("x");
  EXPECT_EQ(file.Pack(nullptr, "", &list), 0x1234);
  EXPECT_EQ(file.Archiver(), bound);
}

TEST(ArchiveFile, UnknownFormatFailsInPackAndOpen) {
  TempDir dir;
  TArchiveFile file(nullptr);
  file.SetFileName(dir / "x");
  EXPECT_EQ(MessageOf([&] { file.Pack(nullptr, "", nullptr); }), "書庫の形式を判別できません。");
  EXPECT_EQ(MessageOf([&] { file.OpenArchive(nullptr, 0); }), "書庫の形式を判別できません。");
}

TEST(ArchiveFile, FormatsWithoutBackEndAreRefusedUnlessLoading) {
  // Every named format has a row now; a type past them has none.
  const auto unknown = static_cast<TArchiverType>(12);
  TArchiveFile file(nullptr);
  file.SetFileName("a.lzh");
  TArchiver* bound = file.Archiver();
  EXPECT_EQ(MessageOf([&] { file.SetArchiverType(unknown); }),
            "現在のバージョンではこの形式の書庫をサポートしていません。");
  EXPECT_EQ(file.FileName(), "a.lzh");
  EXPECT_EQ(file.ArchiverType(), atLha);
  EXPECT_EQ(file.Archiver(), bound);

  file.SetComponentState(platform::csLoading);
  file.SetArchiverType(unknown);
  EXPECT_EQ(file.ArchiverType(), unknown);
  EXPECT_EQ(file.Archiver(), bound);
}

TEST(ArchiveFile, OutputSizeResizesAndClearsTheFirstByte) {
  TArchiveFile file(nullptr);
  file.SetOutputSize(8192);
  EXPECT_EQ(file.OutputSize(), 8192);
  EXPECT_EQ(file.Output()[0], '\0');
  file.SetOutputSize(0);
  EXPECT_EQ(file.OutputSize(), 0);
  file.SetOutputSize(-5);
  EXPECT_EQ(file.OutputSize(), 0);
}

TEST(ArchiveFile, ResponseFileHoldsOneQuotedNamePerLine) {
  TempDir dir;
  ScopedCwd cwd(dir.Path());
  TArchiveFile file(nullptr);
  file.SetFileName("a.lzh");
  file.Options().ResFileName = "list.txt";
  platform::TStringList list;
  list.Add("a.log");
  list.Add("b.log");
  DoubleLog log;
  file.Pack(nullptr, "", &list);
  EXPECT_EQ(ReadFile(dir / "list.txt"), "\"a.log\"\r\n\"b.log\"\r\n");
  EXPECT_EQ(ReadFile(dir / "list.txt").size(), 18u);
  EXPECT_EQ(log.Text(log.Last()), "u -+  \"a.lzh\" \"@list.txt\" ");

  // An empty list gives an empty file.
  platform::TStringList empty;
  file.Pack(nullptr, "", &empty);
  EXPECT_EQ(ReadFile(dir / "list.txt"), "");
}

TEST(ArchiveFile, ResponseFileOnlyWhenNamedAndInUse) {
  TempDir dir;
  ScopedCwd cwd(dir.Path());
  TArchiveFile file(nullptr);
  file.SetFileName("a.lzh");
  platform::TStringList list;
  list.Add("a.log");
  DoubleLog log;
  for (const std::string& name : {std::string(), NoValue}) {
    file.Options().ResFileName = name;
    file.Pack(nullptr, "", &list);
    EXPECT_EQ(log.Text(log.Last()), "u -+  \"a.lzh\" \"a.log\" ");
  }
  file.Options().ResFileName = "list.txt";
  file.Options().ResFileUsage = TResFileUsage{ruOnUnpack, ruOnRemoveItem};
  file.Pack(nullptr, "", &list);
  EXPECT_EQ(log.Text(log.Last()), "u -+  \"a.lzh\" \"a.log\" ");
  EXPECT_FALSE(std::filesystem::exists(dir / "list.txt"));

  file.Options().ResFileUsage = TResFileUsage{ruOnPack};
  file.Options().ResFileName = dir / "no/such/folder/list.txt";
  EXPECT_THROW(file.Pack(nullptr, "", &list), platform::EFileError);
}

TEST(ArchiveFile, ComponentFilterWithNoMatchSkipsTheBackEnd) {
  TempDir dir;
  ScopedCwd cwd(dir.Path());
  TArchiveFile file(nullptr);
  file.SetFileName("a.lzh");
  platform::TStringList list;
  list.Add("previous.log");
  file.Pack(nullptr, "", &list);
  const std::string previous = file.CommandLine();

  file.Options().PackFilter = pfComponent;
  file.Options().r = 1;
  file.SetOutputSize(16);
  std::string& out = const_cast<std::string&>(file.Output());
  out[0] = 'X';
  DoubleLog log;
  const int calls = log.Count();
  platform::TStringList masks;
  masks.Add("*.none");
  EXPECT_EQ(file.Pack(nullptr, "", &masks), 0);
  EXPECT_EQ(log.Count(), calls);
  EXPECT_EQ(file.Output()[0], '\0');
  EXPECT_EQ(file.CommandLine(), previous);
  EXPECT_EQ(file.Options().r, 1);
}

TEST(ArchiveFile, ComponentFilterPacksTheExpandedFiles) {
  TempDir dir;
  ScopedCwd cwd(dir.Path());
  dir.Write("b.log", "b");
  dir.Write("a.log", "a");
  dir.Write("c.txt", "c");
  dir.Write("sub/d.log", "d");
  TArchiveFile file(nullptr);
  file.SetFileName("a.lzh");
  file.Options().PackFilter = pfComponent;
  file.Options().r = 1;
  file.Options().jo = "800101";
  platform::TStringList masks;
  masks.Add("*.log");
  DoubleLog log;
  file.Pack(nullptr, "", &masks);
  // Recursion and the date bound were applied here, not handed on.
  EXPECT_EQ(log.Text(log.Last()), "u -+ -p1  \"a.lzh\" \"a.log\" \"b.log\" \"sub/d.log\" ");
  EXPECT_EQ(file.Options().jo, "800101");
}
