// Our compressed data must be real LZH: wrapped in a minimal container (test helper)
// it is extracted bit-exact by independent tools, and data compressed by jlha right
// now decodes bit-exact with our decoder.
#include "LzhCodec.h"
#include "TestLzhContainer.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/Command.h"
#include "tests/support/Files.h"
#include "tests/support/MemoryStreams.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tools.h"

using namespace lzhtest;
using testing_support::ReadBytes;
using testing_support::RunCommand;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

std::vector<std::uint8_t> sampleData() {
  // Log text longer than the largest dictionary, a stretch of random bytes, more text.
  auto v = syntheticLog(700000, 31);
  auto r = randomBytes(70000, 32);
  v.insert(v.end(), r.begin(), r.end());
  auto t = syntheticLog(300000, 33);
  v.insert(v.end(), t.begin(), t.end());
  return v;
}

class LhasaExtracts : public ::testing::TestWithParam<std::tuple<const char*, int, int>> {};

TEST_P(LhasaExtracts, WhatWeCompress) {
  SKIP_WITHOUT_TOOL("lhasa");
  const auto& [method, effort, level] = GetParam();
  TempDir dir;
  const auto data = sampleData();
  lzh::MemorySource src(data);
  lzh::VectorSink packed;
  lzh::EncodeResult r = lzh::encode(method, src, packed, effort);
  auto archive =
      makeSingleMemberArchive(level, method, "data.txt", packed.data, r.originalSize, r.crc);
  WriteFile(dir / "a.lzh", archive);
  const auto lhasa = RunCommand("lhasa xq a.lzh", dir.Path());
  ASSERT_EQ(lhasa.status, 0) << lhasa.output;
  EXPECT_TRUE(ReadBytes(dir / "data.txt") == data);
}

INSTANTIATE_TEST_SUITE_P(Methods, LhasaExtracts,
                         ::testing::Combine(::testing::Values("-lh5-", "-lh6-", "-lh7-"),
                                            ::testing::Values(1, lzh::kDefaultEffort,
                                                              lzh::kBestEffort),
                                            ::testing::Values(0, 2)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param)).substr(1, 3) + "_effort" +
                                  std::to_string(std::get<1>(info.param)) + "_level" +
                                  std::to_string(std::get<2>(info.param));
                         });

// The default setting must be readable by the other common LZH readers too.
TEST(OtherReaders, ExtractTheDefaultSetting) {
  SKIP_WITHOUT_TOOL("7zz");
  SKIP_WITHOUT_TOOL("bsdtar");
  TempDir dir;
  const auto data = sampleData();
  lzh::MemorySource src(data);
  lzh::VectorSink packed;
  lzh::EncodeResult r = lzh::encode(lzh::kDefaultMethod, src, packed, lzh::kDefaultEffort);
  WriteFile(dir / "a.lzh", makeSingleMemberArchive(2, lzh::kDefaultMethod, "data.txt", packed.data,
                                                   r.originalSize, r.crc));
  const auto sevenZip = RunCommand("7zz x -y -o7z a.lzh", dir.Path());
  ASSERT_EQ(sevenZip.status, 0) << sevenZip.output;
  EXPECT_TRUE(ReadBytes(dir / "7z/data.txt") == data);
  const auto bsdtar = RunCommand("mkdir bt && bsdtar -xf a.lzh -C bt", dir.Path());
  ASSERT_EQ(bsdtar.status, 0) << bsdtar.output;
  EXPECT_TRUE(ReadBytes(dir / "bt/data.txt") == data);
}

class JlhaMade : public ::testing::TestWithParam<char> {};

TEST_P(JlhaMade, DecodesBitExact) {
  SKIP_WITHOUT_TOOL("jlha");
  const char digit = GetParam();
  TempDir dir;
  const auto data = sampleData();
  WriteFile(dir / "in.txt", data);
  const auto jlha = RunCommand("jlha ao" + std::string(1, digit) + " j.lzh in.txt", dir.Path());
  ASSERT_EQ(jlha.status, 0) << jlha.output;
  auto archive = ReadBytes(dir / "j.lzh");
  auto members = listMembers(archive);
  ASSERT_EQ(members.size(), 1u);
  const Member& m = members[0];
  EXPECT_EQ(m.method, std::string("-lh") + digit + "-");
  lzh::MemorySource in(archive.data() + m.dataOffset, m.packedSize);
  lzh::VectorSink out;
  lzh::DecodeResult r = lzh::decode(m.method, in, m.packedSize, out, m.originalSize);
  ASSERT_EQ(r.status, lzh::Status::kOk) << r.message;
  EXPECT_EQ(r.crc, m.crc);
  EXPECT_TRUE(out.data == data);
}

INSTANTIATE_TEST_SUITE_P(Methods, JlhaMade, ::testing::Values('5', '6', '7'),
                         [](const auto& info) { return std::string("lh") + info.param; });

}  // namespace
