// Hostile and damaged cabinets from the generator: names that climb out or
// are absolute are refused while the others are extracted; counts, offsets
// and block sizes that point past the end give a clean error and leave no
// file behind.
#include "CabHarness.h"
#include "HostileCabinet.h"

namespace cabtest {
namespace {

class HostileCabinetTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    fs::create_directories(Path("box/out"));
  }
  RunResult Extract(const std::string& bytes, const std::string& switches = "-o") {
    WriteFile(Path("box/H.CAB"), bytes);
    return Cab("-x " + switches + "  " + Q(P("box/H.CAB")) + " " + Q(P("box/out/")));
  }
  // Everything under box/ except the cabinet and what is inside box/out/.
  std::vector<std::string> Outside() {
    std::vector<std::string> out;
    for (auto& f : ListFiles(Path("box")))
      if (f.rfind("out/", 0) != 0 && f != "H.CAB") out.push_back(f);
    return out;
  }
};

TEST_F(HostileCabinetTest, ClimbingAndAbsoluteNamesAreRefusedOthersExtracted) {
  HostileCabinet c;
  c.Add("..\\up.txt", "up");
  c.Add("sub/../../up2.txt", "up2");
  c.Add(P("box/abs.txt"), "abs");
  c.Add("\\rooted.txt", "rooted");
  c.Add("C:\\drive.txt", "c");
  c.Add("ok\\fine.txt", "fine");
  for (const char* sw : {"-o", "-o -j"}) {
    SCOPED_TRACE(sw);
    RunResult r = Extract(c.Build(), sw);
    EXPECT_EQ(r.result, arc::kUnsafeName) << r.output;
    EXPECT_TRUE(Outside().empty());
    EXPECT_FALSE(fs::exists(Path("box/abs.txt")));
  }
  EXPECT_EQ(ReadFile(Path("box/out/ok/fine.txt")), "fine");
  EXPECT_EQ(ReadFile(Path("box/out/fine.txt")), "fine");
}

TEST_F(HostileCabinetTest, StructuresPastTheEndGiveACleanErrorAndNoFile) {
  const auto base = [] {
    HostileCabinet c;
    c.Add("a.log", LogText(70000, 1));
    c.Add("b.log", LogText(1000, 2));
    return c;
  };
  struct Row {
    const char* what;
    HostileCabinet cabinet;
  };
  std::vector<Row> rows;
  {
    auto c = base();
    c.folderCount = 200;
    rows.push_back({"folder count past the end", c});
  }
  {
    auto c = base();
    c.dataOffset = 0x7FFFFF00;
    rows.push_back({"data offset past the end", c});
  }
  {
    auto c = base();
    c.firstBlockBytes = 0xFFFF;
    rows.push_back({"a data block claiming a huge size", c});
  }
  {
    auto c = base();
    c.blockCount = 1;
    rows.push_back({"fewer blocks than the files need", c});
  }
  {
    auto c = base();
    c.files[0].offsetInFolder = 0x7FFF0000;
    c.files[1].offsetInFolder = 0x7FFF0000;
    rows.push_back({"file offsets past the folder's end", c});
  }
  {
    auto c = base();
    c.files[0].folderIndex = 9;
    c.files[1].folderIndex = 9;
    rows.push_back({"a folder that does not exist", c});
  }
  {
    auto c = base();
    std::string cut = c.Build();
    cut.resize(cut.size() / 2);
    WriteFile(Path("box/cut.cab"), cut);
  }
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    fs::remove_all(Path("box/out"));
    RunResult r = Extract(row.cabinet.Build());
    EXPECT_GE(r.result, 0x8000) << r.output;
    EXPECT_NE(r.result, arc::kUnsafeName);
    EXPECT_EQ(ListFiles(Path("box/out")), std::vector<std::string>{}) << r.output;
    EXPECT_TRUE(Outside().empty() || Outside() == std::vector<std::string>{"cut.cab"});
    List(P("box/H.CAB"));  // must not crash
  }
  RunResult r = Cab("-x  " + Q(P("box/cut.cab")) + " " + Q(P("box/out/")));
  EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
  EXPECT_EQ(ListFiles(Path("box/out")), std::vector<std::string>{});
}

}  // namespace
}  // namespace cabtest
