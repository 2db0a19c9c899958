// The road of a Compress run, for real: the archive component, the LHA back
// end and the UNLHA32.DLL we build, on real files; independent tools read
// the result.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "archive/ArchiveFile.h"
#include "archive/GetArchiverType.h"
#include "backends/Lha32.h"
#include "platform/Paths.h"
#include "tests/support/Command.h"
#include "tests/support/Files.h"
#include "tests/support/ScopedCwd.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tools.h"

using namespace pelsok;
using testing_support::ReadFile;
using testing_support::RunCommand;
using testing_support::ScopedCwd;
using testing_support::TempDir;

namespace {

std::string LogLine(int day, int n) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "2026-07-%02d 12:%02d:00 INFO request %d served in %d ms\n", day,
                n % 60, n, (n * 37) % 1000);
  return buf;
}

// July DR logs, plus June DR and July DD logs that must stay out.
std::set<std::string> MakeLogs(const TempDir& dir) {
  std::set<std::string> july;
  for (int day = 1; day <= 31; ++day) {
    std::string text;
    for (int n = 0; n < 200 + day; ++n) text += LogLine(day, n);
    char name[32];
    std::snprintf(name, sizeof name, "DR07%02d.log", day);
    dir.Write(name, text);
    july.insert(name);
  }
  dir.Write("DR0630.log", "june\n");
  dir.Write("DD0701.log", "other kind\n");
  return july;
}

std::set<std::string> ListNames(TArchiveFile& file) {
  std::set<std::string> names;
  TArchiveEntryInfo info{};
  EXPECT_NE(file.OpenArchive(nullptr, 0), 0);
  for (int rc = file.FindFirst("*.*", info); rc == 0; rc = file.FindNext(info)) {
    names.insert(platform::ExtractFileName(info.FileName));
  }
  file.CloseArchive();
  return names;
}

}  // namespace

TEST(CompressRoad, PacksExactlyTheMonthsLogsOfTheKind) {
  TempDir dir;
  const std::set<std::string> july = MakeLogs(dir);
  TArchiveFile file(nullptr);
  file.SetFileName(dir / "DR9807.LZH");
  file.Options().x = 1;
  file.SetOutputSize(8192);
  platform::TStringList masks;
  masks.Add(dir / "DR07*.log");
  auto* wnd = reinterpret_cast<ArcWnd>(0x1000);

  ASSERT_EQ(file.Pack(wnd, "", &masks), 0) << file.Output().c_str();
  EXPECT_EQ(file.CommandLine(),
            "u -+ -x1  \"" + (dir / "DR9807.LZH") + "\" \"" + (dir / "DR07*.log") + "\" ");
  EXPECT_NE(std::string(file.Output().c_str()), "");
  EXPECT_EQ(ListNames(file), july);
  EXPECT_TRUE(IsLhaArchive(dir / "DR9807.LZH"));
  EXPECT_FALSE(IsLhaArchive(dir / "DR0630.log"));
  EXPECT_FALSE(IsLhaArchive(dir / "missing.lzh"));

  // An independent reader extracts every log bit-exact.
  SKIP_WITHOUT_TOOL("lhasa");
  TempDir out;
  RunCommand("lhasa -xf '" + (dir / "DR9807.LZH") + "'", out.Path());
  std::size_t found = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(out.Path())) {
    if (!e.is_regular_file()) continue;
    const std::string name = e.path().filename().string();
    ASSERT_TRUE(july.count(name)) << name;
    EXPECT_EQ(ReadFile(e.path().string()), ReadFile(dir / name)) << name;
    ++found;
  }
  EXPECT_EQ(found, july.size());
}

TEST(CompressRoad, ComponentFilterThroughTheRealLibrary) {
  TempDir dir;
  ScopedCwd cwd(dir.Path());
  MakeLogs(dir);
  dir.Write("sub/DR0799.log", "deeper\n");
  TArchiveFile file(nullptr);
  file.SetFileName("DR9807.LZH");
  file.Options().PackFilter = pfComponent;
  file.SetOutputSize(256);

  // Nothing matches: no call, no archive, the output emptied.
  platform::TStringList none;
  none.Add("XX*.log");
  EXPECT_EQ(file.Pack(nullptr, "", &none), 0);
  EXPECT_EQ(file.CommandLine(), "");
  EXPECT_EQ(file.Output()[0], '\0');
  EXPECT_FALSE(std::filesystem::exists(dir / "DR9807.LZH"));

  // A match packs exactly the expanded files, recursion done here.
  file.Options().r = 1;
  platform::TStringList masks;
  masks.Add("DR070*.log");
  masks.Add("DR0799.log");
  ASSERT_EQ(file.Pack(nullptr, "", &masks), 0) << file.Output().c_str();
  std::set<std::string> expected;
  for (int day = 1; day <= 9; ++day) expected.insert("DR070" + std::to_string(day) + ".log");
  expected.insert("DR0799.log");
  EXPECT_EQ(ListNames(file), expected);
  EXPECT_NE(file.CommandLine().find("\"sub/DR0799.log\""), std::string::npos);
  EXPECT_EQ(file.CommandLine().find(" -r"), std::string::npos);
}

TEST(CompressRoad, SelfExtractingArchivesAreRecognisedByContent) {
  TempDir dir;
  MakeLogs(dir);
  TArchiveFile file(nullptr);
  file.SetFileName(dir / "DR9807.LZH");
  platform::TStringList masks;
  masks.Add(dir / "DR070*.log");
  ASSERT_EQ(file.Pack(nullptr, "", &masks), 0);
  std::string out(1024, '\0');
  TArchiverOptions o;
  ASSERT_EQ(file.Archiver()->MakeSfx(nullptr, dir / "DR9807.LZH", o, out), 0) << out.c_str();
  ASSERT_TRUE(std::filesystem::exists(dir / "DR9807.EXE"));
  EXPECT_EQ(GetArchiverType(dir / "DR9807.EXE", true), atLha);
  EXPECT_EQ(GetArchiverType(dir / "DR0701.log", false), atNone);

  // The program runs anywhere: copied away from the build, it unpacks itself.
  TempDir away;
  std::filesystem::copy_file(dir / "DR9807.EXE", away / "DR9807.EXE");
  RunCommand("./DR9807.EXE", away.Path());
  for (int day = 1; day <= 9; ++day) {
    const std::string name = "DR070" + std::to_string(day) + ".log";
    bool found = false;
    for (const auto& e : std::filesystem::recursive_directory_iterator(away.Path())) {
      if (e.path().filename() == name) {
        found = true;
        EXPECT_EQ(ReadFile(e.path().string()), ReadFile(dir / name));
      }
    }
    EXPECT_TRUE(found) << name;
  }
}
