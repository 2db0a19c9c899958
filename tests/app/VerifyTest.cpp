// pelsok-cli verify on two months the real run packed, their manifests
// chained: each kind of change is caught and named, an untouched pair and a
// chain through a manifest whose archive retention removed pass.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/ManifestSupport.h"

namespace {

using testing_support::ReadFile;
using testing_support::WriteFile;

// One byte of file, at offset from its end, made another.
void FlipByte(const std::string& file, std::size_t fromEnd) {
  std::string bytes = ReadFile(file);
  ASSERT_GT(bytes.size(), fromEnd);
  bytes[bytes.size() - 1 - fromEnd] ^= 0x01;
  WriteFile(file, bytes);
}

// The same text with the first "from" made "to".
void Replace(const std::string& file, const std::string& from, const std::string& to) {
  std::string text = ReadFile(file);
  const std::size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  WriteFile(file, text.replace(at, from.size(), to));
}

class VerifyTest : public apptest::AppTest {
 protected:
  void SetUp() override {
    // pelsok-cli and the test's own packing find the library in bin/.
    if (!platform::FileExists(platform::ExecutableDir() + "UNLHA32.DLL"))
      GTEST_SKIP() << "UNLHA32.DLL is not built next to the test yet";
  }
  testing_support::CommandResult Verify(const std::string& operand) {
    return testing_support::RunCommand(std::string("'") + PELSOK_CLI + "' verify '" + operand +
                                       "'");
  }
};

struct TDamageRow {
  const char* Name;
  // Changes the months in folder; returns what to verify.
  std::function<std::string(const std::string& folder, const apptest::TChainedMonths&)> Damage;
  int Exit;
  std::vector<std::string> Said;     // lines the output holds
  std::vector<std::string> NotSaid;  // and lines it must not
};

TEST_F(VerifyTest, EachChangeIsCaughtByNameAndAnUntouchedChainPasses) {
  const std::vector<TDamageRow> rows = {
      {"untouched",
       [](const std::string& folder, const auto&) { return folder; },
       0,
       {"一致: ", "DR2610.LZH (メンバー 3 個、前のマニフェスト 0 個)",
        "DR2611.LZH (メンバー 3 個、前のマニフェスト 1 個)",
        "(情報) チェーンは 'DR2610.LZH.sha256' から始まります。"},
       {"不一致"}},
      {"archive byte",
       [](const std::string&, const auto& m) {
         FlipByte(m.November, 40);
         return m.November;
       },
       2,
       {"不一致: ", "書庫 'DR2611.LZH' がマニフェストの記録と違います"},
       {"DR2610.LZH.sha256' が"}},
      {"member rewritten, old manifest kept",
       [](const std::string& folder, const auto& m) {
         const std::string manifest = pelsok::app::ManifestName(m.November);
         const std::string kept = ReadFile(manifest);
         FlipByte(folder + "DR1102.log", 0);
         apptest::PackLogs(folder, 11);
         WriteFile(manifest, kept);
         return m.November;
       },
       2,
       {"書庫 'DR2611.LZH' がマニフェストの記録と違います",
        "DR1102.log' の中身がマニフェストの記録と違います"},
       {"DR1101.log' の中身", "DR1103.log' の中身"}},
      {"manifest edited",
       [](const std::string&, const auto& m) {
         Replace(pelsok::app::ManifestName(m.November), "test-user", "test-useR");
         return m.November;
       },
       2,
       {"マニフェスト 'DR2611.LZH.sha256' は書き換えられています"},
       {"書庫 'DR2611.LZH' が"}},
      {"previous month's manifest edited",
       [](const std::string&, const auto& m) {
         Replace(pelsok::app::ManifestName(m.October), "test-host", "test-hosT");
         return m.November;
       },
       2,
       {"前のマニフェスト 'DR2610.LZH.sha256' が 'DR2611.LZH.sha256' の記録と違います",
        "前のマニフェスト 'DR2610.LZH.sha256' は書き換えられています"},
       {"書庫 'DR2611.LZH' が"}},
      {"manifest missing",
       [](const std::string&, const auto& m) {
         std::filesystem::remove(pelsok::app::ManifestName(m.November));
         return m.November;
       },
       2,
       {"マニフェストなし: ", "マニフェスト 'DR2611.LZH.sha256' がありません"},
       {}},
      {"archive removed by retention",
       [](const std::string& folder, const auto& m) {
         std::filesystem::remove(m.October);
         return folder;
       },
       0,
       {"(情報) 書庫 'DR2610.LZH' はありません",
        "DR2611.LZH (メンバー 3 個、前のマニフェスト 1 個)"},
       {"不一致"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    const std::string folder =
        dir.Folder(std::string("case-") + std::to_string(&row - rows.data())) + "/";
    const apptest::TChainedMonths months = apptest::PackTwoMonths(folder);
    ASSERT_TRUE(platform::FileExists(months.November));
    const auto r = Verify(row.Damage(folder, months));
    EXPECT_EQ(r.status, row.Exit) << r.output;
    for (const auto& said : row.Said)
      EXPECT_NE(r.output.find(said), std::string::npos) << said << "\n" << r.output;
    for (const auto& not_said : row.NotSaid)
      EXPECT_EQ(r.output.find(not_said), std::string::npos) << not_said << "\n" << r.output;
  }
}

}  // namespace
