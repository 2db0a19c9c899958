// The header parser on hand-made headers of every level, and on the headers
// the writer makes: fields, extended headers, and the ways a header breaks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lzh/Crc16.h"
#include "lzharc/HeaderParser.h"
#include "lzharc/HeaderWriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, unsigned v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A level 0 or 1 base header with its checksum.
Bytes Level01(int level, const std::string& name, std::uint32_t packed, std::uint32_t original,
              const Bytes& tail) {
  Bytes b(22, 0);
  const std::string m = "-lh5-";
  for (int i = 0; i < 5; ++i) b[2 + i] = static_cast<std::uint8_t>(m[i]);
  Put32(b, 7, packed);
  Put32(b, 11, original);
  Put32(b, 15, (0x5A21u << 16) | 0x6000u);  // 2025-01-01 12:00:00
  b[19] = 0x20;
  b[20] = static_cast<std::uint8_t>(level);
  b[21] = static_cast<std::uint8_t>(name.size());
  b.insert(b.end(), name.begin(), name.end());
  b.push_back(0x34);  // data CRC 0x1234
  b.push_back(0x12);
  b.insert(b.end(), tail.begin(), tail.end());
  b[0] = static_cast<std::uint8_t>(b.size() - 2);
  unsigned sum = 0;
  for (std::size_t i = 2; i < b.size(); ++i) sum += b[i];
  b[1] = static_cast<std::uint8_t>(sum);
  return b;
}

lzh::ParseResult Parse(const Bytes& b, lzh::EntryHeader& h) {
  return lzh::ParseHeader(b.data(), b.size(), h);
}

TEST(HeaderParser, Level0) {
  Bytes b = Level01(0, "DIR\\FILE.TXT", 100, 200, {});
  lzh::EntryHeader h;
  ASSERT_EQ(Parse(b, h).status, lzh::ParseStatus::ok);
  EXPECT_EQ(h.level, 0);
  EXPECT_EQ(h.method, "-lh5-");
  EXPECT_EQ(h.packedSize, 100u);
  EXPECT_EQ(h.originalSize, 200u);
  EXPECT_EQ(h.fileName, "DIR\\FILE.TXT");
  EXPECT_EQ(h.dataCrc, 0x1234);
  EXPECT_EQ(h.headerLength, b.size());
  ASSERT_TRUE(h.dosStamp);
  EXPECT_FALSE(h.unixTime);
  // Every shorter prefix asks for more; a wrong checksum is damage.
  for (std::size_t n = 1; n < b.size(); ++n)
    EXPECT_EQ(lzh::ParseHeader(b.data(), n, h).status, lzh::ParseStatus::needMore) << n;
  b[1] ^= 1;
  EXPECT_EQ(Parse(b, h).status, lzh::ParseStatus::damaged);
}

TEST(HeaderParser, Level1WithExtendedHeaders) {
  // OS id, then the first extended header size; extended headers: folder, Unix time.
  Bytes b = Level01(1, "f.txt", 50 + 7 + 7, 80, {'U', 7, 0});
  const std::size_t base = b.size();
  const Bytes dir = {0x02, 'a', 0xFF, 'b', 0xFF, 0x07, 0x00};     // next header: 7 bytes
  const Bytes time = {0x54, 0x00, 0x2F, 0x6A, 0x65, 0x00, 0x00};  // last: next size 0
  b.insert(b.end(), dir.begin(), dir.end());
  b.insert(b.end(), time.begin(), time.end());
  // The checksum covers the base header only, which did not change.
  lzh::EntryHeader h;
  auto r = Parse(b, h);
  ASSERT_EQ(r.status, lzh::ParseStatus::ok) << r.message;
  EXPECT_EQ(h.level, 1);
  EXPECT_EQ(h.osId, 'U');
  EXPECT_EQ(h.dirName,
            "a\xFF"
            "b\xFF");
  EXPECT_EQ(h.packedSize, 50u);  // the extended headers are counted in the stored size
  ASSERT_TRUE(h.unixTime);
  EXPECT_EQ(*h.unixTime, 0x656A2F00);
  EXPECT_EQ(h.headerLength, b.size());
  // Cut inside the chain: more is needed; a chain larger than the stored size is damage.
  EXPECT_EQ(lzh::ParseHeader(b.data(), b.size() - 1, h).status, lzh::ParseStatus::needMore);
  auto resum = [&](Bytes& x) {
    unsigned sum = 0;
    for (std::size_t i = 2; i < base; ++i) sum += x[i];
    x[1] = static_cast<std::uint8_t>(sum);
  };
  Bytes small = b;
  Put32(small, 7, 3);
  resum(small);
  EXPECT_EQ(Parse(small, h).status, lzh::ParseStatus::damaged);
  // An extended header of size 1 cannot hold its own type and next size.
  Bytes tiny = b;
  Put16(tiny, base - 2, 1);
  resum(tiny);
  EXPECT_EQ(Parse(tiny, h).status, lzh::ParseStatus::damaged);
}

TEST(HeaderParser, Level2RoundTripThroughTheWriter) {
  lzh::NewEntryHeader w;
  w.method = "-lh7-";
  w.packedSize = 1234;
  w.originalSize = 5678;
  w.unixTime = 1751544000;
  w.dataCrc = 0xBEEF;
  w.unixMode = 0100640;
  w.fileName = "DR0715.log";
  w.dirName = "srv\xFFLOG\xFF";
  auto bytes = lzh::BuildLevel2Header(w);
  lzh::EntryHeader h;
  auto r = lzh::ParseHeader(bytes.data(), bytes.size(), h);
  ASSERT_EQ(r.status, lzh::ParseStatus::ok) << r.message;
  EXPECT_EQ(h.level, 2);
  EXPECT_EQ(h.method, "-lh7-");
  EXPECT_EQ(h.packedSize, 1234u);
  EXPECT_EQ(h.originalSize, 5678u);
  EXPECT_EQ(*h.unixTime, 1751544000);
  EXPECT_EQ(h.dataCrc, 0xBEEF);
  EXPECT_EQ(*h.unixMode, 0100640);
  EXPECT_EQ(h.fileName, "DR0715.log");
  EXPECT_EQ(h.dirName, "srv\xFFLOG\xFF");
  EXPECT_EQ(h.osId, 'U');
  EXPECT_EQ(h.headerLength, bytes.size());
  EXPECT_NE(bytes[0], 0);  // never reads as the end mark
  // Every single flipped bit is caught (header CRC or the shape checks).
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    // Byte 26 is the type of the CRC header itself: changed, the header
    // simply has no CRC, as headers of other writers may.
    if (i == 26) continue;
    for (int bit = 0; bit < 8; ++bit) {
      auto bad = bytes;
      bad[i] ^= static_cast<std::uint8_t>(1 << bit);
      lzh::EntryHeader hb;
      auto rb = lzh::ParseHeader(bad.data(), bad.size(), hb);
      EXPECT_NE(rb.status, lzh::ParseStatus::ok) << "byte " << i << " bit " << bit;
    }
  }
}

TEST(HeaderParser, Level2SizesOver4GiBUseThe64BitHeader) {
  lzh::NewEntryHeader w;
  w.method = "-lh5-";
  w.packedSize = 0x123456789ull;
  w.originalSize = 0x2000000000ull;
  w.fileName = "huge.bin";
  auto bytes = lzh::BuildLevel2Header(w);
  lzh::EntryHeader h;
  ASSERT_EQ(lzh::ParseHeader(bytes.data(), bytes.size(), h).status, lzh::ParseStatus::ok);
  EXPECT_EQ(h.packedSize, 0x123456789ull);
  EXPECT_EQ(h.originalSize, 0x2000000000ull);
  // wideSizes keeps the header length fixed whatever the final sizes are.
  w.packedSize = 10;
  w.originalSize = 10;
  w.wideSizes = true;
  EXPECT_EQ(lzh::BuildLevel2Header(w).size(), bytes.size());
}

TEST(HeaderParser, Level2HeaderLengthWithZeroLowByteIsPadded) {
  lzh::NewEntryHeader w;
  w.fileName = "n";
  const std::size_t plain = lzh::BuildLevel2Header(w).size();
  w.fileName = std::string(1 + 256 - (plain % 256), 'n');  // would end at a multiple of 256
  auto bytes = lzh::BuildLevel2Header(w);
  EXPECT_NE(bytes.size() % 256, 0u);
  lzh::EntryHeader h;
  ASSERT_EQ(lzh::ParseHeader(bytes.data(), bytes.size(), h).status, lzh::ParseStatus::ok);
  EXPECT_EQ(h.fileName, w.fileName);
  w.fileName = std::string(70000, 'n');
  EXPECT_THROW(lzh::BuildLevel2Header(w), std::length_error);
}

TEST(HeaderParser, Level3) {
  Bytes b(32, 0);
  Put16(b, 0, 4);
  const std::string m = "-lh6-";
  for (int i = 0; i < 5; ++i) b[2 + i] = static_cast<std::uint8_t>(m[i]);
  Put32(b, 7, 10);
  Put32(b, 11, 20);
  Put32(b, 15, 1700000000);
  b[19] = 0x20;
  b[20] = 3;
  Put16(b, 21, 0x4321);
  b[23] = 'U';
  Bytes name = {0x01, 'x', '.', 'c', 0, 0, 0, 0};  // type, "x.c", next size 0 (4 bytes)
  Put32(b, 28, static_cast<std::uint32_t>(name.size()));
  b.insert(b.end(), name.begin(), name.end());
  Put32(b, 24, static_cast<std::uint32_t>(b.size()));
  lzh::EntryHeader h;
  auto r = Parse(b, h);
  ASSERT_EQ(r.status, lzh::ParseStatus::ok) << r.message;
  EXPECT_EQ(h.level, 3);
  EXPECT_EQ(h.fileName, "x.c");
  EXPECT_EQ(h.packedSize, 10u);
  EXPECT_EQ(h.dataCrc, 0x4321);
  Put16(b, 0, 2);
  EXPECT_EQ(Parse(b, h).status, lzh::ParseStatus::damaged);
}

TEST(HeaderParser, EndMarksAndGarbage) {
  lzh::EntryHeader h;
  EXPECT_EQ(lzh::ParseHeader(nullptr, 0, h).status, lzh::ParseStatus::endOfArchive);
  Bytes zero = {0, 1, 2};
  EXPECT_EQ(Parse(zero, h).status, lzh::ParseStatus::endOfArchive);
  Bytes text(100, 'A');
  EXPECT_EQ(Parse(text, h).status, lzh::ParseStatus::damaged);
  Bytes b = Level01(0, "a", 1, 1, {});
  b[20] = 7;  // unknown level
  EXPECT_EQ(Parse(b, h).status, lzh::ParseStatus::damaged);
  Bytes longName = Level01(0, "abc", 1, 1, {});
  longName[21] = 200;  // name runs past the header
  EXPECT_EQ(Parse(longName, h).status, lzh::ParseStatus::damaged);
}

}  // namespace
