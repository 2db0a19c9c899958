// A .zip through the archive component for real: TArchiveFile binds the ZIP
// back end, which drives the UNZIP32.DLL and ZIP32J.DLL we build; make,
// update, list, extract and delete entries, and unzip reads the result.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "archive/ArchiveFile.h"
#include "archive/GetArchiverType.h"
#include "backends/Zip32.h"
#include "platform/Paths.h"
#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

std::set<std::string> ListNames(TArchiveFile& file) {
  std::set<std::string> names;
  TArchiveEntryInfo info{};
  EXPECT_NE(file.OpenArchive(nullptr, 0), 0);
  for (int rc = file.FindFirst("*.*", info); rc == 0; rc = file.FindNext(info))
    names.insert(platform::ExtractFileName(info.FileName));
  file.CloseArchive();
  return names;
}

platform::TStringList One(const std::string& line) {
  platform::TStringList l;
  l.Add(line);
  return l;
}

}  // namespace

TEST(ZipRoad, PackUpdateListUnpackAndRemoveARealZip) {
  TempDir dir;
  for (int day = 1; day <= 3; ++day)
    dir.Write("DR070" + std::to_string(day) + ".log", std::string(1000 * day, 'a' + day));
  dir.Write("DD0701.log", "other kind");
  TArchiveFile file(nullptr);
  file.SetFileName(dir / "DR2607.zip");
  ASSERT_EQ(file.ArchiverType(), atZip);
  file.Options().x = 1;
  file.SetOutputSize(8192);
  const auto masks = One(dir / "DR07*.log");
  ASSERT_EQ(file.Pack(nullptr, "", &masks), 0) << file.Output().c_str();
  EXPECT_EQ(file.CommandLine(),
            " -D  \"" + (dir / "DR2607.zip") + "\" \"" + (dir / "DR07*.log") + "\" ");
  EXPECT_EQ(ListNames(file), (std::set<std::string>{"DR0701.log", "DR0702.log", "DR0703.log"}));
  EXPECT_TRUE(IsZipArchive(dir / "DR2607.zip"));
  EXPECT_EQ(GetArchiverType(dir / "DR2607.zip", true), atZip);
  EXPECT_FALSE(IsZipArchive(dir / "DD0701.log"));

  // Update: a new day joins the archive.
  dir.Write("DR0704.log", "day four");
  ASSERT_EQ(file.Pack(nullptr, "", &masks), 0) << file.Output().c_str();
  EXPECT_EQ(ListNames(file).size(), 4u);

  // Unpack with bare names (x = 0) into a folder of its own.
  TArchiverOptions o;
  o.x = 0;
  std::string out(4096, '\0');
  TZip32* zip = dynamic_cast<TZip32*>(file.Archiver());
  ASSERT_NE(zip, nullptr);
  const auto all = One("*");
  ASSERT_EQ(zip->Unpack(nullptr, dir / "DR2607.zip", o, dir / "out", &all, out), 0) << out.c_str();
  EXPECT_EQ(zip->CommandLine,
            "-x -j  \"" + (dir / "DR2607.zip") + "\" \"" + (dir / "out") + "/\" \"*\" ");
  for (int day = 1; day <= 4; ++day) {
    const std::string name = "DR070" + std::to_string(day) + ".log";
    EXPECT_EQ(ReadFile(dir / ("out/" + name)), ReadFile(dir / name)) << name;
  }

  // Remove two entries; unzip agrees with what is left.
  platform::TStringList masks2;
  masks2.Add("DR0701.log");
  masks2.Add("DR0702.log");
  ASSERT_EQ(zip->Remove(nullptr, dir / "DR2607.zip", TArchiverOptions{}, "", &masks2, out), 0)
      << out.c_str();
  EXPECT_EQ(ListNames(file), (std::set<std::string>{"DR0703.log", "DR0704.log"}));
  FILE* p = popen(("unzip -tqq '" + (dir / "DR2607.zip") + "' 2>&1").c_str(), "r");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(pclose(p), 0);
}
