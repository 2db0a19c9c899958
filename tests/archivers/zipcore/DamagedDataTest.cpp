// Our own deflated archive, damaged after it was written: the whole-member
// inflate and the streaming path behind it must both end in damage, for the
// check and for extraction, which then leaves no file behind.
#include <cstdint>
#include <string>

#include "ZipHarness.h"

namespace ziptest {
namespace {

std::uint32_t U32(const std::string& z, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(z[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(z[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(z[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(z[at + 3])) << 24;
}

// Where the one entry's data starts and how long it is, from the directory.
struct Layout {
  std::size_t central, data, packed;
};

Layout Locate(const std::string& z) {
  Layout l{};
  l.central = z.rfind(std::string("PK\1\2", 4));
  const std::size_t local = U32(z, l.central + 42);
  const std::size_t nameLen =
      static_cast<unsigned char>(z[local + 26]) | static_cast<unsigned char>(z[local + 27]) << 8;
  const std::size_t extraLen =
      static_cast<unsigned char>(z[local + 28]) | static_cast<unsigned char>(z[local + 29]) << 8;
  l.data = local + 30 + nameLen + extraLen;
  l.packed = U32(z, l.central + 20);
  return l;
}

struct Damage {
  const char* what;
  void (*apply)(std::string& z, const Layout& l);
};

const Damage kDamages[] = {
    {"a byte in the middle of the data",
     [](std::string& z, const Layout& l) {
       z[l.data + l.packed / 2] = static_cast<char>(z[l.data + l.packed / 2] ^ 0x5A);
     }},
    {"the first block's header",
     [](std::string& z, const Layout& l) {
       z[l.data] = static_cast<char>(z[l.data] | 0x06);  // the reserved block type
     }},
    {"the CRC in both headers",
     [](std::string& z, const Layout& l) {
       z[l.central + 16] = static_cast<char>(z[l.central + 16] ^ 1);
       const std::size_t local = U32(z, l.central + 42);
       z[local + 14] = static_cast<char>(z[local + 14] ^ 1);
     }},
};

TEST_F(ZipTest, DamagedDeflateDataIsReportedAsDamage) {
  WriteFile(Path("src/DR01.log"), LogText(300000, 3));
  ASSERT_EQ(Zip("-D " + Q(P("sound.zip")) + " " + Q(P("src") + "/") + " *.log").result, 0);
  const std::string sound = ReadFile(P("sound.zip"));
  const Layout layout = Locate(sound);
  ASSERT_NE(layout.central, std::string::npos);
  for (const Damage& d : kDamages) {
    SCOPED_TRACE(d.what);
    std::string z = sound;
    d.apply(z, layout);
    WriteFile(Path("bad.zip"), z);
    auto r = UnZip("-t " + Q(P("bad.zip")));
    EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
    EXPECT_NE(r.output.find("破損  DR01.log"), std::string::npos) << r.output;
    fs::remove_all(Path("out"));
    r = UnZip("-x -o " + Q(P("bad.zip")) + " " + Q(P("out") + "/"));
    EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
    EXPECT_TRUE(ListFiles(Path("out")).empty());
  }
}

}  // namespace
}  // namespace ziptest
