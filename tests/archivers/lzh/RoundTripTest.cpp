// Every encodable method at the fast, default and best efforts, over the data shapes
// that stress an LZ77 + Huffman coder, decoded again by our own decoder.
#include "Crc16.h"
#include "LzhCodec.h"
#include "TestLzhContainer.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "tests/support/MemoryStreams.h"

using lzhtest::referenceCrc16;

namespace {

struct Shape {
  const char* name;
  std::vector<std::uint8_t> (*make)();
};

std::vector<std::uint8_t> emptyData() { return {}; }
std::vector<std::uint8_t> oneByte() { return {'x'}; }
std::vector<std::uint8_t> twoBytes() { return {0x00, 0xFF}; }
std::vector<std::uint8_t> repetitive() { return std::vector<std::uint8_t>(300000, 'A'); }
std::vector<std::uint8_t> shortPeriod() {
  std::vector<std::uint8_t> v;
  for (int i = 0; i < 200000; ++i) v.push_back(static_cast<std::uint8_t>("abcab"[i % 5]));
  return v;
}
std::vector<std::uint8_t> incompressible() { return lzhtest::randomBytes(200000, 7); }
std::vector<std::uint8_t> severalWindows() { return lzhtest::syntheticLog(3 << 20, 11); }
// A random block, random filler of exactly one 64 KiB dictionary minus the block, and the block
// again: the repeat sits at the largest distance that -lh7- can reach, and beyond the others'.
std::vector<std::uint8_t> farMatches() {
  auto block = lzhtest::randomBytes(4096, 3);
  auto filler = lzhtest::randomBytes(65536 - 4096, 4);
  std::vector<std::uint8_t> v = block;
  v.insert(v.end(), filler.begin(), filler.end());
  v.insert(v.end(), block.begin(), block.end());
  // and at the -lh5- and -lh6- limits
  for (std::size_t dict : {std::size_t{8192}, std::size_t{32768}}) {
    auto b = lzhtest::randomBytes(1000, static_cast<std::uint32_t>(dict));
    auto f = lzhtest::randomBytes(dict - 1000, static_cast<std::uint32_t>(dict + 1));
    v.insert(v.end(), b.begin(), b.end());
    v.insert(v.end(), f.begin(), f.end());
    v.insert(v.end(), b.begin(), b.end());
  }
  return v;
}
// More than 65535 symbols, so several blocks: mostly literals with a few matches.
std::vector<std::uint8_t> manyBlocks() {
  auto v = lzhtest::randomBytes(150000, 9);
  for (std::size_t i = 1000; i + 40 < v.size(); i += 997)
    std::copy(v.begin() + 10, v.begin() + 40, v.begin() + static_cast<long>(i));
  return v;
}

// Runs of every period from 1 to 24 bytes, of lengths around the longest match, over several
// rings' worth: matches that overlap their own output at each short distance, also across the
// point where the decoder's ring wraps.
std::vector<std::uint8_t> shortPeriods() {
  std::vector<std::uint8_t> v;
  auto noise = lzhtest::randomBytes(1 << 16, 12);
  for (std::size_t k = 0; v.size() < 600000; ++k) {
    const std::size_t period = 1 + k % 24, run = 17 + (k * 37) % 300;
    const std::size_t start = v.size();
    v.insert(v.end(), noise.begin() + static_cast<long>(k % 60000),
             noise.begin() + static_cast<long>(k % 60000 + period));
    while (v.size() - start < run) v.push_back(v[v.size() - period]);
  }
  return v;
}

const Shape kShapes[] = {
    {"Empty", emptyData},
    {"OneByte", oneByte},
    {"TwoBytes", twoBytes},
    {"Repetitive", repetitive},
    {"ShortPeriod", shortPeriod},
    {"Incompressible", incompressible},
    {"SeveralWindows", severalWindows},
    {"FarMatches", farMatches},
    {"ManyBlocks", manyBlocks},
    {"ShortPeriods", shortPeriods},
};

class RoundTrip : public ::testing::TestWithParam<std::tuple<const char*, int, Shape>> {};

TEST_P(RoundTrip, DecodesToTheOriginalWithMatchingCrc) {
  const auto& [method, effort, shape] = GetParam();
  const std::vector<std::uint8_t> original = shape.make();
  const std::uint16_t crc = referenceCrc16(original);

  lzh::MemorySource src(original);
  lzh::VectorSink packed;
  lzh::EncodeResult er = lzh::encode(method, src, packed, effort);
  EXPECT_FALSE(er.limitReached);
  EXPECT_EQ(er.originalSize, original.size());
  EXPECT_EQ(er.packedSize, packed.data.size());
  EXPECT_EQ(er.crc, crc);

  lzh::MemorySource in(packed.data);
  lzh::VectorSink out;
  lzh::DecodeResult dr = lzh::decode(method, in, packed.data.size(), out, original.size());
  ASSERT_EQ(dr.status, lzh::Status::kOk) << dr.message;
  EXPECT_EQ(dr.written, original.size());
  EXPECT_EQ(dr.crc, crc);
  EXPECT_TRUE(out.data == original);
  EXPECT_LE(in.position(), packed.data.size());

  if (std::string(shape.name) == "Incompressible" && std::string(method) != "-lh0-") {
    EXPECT_LT(packed.data.size(), original.size() + original.size() / 50);
  }
  if (std::string(shape.name) == "Repetitive" && std::string(method) != "-lh0-") {
    EXPECT_LT(packed.data.size(), 2000u);
  }
}

std::string caseName(const ::testing::TestParamInfo<RoundTrip::ParamType>& info) {
  std::string m = std::get<0>(info.param);
  return m.substr(1, 3) + "_effort" + std::to_string(std::get<1>(info.param)) + "_" +
         std::get<2>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(AllMethods, RoundTrip,
                         ::testing::Combine(::testing::Values("-lh0-", "-lh5-", "-lh6-", "-lh7-"),
                                            ::testing::Values(1, lzh::kDefaultEffort,
                                                              lzh::kBestEffort),
                                            ::testing::ValuesIn(kShapes)),
                         caseName);

// -lh4- differs from -lh5- only in its 4 KiB dictionary, so a -lh5- stream whose matches all
// lie within 4 KiB (a random 3000-byte pattern, repeated) is also a -lh4- stream.
TEST(Lh4, DecodesAStreamWithNearMatches) {
  auto pattern = lzhtest::randomBytes(3000, 77);
  std::vector<std::uint8_t> data;
  for (int i = 0; i < 40; ++i) data.insert(data.end(), pattern.begin(), pattern.end());
  // (The lazy and optimal parsers index every position, so they take the nearest copy.)
  for (int effort : {lzh::kDefaultEffort, lzh::kBestEffort}) {
    lzh::MemorySource src(data);
    lzh::VectorSink packed;
    lzh::encode("-lh5-", src, packed, effort);
    ASSERT_LT(packed.data.size(), 5000u);
    lzh::MemorySource in(packed.data);
    lzh::VectorSink out;
    lzh::DecodeResult r = lzh::decode("-lh4-", in, packed.data.size(), out, data.size());
    ASSERT_EQ(r.status, lzh::Status::kOk) << r.message;
    EXPECT_EQ(r.crc, referenceCrc16(data));
    EXPECT_TRUE(out.data == data);
  }
  // A match further back than 4 KiB is damage for -lh4-.
  auto far = lzhtest::randomBytes(6000, 78);
  far.insert(far.end(), far.begin(), far.begin() + 2000);
  lzh::MemorySource src(far);
  lzh::VectorSink packed;
  lzh::encode("-lh5-", src, packed, 5);
  lzh::MemorySource in(packed.data);
  lzh::VectorSink out;
  lzh::DecodeResult r = lzh::decode("-lh4-", in, packed.data.size(), out, far.size());
  EXPECT_EQ(r.status, lzh::Status::kFailed);
  EXPECT_NE(r.message.find("辞書の大きさを超えています"), std::string::npos) << r.message;
}

TEST(Crc16, MatchesTheBitwiseDefinition) {
  auto data = lzhtest::randomBytes(10007, 5);
  EXPECT_EQ(lzh::crc16(0, data.data(), data.size()), referenceCrc16(data));
  // Split anywhere, the running CRC continues.
  std::uint16_t c = lzh::crc16(0, data.data(), 13);
  c = lzh::crc16(c, data.data() + 13, data.size() - 13);
  EXPECT_EQ(c, referenceCrc16(data));
  const std::uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(lzh::crc16(0, check, 9), 0xBB3D);
  // Every length around the 64-byte folding blocks and the 16-byte steps,
  // from aligned and unaligned starts, continuing a running CRC.
  for (std::size_t start : {16, 17, 23}) {
    const std::uint16_t head = lzh::crc16(0, data.data(), start);
    for (std::size_t n = 0; n <= 300; ++n)
      ASSERT_EQ(lzh::crc16(head, data.data() + start, n),
                referenceCrc16({data.begin(), data.begin() + static_cast<long>(start + n)}))
          << "start " << start << " length " << n;
  }
}

TEST(MethodTable, KnowsWhatItCanDo) {
  for (const char* m : {"-lh0-", "-lh5-", "-lh6-", "-lh7-"}) EXPECT_TRUE(lzh::canEncode(m)) << m;
  for (const char* m :
       {"-lh0-", "-lh1-", "-lh4-", "-lh5-", "-lh6-", "-lh7-", "-lzs-", "-lz4-", "-lz5-"})
    EXPECT_TRUE(lzh::canDecode(m)) << m;
  for (const char* m : {"-lh1-", "-lh4-", "-lzs-", "-lz4-", "-lz5-", "-lhd-", "-pm2-", "", "-lh5",
                        "-LH5-", "-lh5--"})
    EXPECT_FALSE(lzh::canEncode(m)) << m;
  for (const char* m : {"-lhd-", "-lh2-", "-lh3-", "-pm0-", "lh5", "-lh8-"})
    EXPECT_FALSE(lzh::canDecode(m)) << m;
  EXPECT_TRUE(lzh::canEncode(lzh::kDefaultMethod));

  lzh::MemorySource src(nullptr, 0);
  lzh::VectorSink sink;
  EXPECT_THROW(lzh::encode("-lh1-", src, sink, 5), std::invalid_argument);
  lzh::DecodeResult r = lzh::decode("-xyz-", src, 0, sink, 10);
  EXPECT_EQ(r.status, lzh::Status::kFailed);
  EXPECT_FALSE(r.message.empty());
}

TEST(PackedLimit, StopsOnceTheOutputReachesTheLimit) {
  auto data = lzhtest::randomBytes(500000, 21);
  for (const char* method : {"-lh0-", "-lh5-", "-lh7-"}) {
    lzh::MemorySource src(data);
    lzh::VectorSink out;
    lzh::EncodeResult r = lzh::encode(method, src, out, lzh::kDefaultEffort, 100000);
    EXPECT_TRUE(r.limitReached) << method;
    EXPECT_LT(out.data.size(), 100000u) << method;
    EXPECT_LT(r.originalSize, data.size()) << method;
  }
  // Compressible data well under the limit is not affected.
  auto log = lzhtest::syntheticLog(200000, 2);
  lzh::MemorySource src(log);
  lzh::VectorSink out;
  lzh::EncodeResult r = lzh::encode("-lh5-", src, out, 1, log.size());
  EXPECT_FALSE(r.limitReached);
  EXPECT_EQ(r.originalSize, log.size());
}

TEST(Efforts, BestIsNoLargerThanFastest) {
  auto log = lzhtest::syntheticLog(1 << 20, 99);
  std::size_t previous = SIZE_MAX;
  for (int effort : {1, lzh::kDefaultEffort, lzh::kBestEffort}) {
    lzh::MemorySource src(log);
    lzh::VectorSink out;
    lzh::encode("-lh7-", src, out, effort);
    EXPECT_LE(out.data.size(), previous) << "effort " << effort;
    previous = out.data.size();
  }
}

}  // namespace
