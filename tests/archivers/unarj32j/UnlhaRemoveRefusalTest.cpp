// The ARJ back end deletes through UNLHA32.DLL's "d". That library must
// refuse an archive that is not LZH with an error and leave it byte for byte.
#include "ArjTestWriter.h"
#include "UnarjHarness.h"

namespace unarjtest {
namespace {

TEST(UnlhaRemoveRefusalTest, DeleteOnAnArjArchiveFailsAndChangesNothing) {
  const ArchiverLibrary unlha(UNLHA32_PATH, "Unlha");
  ASSERT_EQ(unlha.Problem(), "");
  testing_support::TempDir dir;
  const std::string bytes = ReadFile(std::string(DATA_DIR) + "/sample.arj");
  ASSERT_FALSE(bytes.empty());
  const std::string archive = dir.Write("LOGS.ARJ", bytes);
  for (const char* mask : {"*.*", "docs\\readme.txt"}) {
    char out[1024] = {};
    const std::string line = std::string("d -+  \"") + archive + "\" \"" + mask + "\" ";
    EXPECT_EQ(unlha.command(nullptr, line.c_str(), out, sizeof out), arc::kNotArchive) << out;
    EXPECT_NE(std::string(out), "");
    EXPECT_TRUE(ReadFile(archive) == bytes);
    EXPECT_EQ(ListTree(dir.Path()), std::vector<std::string>{"LOGS.ARJ"});
  }
}

}  // namespace
}  // namespace unarjtest
