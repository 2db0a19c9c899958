// Generated hostile archives: names that leave the base folder, damaged
// headers and data, sizes that lie, encrypted members and volume sets.
// Nothing may land outside the base folder, no damaged file may appear, and
// each fault gives its result code and a message saying what was wrong.
#include <fstream>

#include "ArjTestWriter.h"
#include "UnarjHarness.h"

namespace unarjtest {
namespace {

class HostileArchiveTest : public UnarjTest {
 protected:
  std::string Save(const std::string& bytes) { return Write("box/in.arj", bytes); }
  RunResult Extract(const std::string& archive) {
    return Unarj("x -+  " + Q(archive) + " " + Q(P("box/out/")) + " ");
  }
};

struct MemberCase {
  const char* what;
  TestMember member;
  std::int32_t result;
  const char* message;  // part of the report
};

TEST_F(HostileArchiveTest, RefusedMembersLeaveNothingAndTheOthersAreExtracted) {
  TestMember garbled{"secret.txt", "xyz"};
  garbled.flags = 0x11;
  TestMember split{"part.txt", "xyz"};
  split.flags = 0x14;
  TestMember continued{"rest.txt", "xyz"};
  continued.flags = 0x18;
  TestMember badCrc{"bad.txt", "payload"};
  badCrc.crc = 0x12345678;
  TestMember hugeOriginal{"huge.txt", "tiny"};
  hugeOriginal.originalSize = 0xFFFFFFF0u;
  const MemberCase cases[] = {
      {"parent", {"../evil.txt", "x"}, arc::kUnsafeName, "安全でない名前"},
      {"parent inside", {"a/../../evil.txt", "x"}, arc::kUnsafeName, "安全でない名前"},
      {"absolute", {"/tmp/evil.txt", "x"}, arc::kUnsafeName, "安全でない名前"},
      {"drive", {"C:\\evil.txt", "x"}, arc::kUnsafeName, "安全でない名前"},
      {"backslash parent", {"..\\evil.txt", "x"}, arc::kUnsafeName, "安全でない名前"},
      {"garbled", garbled, arc::kNotArchive, "暗号化されています"},
      {"split", split, arc::kNotArchive, "in.a01"},
      {"continued", continued, arc::kNotArchive, "最初の巻"},
      {"data CRC", badCrc, arc::kNotArchive, "CRC が一致しません"},
      {"huge original size", hugeOriginal, arc::kNotArchive, "圧縮サイズと元のサイズが違います"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(Path("box"));
    const std::string archive =
        Save(ArjTestWriter().Add({"good.txt", "fine"}).Add(c.member).Finish());
    RunResult r = Extract(archive);
    EXPECT_EQ(r.result, c.result) << r.output;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
    EXPECT_EQ(ListTree(Path("box/out")), std::vector<std::string>{"good.txt"});
    EXPECT_EQ(ListTree(Path("box")), (std::vector<std::string>{"in.arj", "out/", "out/good.txt"}));
    EXPECT_FALSE(fs::exists("/tmp/evil.txt"));
  }
}

TEST_F(HostileArchiveTest, DamagedStructureRefusesTheWholeArchive) {
  const std::string good = ArjTestWriter().Add({"a.txt", "alpha"}).Add({"b.txt", "beta"}).Finish();
  TestMember badHeader{"b.txt", "beta"};
  badHeader.badHeaderCrc = true;
  TestMember badExt{"b.txt", "beta"};
  badExt.extendedHeader = "owner";
  badExt.badExtendedCrc = true;
  TestMember hugePacked{"b.txt", "beta"};
  hugePacked.packedSize = 0x7FFFFFFFu;
  std::string badMain = good;
  badMain[10] ^= 0x01;
  const std::pair<const char*, std::string> cases[] = {
      {"header CRC", ArjTestWriter().Add({"a.txt", "alpha"}).Add(badHeader).Finish()},
      {"extended header CRC", ArjTestWriter().Add({"a.txt", "alpha"}).Add(badExt).Finish()},
      {"packed size past the end",
       ArjTestWriter().Add({"a.txt", "alpha"}).Add(hugePacked).Finish()},
      {"truncated data", good.substr(0, good.size() - 8)},
      {"no end mark", good.substr(0, good.size() - 4)},
      {"main header CRC", badMain},
      {"not an archive", std::string("just some text, not an archive\n")},
      {"empty file", std::string()},
  };
  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    fs::remove_all(Path("box"));
    const std::string archive = Save(bytes);
    EXPECT_EQ(kUnarj32j.open(nullptr, archive.c_str(), 0), 0);
    EXPECT_EQ(kUnarj32j.check(archive.c_str(), 0), 0);
    RunResult r = Extract(archive);
    EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
    EXPECT_FALSE(fs::exists(Path("box/out/a.txt")));
    EXPECT_EQ(ReadFile(archive), bytes);  // read only, never changed
  }
}

TEST_F(HostileArchiveTest, AValidExtendedHeaderIsSkipped) {
  TestMember withExt{"b.txt", "beta"};
  withExt.extendedHeader = std::string("owner\0data", 10);
  const std::string archive = Save(ArjTestWriter().Add(withExt).Finish());
  RunResult r = Extract(archive);
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(P("box/out/b.txt")), "beta");
}

}  // namespace
}  // namespace unarjtest
