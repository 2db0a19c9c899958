// A real ARJ archive (made by arj, tests/data/arj) under a name that says
// nothing, end to end: the archive component recognises it by content, lists
// it and extracts it through the ARJ back end and the UNARJ32J.DLL we build;
// removal goes to our UNLHA32.DLL, which refuses it and leaves it whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "archive/ArchiveFile.h"
#include "archive/GetArchiverType.h"
#include "backends/Archiver.h"
#include "tests/support/Crc32.h"
#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::Crc32;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

// Member name to CRC-32, from the data folder's EXPECTED.tsv.
std::map<std::string, std::uint32_t> Expected() {
  std::map<std::string, std::uint32_t> rows;
  std::ifstream tsv(std::string(ARJ_DATA_DIR) + "/EXPECTED.tsv");
  for (std::string line; std::getline(tsv, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::stringstream ss(line);
    std::string name, crc;
    std::getline(ss, name, '\t');
    ss >> crc;
    rows[name] = static_cast<std::uint32_t>(std::stoul(crc, nullptr, 16));
  }
  return rows;
}

TEST(ArjExtractRoad, ARenamedArjArchiveIsFoundByContentListedAndExtracted) {
  TempDir dir;
  const std::string bytes = ReadFile(std::string(ARJ_DATA_DIR) + "/sample.arj");
  const std::string archive = dir.Write("LOGS.DAT", bytes);
  const auto expected = Expected();
  ASSERT_EQ(expected.size(), 5u);

  EXPECT_EQ(GetArchiverType(archive, false), atArj);
  TArchiveFile file(nullptr);
  file.SetFileName(archive);
  file.SetOutputSize(8192);
  ASSERT_NE(file.OpenArchive(nullptr, 0), 0);
  EXPECT_EQ(file.ArchiverType(), atArj);
  std::map<std::string, std::uint32_t> listed;
  TArchiveEntryInfo info{};
  for (int rc = file.FindFirst("*.*", info); rc == 0; rc = file.FindNext(info))
    if (std::string(info.FileName).back() != '/') listed[info.FileName] = info.Crc;
  file.CloseArchive();
  EXPECT_EQ(listed, expected);

  std::string output(8192, '\0');
  TArchiver* arj = file.Archiver();
  ASSERT_NE(arj, nullptr);
  EXPECT_EQ(arj->Unpack(nullptr, archive, file.Options(), dir / "out", nullptr, output), 0)
      << output.c_str();
  for (const auto& [name, crc] : expected) EXPECT_EQ(Crc32(ReadFile(dir / ("out/" + name))), crc);

  // Removal goes to UNLHA32.DLL, which does not take an ARJ archive.
  platform::TStringList list;
  list.Add("DR1101.log");
  EXPECT_EQ(arj->Remove(nullptr, archive, file.Options(), "", &list, output), 0x8002);
  EXPECT_EQ(arj->CommandLine, "d -+  \"" + archive + "\" \"DR1101.log\" ");
  EXPECT_TRUE(ReadFile(archive) == bytes);
}

}  // namespace
