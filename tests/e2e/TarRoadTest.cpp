// The TAR road for real: the archive component, TTgz32 and the tar32.dll
// and kmtarsef.exe we build, on real files; GNU tar reads the result, and
// the self-extracting program runs away from the build folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include "archive/ArchiveFile.h"
#include "archive/GetArchiverType.h"
#include "backends/Tar32.h"
#include "platform/Paths.h"
#include "tests/support/Command.h"
#include "tests/support/Files.h"
#include "tests/support/ScopedCwd.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::ReadFile;
using testing_support::Shell;
using testing_support::TempDir;

namespace {

std::map<std::string, std::string> MakeLogs(const TempDir& dir) {
  std::map<std::string, std::string> july;
  for (int day = 1; day <= 31; ++day) {
    std::string text;
    for (int n = 0; n < 300 + day; ++n)
      text += "2026-07-" + std::to_string(day) + " INFO request " + std::to_string(n) + "\n";
    const std::string name =
        "DR07" + std::string(day < 10 ? "0" : "") + std::to_string(day) + ".log";
    dir.Write(name, text);
    july[name] = text;
  }
  dir.Write("DR0630.log", "june\n");
  return july;
}

std::map<std::string, std::string> FilesBelow(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    if (e.is_regular_file()) files[e.path().filename().string()] = ReadFile(e.path().string());
  return files;
}

TEST(TarRoad, PackDr9807TgzThroughTheArchiveComponent) {
  TempDir dir;
  const auto july = MakeLogs(dir);
  TArchiveFile file(nullptr);
  file.SetFileName(dir / "DR9807.tgz");
  ASSERT_EQ(file.ArchiverType(), atTgz);
  file.Options().x = 1;
  file.SetOutputSize(8192);
  platform::TStringList masks;
  masks.Add(dir / "DR07*.log");
  ASSERT_EQ(file.Pack(nullptr, "", &masks), 0) << file.Output().c_str();
  EXPECT_EQ(file.CommandLine(), "c --use-directory=1 -z  -f \"" + (dir / "DR9807.tgz") + "\" \"" +
                                    (dir / "DR07*.log") + "\" ");
  // Listed through the component, the names end in the month's logs.
  std::map<std::string, std::string> listed;
  TArchiveEntryInfo info{};
  ASSERT_NE(file.OpenArchive(nullptr, 0), 0);
  for (int rc = file.FindFirst("*.*", info); rc == 0; rc = file.FindNext(info))
    listed[platform::ExtractFileName(info.FileName)] = info.Method;
  file.CloseArchive();
  ASSERT_EQ(listed.size(), july.size());
  EXPECT_EQ(listed.begin()->second, "gzip");
  EXPECT_EQ(GetArchiverType(dir / "DR9807.tgz", false), atTgz);
  EXPECT_EQ(GetArchiverType(dir / "DR0630.log", false), atNone);
  // GNU tar reads every log back bit for bit.
  TempDir out;
  ASSERT_EQ(Shell("tar xzf '" + (dir / "DR9807.tgz") + "' -C '" + out.Path() + "'"), 0);
  EXPECT_EQ(FilesBelow(out.Path()), july);
}

TEST(TarRoad, SelfExtractingTgzRunsFromAnotherFolder) {
  TempDir dir;
  const auto july = MakeLogs(dir);
  TArchiveFile file(nullptr);
  file.SetFileName(dir / "DR9807.tgz");
  file.SetOutputSize(1024);
  platform::TStringList masks;
  masks.Add("DR07*.log");
  ASSERT_EQ(file.Pack(nullptr, dir.Path(), &masks), 0) << file.Output().c_str();
  std::string output;
  ASSERT_EQ(file.Archiver()->MakeSfx(nullptr, dir / "DR9807.tgz", file.Options(), output), 0);
  // Recognised by content as the archive it carries.
  EXPECT_EQ(GetArchiverType(dir / "DR9807.EXE", false), atTgz);

  // The library reads the program's archive without running it.
  TempDir unpacked;
  ASSERT_EQ(file.Archiver()->Unpack(nullptr, dir / "DR9807.EXE", file.Options(), unpacked.Path(),
                                    nullptr, output),
            0);
  EXPECT_EQ(FilesBelow(unpacked.Path()), july);

  TempDir away;
  std::filesystem::copy_file(dir / "DR9807.EXE", away / "DR9807.EXE");
  std::filesystem::permissions(away / "DR9807.EXE", std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  std::string log;
  ASSERT_EQ(Shell("cd '" + away.Path() + "' && ./DR9807.EXE out", "", &log), 0) << log;
  EXPECT_EQ(FilesBelow(away / "out"), july);
  // Run again: nothing is newer, nothing changes, still success.
  ASSERT_EQ(Shell("cd '" + away.Path() + "' && ./DR9807.EXE out", "", &log), 0) << log;
  // A cut program reports its damaged archive.
  const std::string whole = ReadFile(away / "DR9807.EXE");
  dir.Write("cut.exe", whole.substr(0, whole.size() - 2000));
  std::filesystem::copy_file(dir / "cut.exe", away / "cut.exe");
  std::filesystem::permissions(away / "cut.exe", std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  EXPECT_NE(Shell("cd '" + away.Path() + "' && ./cut.exe cut", "", &log), 0) << log;
}

TEST(TarRoad, Bz2PacksButMakesNoSelfExtractingProgram) {
  TempDir dir;
  MakeLogs(dir);
  TArchiveFile file(nullptr);
  file.SetFileName(dir / "DR9807.bz2");
  ASSERT_EQ(file.ArchiverType(), atBZ2);
  file.Options().jm = 9;
  platform::TStringList masks;
  masks.Add("DR07*.log");
  ASSERT_EQ(file.Pack(nullptr, dir.Path(), &masks), 0);
  EXPECT_EQ(file.CommandLine().substr(0, 6), "c -B9 ");
  EXPECT_EQ(Shell("bzip2 -t '" + (dir / "DR9807.bz2") + "'"), 0);
  EXPECT_EQ(GetArchiverType(dir / "DR9807.bz2", false), atBZ2);
}

}  // namespace
