// Cabinets written by gcab, the checked-in ones and ones made on the spot,
// are listed and extracted bit for bit.
#include <fstream>

#include "CabHarness.h"

namespace cabtest {
namespace {

struct Expected {
  std::string name;
  std::uint32_t crc = 0;
  std::size_t length = 0;
};

std::vector<Expected> ExpectedFiles() {
  std::vector<Expected> rows;
  std::ifstream in(std::string(DATA_DIR) + "/EXPECTED.tsv");
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::stringstream ss(line);
    Expected e;
    std::string crc;
    std::getline(ss, e.name, '\t');
    std::getline(ss, crc, '\t');
    ss >> e.length;
    e.crc = static_cast<std::uint32_t>(std::stoul(crc, nullptr, 16));
    rows.push_back(e);
  }
  return rows;
}

class ForeignCabinetTest : public TempDirTest {};

TEST_F(ForeignCabinetTest, GcabCabinetsAreListedAndExtracted) {
  const auto expected = ExpectedFiles();
  ASSERT_EQ(expected.size(), 5u);
  for (const auto& [file, method] :
       {std::pair{"gcab-stored.cab", "Stored"}, std::pair{"gcab-mszip.cab", "MSZIP"}}) {
    SCOPED_TRACE(file);
    const std::string archive = std::string(DATA_DIR) + "/" + file;
    const auto listed = List(archive);
    ASSERT_EQ(listed.size(), expected.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
      EXPECT_STREQ(listed[i].FileName, expected[i].name.c_str());
      EXPECT_EQ(listed[i].OriginalSize, expected[i].length);
      EXPECT_STREQ(listed[i].Method, method);
      EXPECT_EQ(listed[i].DosDate >> 9, 2026 - 1980);
    }
    const fs::path out = Path(std::string("out-") + file);
    RunResult r = Cab("-x  " + Q(archive) + " " + Q(out.string() + "/"));
    ASSERT_EQ(r.result, arc::kOk) << r.output;
    for (const auto& e : expected) {
      const std::string data = ReadFile(out / e.name);
      EXPECT_EQ(data.size(), e.length) << e.name;
      EXPECT_EQ(Crc32(data), e.crc) << e.name;
    }
  }
}

TEST_F(ForeignCabinetTest, CabinetsGcabMakesNowAreReadBitExact) {
  REQUIRE_TOOL("gcab");
  WriteFile(Path("src/a.log"), LogText(300000, 5));
  WriteFile(Path("src/sub/b.bin"), RandomBytes(50000, 6));
  WriteFile(Path("src/日本/c.txt"), "c");
  for (const char* flags : {"-c", "-cz"}) {
    SCOPED_TRACE(flags);
    std::string log;
    fs::remove(Path("G.CAB"));
    ASSERT_EQ(
        Shell(std::string("gcab ") + flags + " " + Q(P("G.CAB")) + " a.log sub/b.bin 日本/c.txt",
              Path("src"), &log),
        0)
        << log;
    fs::remove_all(Path("out"));
    RunResult r = Cab("-x  " + Q(P("G.CAB")) + " " + Q(P("out/")));
    ASSERT_EQ(r.result, arc::kOk) << r.output;
    EXPECT_EQ(ListFiles(Path("out")), ListFiles(Path("src")));
    for (const auto& f : ListFiles(Path("src")))
      EXPECT_EQ(ReadFile(Path("out/" + f)), ReadFile(Path("src/" + f))) << f;
  }
}

}  // namespace
}  // namespace cabtest
