// TTar32, TTgz32 and TBZ232 against the recording tar32.dll double: the
// command lines byte for byte, the entries and their arguments, the class
// identities, the content check and the shared binding.
#include <gtest/gtest.h>

#include <memory>

#include "archivecore/EArchiver.h"
#include "backends/BackendRows.h"
#include "backends/Tar32.h"
#include "platform/FileSystem.h"
#include "platform/Window.h"
#include "tests/support/TarDoubleLog.h"

using namespace pelsok;
using testing_support::TarDoubleLog;

namespace {

platform::TStringList Lines(std::initializer_list<const char*> lines) {
  platform::TStringList l;
  for (auto s : lines) l.Add(s);
  return l;
}

std::unique_ptr<TTar32> Make(char kind) {
  if (kind == 'g') return std::make_unique<TTgz32>();
  if (kind == 'b') return std::make_unique<TBZ232>();
  if (kind == 'x') return std::make_unique<TTxz32>();
  if (kind == 's') return std::make_unique<TTzst32>();
  return std::make_unique<TTar32>();
}

TEST(Tar32CommandLine, Rows) {
  struct Row {
    const char* what;
    char kind;  // 't' TTar32, 'g' TTgz32, 'b' TBZ232, 'x' TTxz32, 's' TTzst32
    void (*set)(TArchiverOptions&);
    std::string expected;
  };
  const Row rows[] = {
      {"plain tar has no compression switch", 't', [](TArchiverOptions&) {},
       "c  -f \"A\" -o \"/B/\" \"F\" "},
      {"tgz default", 'g', [](TArchiverOptions&) {}, "c -z  -f \"A\" -o \"/B/\" \"F\" "},
      {"bz2 jm 9", 'b', [](TArchiverOptions& o) { o.jm = 9; }, "c -B9  -f \"A\" -o \"/B/\" \"F\" "},
      {"tgz jm 0", 'g', [](TArchiverOptions& o) { o.jm = 0; }, "c -z  -f \"A\" -o \"/B/\" \"F\" "},
      {"bz2 jm 0", 'b', [](TArchiverOptions& o) { o.jm = 0; }, "c -B  -f \"A\" -o \"/B/\" \"F\" "},
      {"txz default", 'x', [](TArchiverOptions&) {}, "c -J  -f \"A\" -o \"/B/\" \"F\" "},
      {"txz jm 3", 'x', [](TArchiverOptions& o) { o.jm = 3; }, "c -J3  -f \"A\" -o \"/B/\" \"F\" "},
      {"tzst default", 's', [](TArchiverOptions&) {}, "c --zstd  -f \"A\" -o \"/B/\" \"F\" "},
      {"tzst jm 19", 's', [](TArchiverOptions& o) { o.jm = 19; },
       "c --zstd=19  -f \"A\" -o \"/B/\" \"F\" "},
      {"tar ignores jm", 't', [](TArchiverOptions& o) { o.jm = 9; },
       "c  -f \"A\" -o \"/B/\" \"F\" "},
      {"a 0", 't', [](TArchiverOptions& o) { o.a = 0; }, "c -I  -f \"A\" -o \"/B/\" \"F\" "},
      {"a 1", 't', [](TArchiverOptions& o) { o.a = 1; }, "c -AH  -f \"A\" -o \"/B/\" \"F\" "},
      {"n and o", 't',
       [](TArchiverOptions& o) {
         o.n = 1;
         o.o = 2;
         o.n = 1;
       },
       "c --display-dialog=0 -g  -f \"A\" -o \"/B/\" \"F\" "},
      {"n 0 and o 0", 't',
       [](TArchiverOptions& o) {
         o.n = 0;
         o.o = 0;
       },
       "c  -f \"A\" -o \"/B/\" \"F\" "},
      {"p 1", 't', [](TArchiverOptions& o) { o.p = 1; },
       "c --check-all-path=1  -f \"A\" -o \"/B/\" \"F\" "},
      {"p -2", 't', [](TArchiverOptions& o) { o.p = -2; },
       "c --check-all-path=-2  -f \"A\" -o \"/B/\" \"F\" "},
      {"x 1 after p", 'g',
       [](TArchiverOptions& o) {
         o.x = 1;
         o.p = 0;
         o.a = 1;
         o.jm = 5;
       },
       "c -AH --check-all-path=0 --use-directory=1 -z5  -f \"A\" -o \"/B/\" \"F\" "},
      {"user texts", 'b',
       [](TArchiverOptions& o) {
         o.UserOptions = "-q";
         o.UserFileList = "Z";
       },
       "c -B -q -f \"A\" -o \"/B/\" \"F\" Z"},
  };
  const auto list = Lines({"F"});
  for (const Row& row : rows) {
    TArchiverOptions o;
    row.set(o);
    EXPECT_EQ(Make(row.kind)->MakeCmdLine("c", "A", o, "/B", &list), row.expected) << row.what;
  }
}

TEST(Tar32CommandLine, EmptyArchiveBaseFolderAndNoList) {
  TArchiverOptions o;
  TTar32 tar;
  EXPECT_EQ(tar.MakeCmdLine("x", "", o, "", nullptr), "x  ");
  EXPECT_EQ(tar.MakeCmdLine("x", "A", o, "/B/", nullptr), "x  -f \"A\" -o \"/B/\" ");
  const platform::TStringList empty;
  EXPECT_EQ(tar.MakeCmdLine("x", "A", o, "", &empty), "x  -f \"A\" ");
}

TEST(Tar32CommandLine, TheExampleLineOfPackOnATgz) {
  TTgz32 tgz;
  TArchiverOptions o;
  const auto list = Lines({"*.log"});
  std::string output(64, '\0');
  TarDoubleLog log;
  log.Reset();
  EXPECT_EQ(tgz.Pack(nullptr, "/LOG/A.tgz", o, "/LOG", &list, output), 0x8003);
  const std::string line = "c -z  -f \"/LOG/A.tgz\" -o \"/LOG/\" \"*.log\" ";
  EXPECT_EQ(tgz.CommandLine, line);
  ASSERT_EQ(log.Count(), 1);
  EXPECT_EQ(log.Entry(0), "Tar");
  EXPECT_EQ(log.Text(0), line);
  EXPECT_EQ(log.Buffer(0), output.data());
  EXPECT_EQ(log.Number(0), 64u);
  EXPECT_STREQ(output.c_str(), "double ok");
  // Unpack is the same with x, the archive name not expanded.
  EXPECT_EQ(tgz.Unpack(nullptr, "A.tgz", o, "", nullptr, output), 0x8003);
  EXPECT_EQ(log.Text(1), "x -z  -f \"A.tgz\" ");
}

void* g_foreground = nullptr;
int g_foregroundCalls = 0;

TEST(Tar32Entries, OutputBufferForegroundAndArguments) {
  TTar32 tar;
  TArchiverOptions o;
  TarDoubleLog log;
  log.Reset();
  std::string none;
  EXPECT_EQ(tar.Pack(nullptr, "A", o, "", nullptr, none), 0x8003);
  EXPECT_EQ(log.Buffer(0), nullptr);
  EXPECT_EQ(log.Number(0), 0u);

  auto old = platform::SetForegroundHandler([](void* wnd) {
    g_foreground = wnd;
    ++g_foregroundCalls;
  });
  int window = 0;
  g_foregroundCalls = 0;
  EXPECT_EQ(tar.Unpack(&window, "A", o, "", nullptr, none), 0x8003);  // also on failure
  EXPECT_EQ(log.Wnd(1), &window);
  EXPECT_EQ(g_foreground, &window);
  EXPECT_EQ(g_foregroundCalls, 1);
  tar.Pack(nullptr, "A", o, "", nullptr, none);
  EXPECT_EQ(g_foregroundCalls, 1);  // no window, no call
  platform::SetForegroundHandler(old);

  TArchiveEntryInfo info{};
  EXPECT_EQ(tar.OpenArchive(&window, "rel.tar", 0x800002), 5);
  EXPECT_EQ(log.Text(3), platform::GetCurrentDir() + "/rel.tar");
  EXPECT_EQ(log.Number(3), 0x800002u);
  EXPECT_EQ(tar.FindFirst(5, info, "*.log"), 0);
  EXPECT_EQ(log.Entry(4), "TarFindFirst");
  EXPECT_EQ(log.Text(4), "*.log");
  EXPECT_EQ(log.Buffer(4), &info);
  EXPECT_STREQ(info.FileName, "first.log");
  EXPECT_EQ(tar.FindNext(5, info), 3);
  EXPECT_EQ(log.Entry(5), "TarFindNext");
  EXPECT_EQ(tar.CloseArchive(5), 17);
  EXPECT_EQ(log.Number(6), 5u);
}

TEST(Tar32Entries, RemoveIsNotSupportedByAnyOfTheThree) {
  TArchiverOptions o;
  std::string out;
  for (char kind : {'t', 'g', 'b'}) {
    try {
      Make(kind)->Remove(nullptr, "A", o, "", nullptr, out);
      ADD_FAILURE() << kind;
    } catch (const EArchiver& e) {
      EXPECT_STREQ(e.what(), "この形式の書庫ではファイルの削除をサポートしておりません。");
    }
  }
}

TEST(Tar32Binding, OneLibraryForAllThreeAndTheContentCheck) {
  TarDoubleLog log;
  TTar32 a;
  TTgz32 b;
  TBZ232 c;
  EXPECT_EQ(log.Loads(), 1);
  EXPECT_EQ(TTar32::Library().LoadCount(), 1);
  const std::pair<std::int32_t, TArchiverType> answers[] = {
      {1, atTar}, {2, atTgz}, {3, atTgz},   {4, atTgz},   {5, atTgz},  {6, atBZ2},   {7, atBZ2},
      {8, atTxz}, {9, atTxz}, {10, atTzst}, {11, atTzst}, {0, atNone}, {12, atNone}, {-1, atNone}};
  for (auto [answer, type] : answers) {
    log.SetType(answer);
    log.Reset();
    EXPECT_EQ(DetectTarType("rel/name.bin"), type) << answer;
    EXPECT_EQ(log.Text(0), "rel/name.bin");  // not expanded
  }
  // The TAR row answers for the whole family; the TGZ and BZ2 rows check nothing.
  const TBackendRow* rows[] = {FindBackendRow(atTar), FindBackendRow(atTgz), FindBackendRow(atBZ2)};
  ASSERT_NE(rows[0], nullptr);
  EXPECT_EQ(rows[0]->Detect, &DetectTarType);
  EXPECT_EQ(rows[1]->Detect, nullptr);
  EXPECT_EQ(rows[2]->Detect, nullptr);
  EXPECT_NE(dynamic_cast<TTgz32*>(rows[1]->Create().get()), nullptr);
  EXPECT_NE(dynamic_cast<TBZ232*>(rows[2]->Create().get()), nullptr);
  EXPECT_EQ(BackendRows().front().Type, atTar);  // the family's check runs first

  // After UnloadDll the entry is resolved afresh from the new load.
  a.UnloadDll();
  EXPECT_FALSE(TTar32::Library().Loaded());
  EXPECT_FALSE(TTar32::Library().Resolved(5));
  EXPECT_NE(DetectTarType("x"), atNone);
  EXPECT_TRUE(TTar32::Library().Resolved(5));
  log.SetType(4);
  EXPECT_EQ(DetectTarType("x"), atTgz);
  EXPECT_EQ(TTar32::Library().LoadCount(), 2);
}

}  // namespace
