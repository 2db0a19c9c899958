// The settings store on the real hive file: the kind list's text form, the
// three ComboData cases, value names, first start and a wrong value type.
#include <gtest/gtest.h>

#include "app/settings/DataSave.h"
#include "platform/Registry.h"
#include "tests/app/AppTestSupport.h"

namespace {

using pelsok::app::DecodeComboData;
using pelsok::app::EncodeComboData;
using pelsok::app::TDataSave;
using pelsok::app::TSettingsFields;

class SettingsStoreTest : public apptest::AppTest {};

void StoreString(const std::string& subkey, const std::string& name, const std::string& value) {
  platform::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Corvane\\Pelsok", true));
  reg.WriteString(subkey, name, value);
}

TEST(ComboData, EveryKindEndsWithCrLf) {
  EXPECT_EQ(EncodeComboData({"DR", "DD", "NA"}), "DR\r\nDD\r\nNA\r\n");
  EXPECT_EQ(EncodeComboData({}), "");
  EXPECT_EQ(EncodeComboData({"", "X"}), "\r\nX\r\n");
}

TEST(ComboData, SplitsAtAnyLineBreakWithoutATrailingEmptyItem) {
  EXPECT_EQ(DecodeComboData("DR\nDD"), (std::vector<std::string>{"DR", "DD"}));
  EXPECT_EQ(DecodeComboData("DR\r\n\r\nDD\r\n"), (std::vector<std::string>{"DR", "", "DD"}));
  EXPECT_EQ(DecodeComboData("DR\rDD\r\n"), (std::vector<std::string>{"DR", "DD"}));
  EXPECT_TRUE(DecodeComboData("").empty());
}

TEST_F(SettingsStoreTest, SaveWritesThreeSubkeysWithThePathValueNamedPathname) {
  TDataSave::SaveSettings({"/var/log/ペルソク/", "Yes", {"DR", "DD", "NA"}});
  const std::string hive = testing_support::ReadFile(dir / "hive.reg");
  EXPECT_NE(hive.find("Software\\Corvane\\Pelsok\\PathName]"), std::string::npos) << hive;
  EXPECT_NE(hive.find("\"Pathname\""), std::string::npos) << hive;

  platform::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Corvane\\Pelsok", false));
  EXPECT_EQ(reg.ReadString("PathName", "PathName", "?"), "/var/log/ペルソク/");
  EXPECT_EQ(reg.ReadString("Keta", "Keta", "?"), "Yes");
  EXPECT_EQ(reg.ReadString("ComboData", "ComboData", "?"), "DR\r\nDD\r\nNA\r\n");
}

TEST_F(SettingsStoreTest, LoadReplacesTheFieldsAndARoundTripKeepsThem) {
  TDataSave::SaveSettings({"/data/", "No", {"XY", "", "ZZZ"}});
  TSettingsFields f{"prompt", "Edit3", {"DR"}};
  TDataSave::LoadSettings(f);
  EXPECT_EQ(f.PathName, "/data/");
  EXPECT_EQ(f.Keta, "No");
  EXPECT_EQ(f.Kinds, (std::vector<std::string>{"XY", "", "ZZZ"}));
}

TEST_F(SettingsStoreTest, NothingStoredKeepsTheFieldsAsTheyWere) {
  TSettingsFields f{"Logフォルダを指定してください。", "Edit3", {"DR", "DD", "NA", "TR", "GA"}};
  const TSettingsFields before = f;
  TDataSave::LoadSettings(f);
  EXPECT_EQ(f.PathName, before.PathName);
  EXPECT_EQ(f.Keta, before.Keta);
  EXPECT_EQ(f.Kinds, before.Kinds);
  // An empty stored value is a value: it empties its field.
  StoreString("ComboData", "ComboData", "");
  TDataSave::LoadSettings(f);
  EXPECT_TRUE(f.Kinds.empty());
  EXPECT_EQ(f.PathName, before.PathName);
}

TEST_F(SettingsStoreTest, AValueOfAnotherTypeFailsBeforeAnyFieldChanges) {
  StoreString("PathName", "PathName", "/stored/");
  {
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Corvane\\Pelsok\\ComboData", true));
    const std::uint8_t bytes[2] = {1, 2};
    reg.WriteBinaryData("ComboData", bytes, 2);
  }
  TSettingsFields f{"before", "No", {"DR"}};
  try {
    TDataSave::LoadSettings(f);
    FAIL() << "no error";
  } catch (const platform::Exception& e) {
    EXPECT_EQ(e.Message(), "'ComboData' のﾃﾞｰﾀ型が不正です");
  }
  EXPECT_EQ(f.PathName, "before");
  EXPECT_EQ(f.Kinds, (std::vector<std::string>{"DR"}));
}

}  // namespace
