// A .cab made, listed, extracted and self-extracted through the archive
// component, the CAB back end and the CAB32.DLL we build; cabextract checks
// the cabinet.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "archive/ArchiveFile.h"
#include "archive/GetArchiverType.h"
#include "archivecore/EArchiver.h"
#include "backends/Cab32.h"
#include "tests/support/Command.h"
#include "tests/support/Files.h"
#include "tests/support/ScopedCwd.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::ReadFile;
using testing_support::ScopedCwd;
using testing_support::Shell;
using testing_support::TempDir;

namespace {

std::set<std::string> MakeLogs(const TempDir& dir) {
  std::set<std::string> october;
  for (int day = 1; day <= 31; ++day) {
    std::string text;
    for (int n = 0; n < 300 + day; ++n)
      text += "2026-10-" + std::to_string(day) + " INFO request " + std::to_string(n) + "\n";
    const std::string name =
        "DR10" + std::string(day < 10 ? "0" : "") + std::to_string(day) + ".log";
    dir.Write(name, text);
    october.insert(name);
  }
  dir.Write("DR0930.log", "september\n");
  return october;
}

}  // namespace

TEST(CabRoad, MakeListExtractAndSelfExtract) {
  TempDir dir;
  ScopedCwd cwd(dir.Path());
  const std::set<std::string> october = MakeLogs(dir);
  TArchiveFile file(nullptr);
  file.SetFileName(dir / "DR2610.CAB");
  ASSERT_EQ(file.ArchiverType(), atCab);
  file.SetOutputSize(8192);
  platform::TStringList masks;
  masks.Add(dir / "DR10*.log");

  ASSERT_EQ(file.Pack(nullptr, "", &masks), 0) << file.Output().c_str();
  EXPECT_EQ(file.CommandLine(),
            "-a  \"" + (dir / "DR2610.CAB") + "\" \"" + (dir / "DR10*.log") + "\" ");
  ASSERT_EQ(Shell("cabextract -t '" + (dir / "DR2610.CAB") + "'"), 0);

  std::set<std::string> listed;
  TArchiveEntryInfo info{};
  ASSERT_NE(file.OpenArchive(nullptr, 0), 0);
  for (int rc = file.FindFirst("*.*", info); rc == 0; rc = file.FindNext(info))
    listed.insert(info.FileName);
  file.CloseArchive();
  EXPECT_EQ(listed, october);
  EXPECT_TRUE(IsCabArchive(dir / "DR2610.CAB"));
  EXPECT_FALSE(IsCabArchive(dir / "DR0930.log"));
  EXPECT_EQ(GetArchiverType(dir / "DR2610.CAB", true), atCab);

  // Unpack by a relative name, into a folder.
  TArchiverOptions o;
  std::string out(4096, '\0');
  ASSERT_EQ(file.Archiver()->Unpack(nullptr, "DR2610.CAB", o, dir / "out", nullptr, out), 0)
      << out.c_str();
  for (const auto& name : october) EXPECT_EQ(ReadFile(dir / ("out/" + name)), ReadFile(dir / name));

  // The self-extracting program is recognised by content and runs anywhere.
  ASSERT_EQ(file.Archiver()->MakeSfx(nullptr, "DR2610.CAB", o, out), 0) << out.c_str();
  EXPECT_EQ(GetArchiverType(dir / "DR2610.EXE", true), atCab);
  TempDir away;
  std::filesystem::copy_file(dir / "DR2610.EXE", away / "DR2610.EXE");
  ASSERT_EQ(Shell("cd / && '" + (away / "DR2610.EXE") + "' '" + (away / "run") + "'"), 0);
  for (const auto& name : october)
    EXPECT_EQ(ReadFile(away / ("run/" + name)), ReadFile(dir / name));

  EXPECT_THROW(file.Archiver()->Remove(nullptr, "DR2610.CAB", o, "", &masks, out), EArchiver);
}
