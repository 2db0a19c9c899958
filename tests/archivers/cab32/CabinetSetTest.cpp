// A cabinet set of two parts from the generator: read whole when both parts
// lie together (cabextract agrees on the bytes), and with the second part
// gone the file that runs into it names that part while the others are
// still extracted.
#include "CabHarness.h"
#include "CabinetSet.h"

namespace cabtest {
namespace {

class CabinetSetTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    data_ = LogText(CabinetSet::kA + CabinetSet::kB + CabinetSet::kC, 7);
    const CabinetSet set = CabinetSet::Build(data_, "SET1.CAB", "SET2.CAB");
    WriteFile(Path("SET1.CAB"), set.first);
    WriteFile(Path("SET2.CAB"), set.second);
  }
  std::string Part(const char* name) const {
    if (std::string(name) == "a.log") return data_.substr(0, CabinetSet::kA);
    if (std::string(name) == "b.log") return data_.substr(CabinetSet::kA, CabinetSet::kB);
    return data_.substr(CabinetSet::kA + CabinetSet::kB);
  }
  std::string data_;
};

TEST_F(CabinetSetTest, AWholeSetIsListedAndExtracted) {
  REQUIRE_TOOL("cabextract");
  std::string log;
  ASSERT_EQ(Shell("cabextract -q -d theirs SET1.CAB", dir_.string(), &log), 0) << log;
  ASSERT_EQ(ReadFile(Path("theirs/c.log")), Part("c.log"));
  const auto listed = List(P("SET1.CAB"));
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_STREQ(listed[2].FileName, "c.log");
  RunResult r = Cab("-x  " + Q(P("SET1.CAB")) + " " + Q(P("out/")));
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  for (const char* name : {"a.log", "b.log", "c.log"})
    EXPECT_EQ(ReadFile(Path(std::string("out/") + name)), Part(name)) << name;
}

TEST_F(CabinetSetTest, AMissingPartIsNamed) {
  fs::remove(Path("SET2.CAB"));
  RunResult r = Cab("-x  " + Q(P("SET1.CAB")) + " " + Q(P("out/")));
  EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
  EXPECT_NE(r.output.find("SET2.CAB"), std::string::npos) << r.output;
  EXPECT_EQ(ReadFile(Path("out/a.log")), Part("a.log"));
  EXPECT_FALSE(fs::exists(Path("out/b.log")));
}

}  // namespace
}  // namespace cabtest
