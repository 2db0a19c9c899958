// Reading members through the archive component, for every library we
// build: the data comes back as packed, in chunks no larger than the
// entry's limit, nothing is written beside the archive, a damaged member
// is reported with its own result while the others still come, and a
// caller can skip a member or stop the walk.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "archive/ArchiveFile.h"
#include "archivecore/EArchiver.h"
#include "backends/Archiver.h"
#include "tests/support/Corpus.h"
#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::TempDir;

namespace {

struct Member {
  std::string data;
  std::int32_t result = -1;
  std::uint32_t largestChunk = 0;
};

// Every member's data and result, by name.
std::map<std::string, Member> ReadAll(TArchiveFile& file, std::int32_t& rc,
                                      const std::string& mask = "") {
  std::map<std::string, Member> members;
  rc = file.ReadMembers(
      mask, [&](const std::string& name, const char* chunk, std::uint32_t n, std::int32_t result) {
        Member& m = members[name];
        if (chunk == nullptr) {
          m.result = result;
        } else {
          m.data.append(chunk, n);
          m.largestChunk = std::max(m.largestChunk, n);
        }
        return 0;
      });
  return members;
}

std::size_t FilesIn(const std::string& folder) {
  return static_cast<std::size_t>(
      std::distance(std::filesystem::recursive_directory_iterator(folder), {}));
}

struct Row {
  const char* archive;
  const char* foreign;  // a corpus archive for a format we only read
};

const Row kRows[] = {
    {"DR2611.LZH", nullptr},          {"DR2611.ZIP", nullptr},      {"DR2611.TGZ", nullptr},
    {"DR2611.TBZ", nullptr},          {"DR2611.TAR", nullptr},      {"DR2611.CAB", nullptr},
    {"sample.arj", "arj/sample.arj"}, {"Rar5.rar", "rar/Rar5.rar"},
};

}  // namespace

TEST(MemberReadRoad, EveryLibraryHandsBackWhatItHoldsInBoundedChunksAndWritesNothing) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.archive);
    TempDir dir;
    std::map<std::string, std::string> logs;
    for (int day = 1; day <= 3; ++day) {
      std::string text;
      for (unsigned v = static_cast<unsigned>(day); text.size() < 300000u * day; v = v * 69069u + 1)
        text += std::to_string(v) + (v % 7 ? " " : "\n");
      logs["DR110" + std::to_string(day) + ".log"] = text;
      dir.Write("DR110" + std::to_string(day) + ".log", text);
    }
    const std::string archive = dir / row.archive;
    TArchiveFile file(nullptr);
    if (row.foreign == nullptr) {
      file.SetFileName(archive);
      file.Options().x = 0;
      platform::TStringList masks;
      masks.Add(dir / "DR11*.log");
      ASSERT_EQ(file.Pack(nullptr, "", &masks), 0) << file.Output().c_str();
    } else {
      std::filesystem::copy_file(testing_support::CorpusDir("") + "/" + row.foreign, archive);
      file.SetFileName(archive);
    }
    const std::size_t before = FilesIn(dir.Path());
    std::int32_t rc = -1;
    const auto members = ReadAll(file, rc);
    EXPECT_EQ(rc, 0) << file.Output().c_str();
    EXPECT_EQ(FilesIn(dir.Path()), before);
    if (row.foreign == nullptr) {
      ASSERT_EQ(members.size(), logs.size());
      for (const auto& [name, m] : members) {
        EXPECT_EQ(m.data, logs[std::filesystem::path(name).filename().string()]) << name;
        EXPECT_EQ(m.result, 0);
        EXPECT_LE(m.largestChunk, kArcReadChunk);
      }
    } else {
      EXPECT_FALSE(members.empty());
      for (const auto& [name, m] : members) EXPECT_EQ(m.result, 0) << name;
    }

    // Skipping a member still ends it; stopping ends the walk.
    int ends = 0, calls = 0;
    rc = file.ReadMembers("",
                          [&](const std::string&, const char* chunk, std::uint32_t, std::int32_t) {
                            ++calls;
                            if (chunk == nullptr) ++ends;
                            return chunk == nullptr ? 0 : kArcSkipMember;
                          });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(static_cast<std::size_t>(ends), members.size());
    calls = 0;
    rc = file.ReadMembers("", [&](const std::string&, const char*, std::uint32_t, std::int32_t) {
      ++calls;
      return -1;
    });
    EXPECT_EQ(rc, arc::kCancelled);
    EXPECT_EQ(calls, 1);
  }
}

TEST(MemberReadRoad, ADamagedMemberIsReportedAndTheOthersStillCome) {
  TempDir dir;
  for (int day = 1; day <= 3; ++day) {
    std::string text;
    for (unsigned v = static_cast<unsigned>(day); text.size() < 100000; v = v * 69069u + 1)
      text += std::to_string(v) + "\n";
    dir.Write("DR110" + std::to_string(day) + ".log", text);
  }
  for (const char* name : {"DR2611.LZH", "DR2611.ZIP"}) {
    SCOPED_TRACE(name);
    TArchiveFile file(nullptr);
    file.SetFileName(dir / name);
    file.Options().x = 0;
    platform::TStringList masks;
    masks.Add(dir / "DR11*.log");
    ASSERT_EQ(file.Pack(nullptr, "", &masks), 0);
    std::string bytes = testing_support::ReadFile(dir / name);
    bytes[bytes.size() / 2] ^= 0x20;  // inside the second member's data
    testing_support::WriteFile(dir / name, bytes);
    std::int32_t rc = -1;
    const auto members = ReadAll(file, rc);
    EXPECT_EQ(rc, arc::kNotArchive);
    ASSERT_EQ(members.size(), 3u) << file.Output().c_str();
    EXPECT_EQ(members.begin()->second.result, 0);
    EXPECT_EQ(std::next(members.begin())->second.result, arc::kNotArchive);
    EXPECT_EQ(members.rbegin()->second.result, 0);
  }
}

TEST(MemberReadRoad, ALibraryWithoutTheEntryIsNamedInTheMessage) {
  std::string output(256, '\0');
  try {
    CallReadEntry(nullptr, "XXX32.DLL", "XxxReadMembers", "a.xxx", "", nullptr, nullptr, output);
    FAIL() << "no EArchiver";
  } catch (const EArchiver& e) {
    EXPECT_NE(std::string(e.what()).find("XXX32.DLL"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("XxxReadMembers"), std::string::npos);
  }
}
