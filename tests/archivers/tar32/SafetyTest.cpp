// Hostile archives: nothing lands outside the base folder, links only
// inside, no devices, no set-id bits, existing files replaced only as the
// switches say.
#include <chrono>
#include <cstdio>

#include "HostileTar.h"
#include "TarHarness.h"

namespace tartest {
namespace {

class SafetyTest : public TempDirTest {
 protected:
  std::string Make(const std::vector<RawMember>& members) {
    WriteFile(Path("evil.tar"), BuildTar(members));
    return P("evil.tar");
  }
  RunResult Extract(const std::string& archive, const std::string& extra = "") {
    return Tar("x " + extra + " -f " + Q(archive) + " -o " + Q(P("out") + "/"));
  }
};

TEST_F(SafetyTest, ParentPartsAreRefusedAndTheRestExtracted) {
  auto r = Extract(Make({{"../escape.txt", '0', "bad"},
                         {"a/../../escape2.txt", '0', "bad"},
                         {"good.txt", '0', "good"}}));
  EXPECT_EQ(r.result, arc::kUnsafeName) << r.output;
  EXPECT_FALSE(fs::exists(Path("escape.txt")));
  EXPECT_FALSE(fs::exists(Path("escape2.txt")));
  EXPECT_EQ(ReadFile(Path("out/good.txt")), "good");
}

TEST_F(SafetyTest, AbsoluteNamesLandBelowTheBaseFolder) {
  const std::string outside = P("abs/target.txt");
  auto r = Extract(Make({{outside, '0', "data"}}));
  EXPECT_EQ(r.result, arc::kWarning) << r.output;
  EXPECT_FALSE(fs::exists(outside));
  EXPECT_EQ(ReadFile(Path("out") / outside.substr(1)), "data");
}

TEST_F(SafetyTest, FileThroughASymlinkToOutsideIsRefused) {
  fs::create_directories(Path("victim"));
  auto r = Extract(Make({{"link", '2', "", P("victim")}, {"link/owned.txt", '0', "bad"}}));
  EXPECT_EQ(r.result, arc::kUnsafeName) << r.output;
  EXPECT_FALSE(fs::exists(Path("victim/owned.txt")));
  EXPECT_FALSE(fs::is_symlink(Path("out/link")));
}

TEST_F(SafetyTest, RelativeSymlinkLeavingTheFolderIsRefusedOneInsideIsMade) {
  auto r = Extract(Make(
      {{"a/up", '2', "", "../../x"}, {"a/file.txt", '0', "in"}, {"a/ok", '2', "", "file.txt"}}));
  EXPECT_EQ(r.result, arc::kUnsafeName) << r.output;
  EXPECT_FALSE(fs::exists(fs::symlink_status(Path("out/a/up"))));
  EXPECT_EQ(fs::read_symlink(Path("out/a/ok")), "file.txt");
}

TEST_F(SafetyTest, HardLinkToOutsideIsRefused) {
  WriteFile(Path("secret.txt"), "secret");
  auto r = Extract(Make({{"h1", '1', "", "../secret.txt"}, {"h2", '1', "", P("secret.txt")}}));
  EXPECT_NE(r.result, arc::kOk) << r.output;
  EXPECT_FALSE(fs::exists(Path("out/h1")));
  EXPECT_FALSE(fs::exists(Path("out/h2")));
  EXPECT_EQ(fs::hard_link_count(Path("secret.txt")), 1u);
}

TEST_F(SafetyTest, HardLinkInsideSharesTheFile) {
  auto r = Extract(Make({{"f.txt", '0', "x"}, {"g.txt", '1', "", "f.txt"}}));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(Path("out/g.txt")), "x");
  EXPECT_EQ(fs::hard_link_count(Path("out/f.txt")), 2u);
}

TEST_F(SafetyTest, DevicesAndFifosAreNeverCreated) {
  auto r = Extract(Make({{"dev", '3', ""}, {"fifo", '6', ""}, {"f.txt", '0', "x"}}));
  EXPECT_EQ(r.result, arc::kWarning) << r.output;
  EXPECT_FALSE(fs::exists(fs::symlink_status(Path("out/dev"))));
  EXPECT_FALSE(fs::exists(fs::symlink_status(Path("out/fifo"))));
  EXPECT_TRUE(fs::exists(Path("out/f.txt")));
}

TEST_F(SafetyTest, SetIdBitsAreDropped) {
  auto r = Extract(Make({{"suid", '0', "#!/bin/sh\n", "", 06755}}));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  struct stat st {};
  ASSERT_EQ(::stat(P("out/suid").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0755u);
}

TEST_F(SafetyTest, CheckAllPathRefusesTheWholeArchive) {
  const std::string evil = Make({{"good.txt", '0', "good"}, {"../bad.txt", '0', "bad"}});
  auto r = Extract(evil, "--check-all-path=1");
  EXPECT_EQ(r.result, arc::kUnsafeName) << r.output;
  EXPECT_FALSE(fs::exists(Path("out/good.txt")));
  EXPECT_FALSE(fs::exists(Path("bad.txt")));
  // Other values keep the member-by-member rule.
  EXPECT_EQ(Extract(evil, "--check-all-path=-2").result, arc::kUnsafeName);
  EXPECT_EQ(ReadFile(Path("out/good.txt")), "good");
}

TEST_F(SafetyTest, ExistingFilesAreReplacedOnlyByNewerMembersOrWithC1) {
  const std::string old = Make({{"f.txt", '0', "archived", "", 0644, 1600000000}});
  WriteFile(Path("out/f.txt"), "mine");
  EXPECT_EQ(Extract(old).result, arc::kOk);
  EXPECT_EQ(ReadFile(Path("out/f.txt")), "mine");  // ours is newer
  EXPECT_EQ(Extract(old, "-c1").result, arc::kOk);
  EXPECT_EQ(ReadFile(Path("out/f.txt")), "archived");
  WriteFile(Path("out/f.txt"), "mine");
  fs::last_write_time(Path("out/f.txt"),
                      fs::file_time_type::clock::now() - std::chrono::hours(24 * 365 * 10));
  EXPECT_EQ(Extract(old).result, arc::kOk);
  EXPECT_EQ(ReadFile(Path("out/f.txt")), "archived");
}

TEST_F(SafetyTest, TruncatedArchiveLeavesNoPartialFile) {
  std::string tar = BuildTar({{"a.txt", '0', "first"}, {"big.bin", '0', std::string(100000, 'b')}});
  tar.resize(512 + 512 + 512 + 50000);
  WriteFile(Path("cut.tar"), tar);
  auto r = Extract(P("cut.tar"));
  EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
  EXPECT_EQ(ReadFile(Path("out/a.txt")), "first");
  EXPECT_FALSE(fs::exists(Path("out/big.bin")));
  for (auto& e : fs::directory_iterator(Path("out")))
    EXPECT_EQ(e.path().filename().string().find(".arctmp"), std::string::npos) << e.path();
}

// "b -> ." then "a -> b/b/../..": each text stays inside, the chain does
// not; what GNU tar then writes through out/a would land two levels up.
TEST_F(SafetyTest, AChainOfLinksNeverLeadsOutside) {
  const std::vector<std::vector<RawMember>> rows = {
      {{"b", '2', "", "."}, {"a", '2', "", "b/b/../.."}},
      {{"a", '2', "", "c/d/../.."}, {"c", '2', "", "."}},
      {{"d/b", '2', "", ".."}, {"etc", '2', "", "d/b/x/../../etc"}},
  };
  for (const auto& members : rows) {
    auto r = Extract(Make(members));
    EXPECT_EQ(r.result, arc::kUnsafeName) << r.output;
    for (auto it = fs::recursive_directory_iterator(Path("out")); it != fs::end(it); ++it)
      EXPECT_EQ(
          fs::weakly_canonical(it->path()).string().rfind(fs::canonical(Path("out")).string(), 0),
          0u)
          << it->path();
    fs::remove_all(Path("out"));
    // Read first, such a chain keeps the whole archive from being extracted.
    EXPECT_EQ(Extract(P("evil.tar"), "--check-all-path=1").result, arc::kUnsafeName);
    EXPECT_FALSE(fs::exists(Path("out")));
  }
}

TEST_F(SafetyTest, TheLastCopyOfANameWins) {
  auto r = Extract(Make({{"f.txt", '0', "first"}, {"f.txt", '0', "last"}}));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(Path("out/f.txt")), "last");
}

}  // namespace
}  // namespace tartest

namespace tartest {
namespace {

// Sizes declared far beyond what the stream holds (8 GiB in a header of a
// few hundred bytes, plain and gzipped): the test reads what is there and
// stops with a damaged verdict at once, writing nothing.
TEST_F(SafetyTest, DeclaredSizesBeyondTheStreamCostOnlyTheStream) {
  std::string tar = BuildTar({{"a.log", '0', "first"}, {"huge.log", '0', "tiny"}});
  tar.replace(512 + 512 + 124, 12, std::string("77777777777") + '\0');
  unsigned sum = 0;  // the second header's checksum, over its bytes with the field as spaces
  for (int i = 0; i < 512; ++i)
    sum += (i >= 148 && i < 156) ? ' ' : static_cast<unsigned char>(tar[1024 + i]);
  char field[8];
  std::snprintf(field, sizeof field, "%06o", sum);
  tar.replace(1024 + 148, 8, std::string(field, 6) + '\0' + ' ');
  fs::create_directories(Path("box"));
  WriteFile(Path("box/huge.tar"), tar);
  ASSERT_EQ(Shell("gzip -c huge.tar > huge.tgz", P("box")), 0);
  for (const char* name : {"huge.tar", "huge.tgz"}) {
    SCOPED_TRACE(name);
    const auto start = std::chrono::steady_clock::now();
    const RunResult r = Tar("t -f " + Q(P(std::string("box/") + name)));
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
    EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
    EXPECT_NE(r.output.find("huge.log"), std::string::npos) << r.output;
  }
  EXPECT_EQ(ListFiles(P("box")), (std::vector<std::string>{"huge.tar", "huge.tgz"}));
}

}  // namespace
}  // namespace tartest
