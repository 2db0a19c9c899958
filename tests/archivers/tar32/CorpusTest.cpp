// The foreign tar corpus (tests/data/tar, see its README): each archive is
// listed and extracted as bsdtar does, or refused with a clear error.
#include "TarHarness.h"
#include "platform/TextConvert.h"

namespace tartest {
namespace {

class CorpusTest : public TempDirTest, public ::testing::WithParamInterface<const char*> {};

// bsdtar keeps a name's bytes; we read names that are valid cp932 (and not
// UTF-8) as cp932. Bring bsdtar's tree to our naming.
std::map<std::string, std::string> AsCp932Names(const std::map<std::string, std::string>& tree) {
  std::map<std::string, std::string> out;
  for (const auto& [name, data] : tree) {
    std::string n = name;
    if (!platform::IsValidUtf8(n) && platform::IsValidCp932(n))
      if (auto u = platform::Cp932ToUtf8(n)) n = *u;
    out[n] = data;
  }
  return out;
}

TEST_P(CorpusTest, ExtractsAsBsdtarDoes) {
  SKIP_WITHOUT_TOOL("bsdtar");
  const std::string archive = std::string(DATA_DIR) + "/" + GetParam();
  fs::create_directories(Path("bsd"));
  std::string log;
  ASSERT_EQ(Shell("bsdtar xf " + Q(archive) + " -C bsd", dir_, &log), 0) << log;
  auto r = Tar("x -f " + Q(archive) + " -o " + Q(P("ours") + "/"));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(Tree(Path("ours")), AsCp932Names(Tree(Path("bsd"))));

  std::string names;
  ASSERT_EQ(Shell("bsdtar tf " + Q(archive) + " | wc -l", dir_, &names), 0);
  bool opened = false;
  auto listed = List(archive, "*", &opened);
  EXPECT_TRUE(opened);
  EXPECT_EQ(listed.size(), std::stoul(names));
  EXPECT_GE(Type(archive), 1);
  EXPECT_LE(Type(archive), 11);
}

INSTANTIATE_TEST_SUITE_P(
    Readable, CorpusTest,
    ::testing::Values("Tar.tar", "Tar.tar.gz", "Tar.tar.bz2", "Tar.tar.Z", "Tar.tar.xz",
                      "Tar.tar.zst", "Tar.oldgnu.tar.gz", "Tar.noEmptyDirs.tar.bz2",
                      "Tar.LongPathsWithLongNameExtension.tar", "Tar.PaxGlobalHeader.Link.tar",
                      "Tar.PaxGlobalHeader.tar", "Tar.PaxLocalHeader.Link.tar",
                      "Tar.PaxLocalHeader.tar", "Tar.mod.tar", "Tar.ContainsTarGz.tar",
                      "TarCorrupted.tar", "TarWithSymlink.tar.gz"),
    [](const auto& info) {
      std::string n = info.param;
      for (auto& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return n;
    });

TEST(CorpusRefusalTest, NotATarIsRefusedClearly) {
  for (const char* name : {"false.positive.tar"}) {
    SCOPED_TRACE(name);
    const std::string archive = std::string(DATA_DIR) + "/" + name;
    EXPECT_EQ(Type(archive), 0);
    bool opened = true;
    List(archive, "*", &opened);
    EXPECT_FALSE(opened);
    auto r = Tar("x -f " + Q(archive) + " -o " + Q("/nonexistent-tar32-test/"));
    EXPECT_EQ(r.result, arc::kNotArchive);
    EXPECT_NE(r.output.find("tar の書庫ではありません"), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists("/nonexistent-tar32-test"));
  }
}

// As GNU tar: an empty archive extracts and tests clean; a named member
// that is not there is still an error.
TEST(CorpusRefusalTest, AnEmptyTarOpensListsNothingAndExtractsClean) {
  const std::string archive = std::string(DATA_DIR) + "/Tar.Empty.tar";
  EXPECT_EQ(Type(archive), 1);
  bool opened = false;
  EXPECT_TRUE(List(archive, "*", &opened).empty());
  EXPECT_TRUE(opened);
  testing_support::TempDir dir;
  const std::string out = dir.Path() + "/out/";
  auto r = Tar("x -f " + Q(archive) + " -o " + Q(out));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  r = Tar("x -f " + Q(archive) + " -o " + Q(out) + " DR2611.log");
  EXPECT_EQ(r.result, arc::kNothingMatched) << r.output;
}

}  // namespace
}  // namespace tartest
