// The per-user hive file: a real file in a temporary folder per test.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>

#include <cstdlib>
#include <filesystem>

#include "platform/Registry.h"
#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

using namespace platform;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

class Hive : public ::testing::Test {
 protected:
  void SetUp() override { setenv("PELSOK_HIVE", (dir_ / "hive.reg").c_str(), 1); }
  void TearDown() override { unsetenv("PELSOK_HIVE"); }
  std::string HivePath() const { return dir_ / "hive.reg"; }
  TempDir dir_;
};

const std::string kKey = "Software\\Corvane\\Pelsok";

}  // namespace

TEST_F(Hive, StringsRoundTripThroughTheFile) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    reg.WriteString("PathName", "Pathname", "/var/log/pelsok/");
    reg.WriteString("ComboData", "ComboData", "DR\r\nDD\r\n");
    reg.WriteString("Keta", "Keta", "Yes");
    reg.WriteString("Quote", "Q", "a\"b\\c ペルソク");
  }
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  EXPECT_EQ(reg.ReadString("PathName", "PathName", "def"), "/var/log/pelsok/");
  EXPECT_EQ(reg.ReadString("ComboData", "ComboData", ""), "DR\r\nDD\r\n");
  EXPECT_EQ(reg.ReadString("Keta", "Keta", ""), "Yes");
  EXPECT_EQ(reg.ReadString("Quote", "q", ""), "a\"b\\c ペルソク");
  EXPECT_EQ(reg.ReadString("Missing", "X", "def"), "def");
  EXPECT_EQ(reg.ReadString("Keta", "Other", "def"), "def");
  const std::string text = ReadFile(HivePath());
  EXPECT_EQ(text.rfind("REGEDIT4\n", 0), 0u);
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Corvane\\Pelsok\\Keta]\n\"Keta\"=\"Yes\""),
            std::string::npos);
}

TEST_F(Hive, ValueNamesIgnoreCaseAndKeepTheFirstSpelling) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  reg.WriteString("PathName", "Pathname", "/a/");
  reg.WriteString("PathName", "PATHNAME", "/b/");
  EXPECT_EQ(reg.ReadString("pathname", "PathName", ""), "/b/");
  const std::string text = ReadFile(HivePath());
  EXPECT_NE(text.find("\"Pathname\"=\"/b/\""), std::string::npos);
  EXPECT_EQ(text.find("PATHNAME"), std::string::npos);
}

TEST_F(Hive, OpenWithoutCreateOnAMissingKey) {
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey(kKey, false));
  EXPECT_FALSE(std::filesystem::exists(HivePath()));
  EXPECT_TRUE(reg.OpenKey(kKey, true));
  TRegistry again;
  EXPECT_TRUE(again.OpenKey("software\\corvane\\PELSOK", false));
}

TEST_F(Hive, BinaryValuesAndTheTypeError) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  std::uint8_t record[44];
  for (int i = 0; i < 44; ++i) record[i] = static_cast<std::uint8_t>(i * 7);
  reg.WriteBinaryData("Form1WinPlace1", record, sizeof record);
  std::uint8_t back[44] = {};
  EXPECT_EQ(reg.ReadBinaryData("form1winplace1", back, sizeof back), 44u);
  EXPECT_EQ(std::memcmp(record, back, 44), 0);
  EXPECT_EQ(reg.ReadBinaryData("Absent", back, sizeof back), 0u);
  // Too long for the buffer, or not binary: the type error.
  std::uint8_t small[8];
  EXPECT_THROW(reg.ReadBinaryData("Form1WinPlace1", small, sizeof small), ERegistryException);
  reg.WriteString("", "Text", "x");
  try {
    reg.ReadBinaryData("Text", back, sizeof back);
    FAIL();
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), "'Text' のﾃﾞｰﾀ型が不正です");
  }
  try {
    reg.ReadString("", "Form1WinPlace1", "");
    FAIL();
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), "'Form1WinPlace1' のﾃﾞｰﾀ型が不正です");
  }
}

TEST_F(Hive, OtherTypesAreKeptAndStringTypesRead) {
  dir_.Write("hive.reg",
             "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Corvane\\Pelsok\\Keta]\r\n"
             "\"Keta\"=hex(2):59,65,73,00\r\n"
             "\"Count\"=dword:0000002a\r\n"
             "\"Multi\"=hex(7):61,00,00,\\\r\n  00\r\n"
             "\"Empty\"=hex(1):\r\n");
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  EXPECT_EQ(reg.ReadString("Keta", "Keta", ""), "Yes");
  EXPECT_EQ(reg.ReadString("Keta", "Empty", "def"), "");
  EXPECT_THROW(reg.ReadString("Keta", "Count", ""), ERegistryException);
  EXPECT_THROW(reg.ReadString("Keta", "Multi", ""), ERegistryException);
  reg.WriteString("Keta", "New", "v");
  const std::string text = ReadFile(HivePath());
  EXPECT_NE(text.find("\"Count\"=dword:0000002a"), std::string::npos);
  EXPECT_NE(text.find("\"Multi\"=hex(7):61,00,00,00"), std::string::npos);
}

TEST_F(Hive, ControlCharactersSurviveAsHex) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  reg.WriteString("ComboData", "ComboData", "DR\r\n\r\nDD\r\n");
  EXPECT_NE(ReadFile(HivePath()).find("\"ComboData\"=hex(1):"), std::string::npos);
  TRegistry again;
  ASSERT_TRUE(again.OpenKey(kKey, false));
  EXPECT_EQ(again.ReadString("ComboData", "ComboData", ""), "DR\r\n\r\nDD\r\n");
}

TEST_F(Hive, WritesReplaceTheFileAtomically) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  reg.WriteString("Keta", "Keta", "No");
  struct stat before {};
  ASSERT_EQ(stat(HivePath().c_str(), &before), 0);
  reg.WriteString("Keta", "Keta", "Yes");
  struct stat after {};
  ASSERT_EQ(stat(HivePath().c_str(), &after), 0);
  EXPECT_NE(before.st_ino, after.st_ino);  // a new file renamed into place
  for (const auto& e : std::filesystem::directory_iterator(dir_.Path())) {
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
  }
}

// A full disk, simulated with a file-size limit: the write fails, the old
// hive stays byte for byte and no temporary file is left.
TEST_F(Hive, RefusedWriteKeepsTheOldFile) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  reg.WriteString("Keta", "Keta", "No");
  const std::string old = ReadFile(HivePath());
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  auto* oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit tiny = saved;
  tiny.rlim_cur = 16;
  setrlimit(RLIMIT_FSIZE, &tiny);
  std::string message;
  try {
    reg.WriteString("PathName", "Pathname", std::string(200, 'x'));
  } catch (const ERegistryException& e) {
    message = e.Message();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(message, "'Pathname' の設定に失敗しました");
  EXPECT_EQ(ReadFile(HivePath()), old);
  for (const auto& e : std::filesystem::directory_iterator(dir_.Path())) {
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
  }
}

TEST_F(Hive, ACorruptHiveIsReportedKeptAndNeverReplaced) {
  const std::string broken = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\"Keta\"=garbage\n";
  dir_.Write("hive.reg", broken);
  TRegistry reg;
  try {
    reg.OpenKey(kKey, true);
    FAIL();
  } catch (const EHiveCorrupt& e) {
    EXPECT_NE(e.Message().find("hive.reg"), std::string::npos);
    EXPECT_NE(e.Message().find("line 4"), std::string::npos);
  }
  EXPECT_EQ(ReadFile(HivePath()), broken);
  EXPECT_EQ(ReadFile(HivePath() + ".corrupt"), broken);
  EXPECT_THROW(reg.WriteString("Keta", "Keta", "Yes"), ERegistryException);
  EXPECT_EQ(ReadFile(HivePath()), broken);
}

TEST(HiveText, SyntaxErrorsAreCaught) {
  for (const char* text :
       {"not a hive\n", "REGEDIT4\n\"v\"=\"x\"\n", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"v\"=\"unterminated\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"v\"=hex:zz\n", "REGEDIT4\n[HKEY_CURRENT_USER\\X\n"}) {
    EXPECT_THROW(RegistryHive::Parse(text), EHiveCorrupt) << text;
  }
  EXPECT_NO_THROW(RegistryHive::Parse(""));
}

TEST_F(Hive, ALinkedHiveStaysALinkAndAReadOnlyHiveIsNeverRewritten) {
  namespace fs = std::filesystem;
  // A hive kept elsewhere behind a symbolic link: the link stays.
  const std::string real = dir_.Write("real/hive.reg", "REGEDIT4\n");
  fs::create_symlink(real, HivePath());
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    reg.WriteString("Keta", "Keta", "Yes");
  }
  EXPECT_TRUE(fs::is_symlink(HivePath()));
  EXPECT_NE(ReadFile(real).find("\"Keta\"=\"Yes\""), std::string::npos);

  // Read-only: even root's writes leave it byte for byte.
  fs::permissions(real, fs::perms::owner_read);
  const std::string before = ReadFile(real);
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  EXPECT_THROW(reg.WriteString("Keta", "Keta", "No"), ERegistryException);
  EXPECT_EQ(ReadFile(real), before);
}

TEST_F(Hive, TheCorruptCopyIsNoMoreReadableThanTheHive) {
  dir_.Write("hive.reg", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\"Keta\"=garbage\n");
  std::filesystem::permissions(
      HivePath(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  const mode_t oldMask = umask(0);
  TRegistry reg;
  EXPECT_THROW(reg.OpenKey(kKey, true), EHiveCorrupt);
  umask(oldMask);
  struct stat st {};
  ASSERT_EQ(stat((HivePath() + ".corrupt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}
