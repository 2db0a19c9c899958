// Our compressed data must be real LZH: wrapped in a minimal container (test helper)
// it is extracted bit-exact by independent tools, and data compressed by jlha right
// now decodes bit-exact with our decoder.
#include "LzhCodec.h"
#include "MemoryStreams.h"
#include "TestLzhContainer.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace lzhtest;

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

void requireTool(const char* tool) {
  ASSERT_TRUE(onPath(tool))
      << tool << " is not on PATH; install it (lhasa, 7zip, libarchive-tools, jlha-utils)";
}

std::string quote(const std::string& s) { return "'" + s + "'"; }

class LhasaExtracts : public ::testing::TestWithParam<std::tuple<const char*, int, int>> {};

TEST_P(LhasaExtracts, WhatWeCompress) {
  requireTool("lhasa");
  const auto& [method, effort, level] = GetParam();
  TempDir dir;
  const auto data = sampleData();
  lzh::MemorySource src(data);
  lzh::VectorSink packed;
  lzh::EncodeResult r = lzh::encode(method, src, packed, effort);
  auto archive =
      makeSingleMemberArchive(level, method, "data.txt", packed.data, r.originalSize, r.crc);
  writeFile(dir.path() + "/a.lzh", archive);
  ASSERT_EQ(run("cd " + quote(dir.path()) + " && lhasa xq a.lzh >/dev/null 2>&1"), 0);
  EXPECT_TRUE(readFile(dir.path() + "/data.txt") == data);
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
  requireTool("7zz");
  requireTool("bsdtar");
  TempDir dir;
  const auto data = sampleData();
  lzh::MemorySource src(data);
  lzh::VectorSink packed;
  lzh::EncodeResult r = lzh::encode(lzh::kDefaultMethod, src, packed, lzh::kDefaultEffort);
  writeFile(dir.path() + "/a.lzh", makeSingleMemberArchive(2, lzh::kDefaultMethod, "data.txt",
                                                           packed.data, r.originalSize, r.crc));
  ASSERT_EQ(run("7zz x -y -o" + quote(dir.path() + "/7z") + " " + quote(dir.path() + "/a.lzh") +
                " >/dev/null 2>&1"),
            0);
  EXPECT_TRUE(readFile(dir.path() + "/7z/data.txt") == data);
  ASSERT_EQ(run("mkdir " + quote(dir.path() + "/bt") + " && bsdtar -xf " +
                quote(dir.path() + "/a.lzh") + " -C " + quote(dir.path() + "/bt") + " 2>/dev/null"),
            0);
  EXPECT_TRUE(readFile(dir.path() + "/bt/data.txt") == data);
}

class JlhaMade : public ::testing::TestWithParam<char> {};

TEST_P(JlhaMade, DecodesBitExact) {
  requireTool("jlha");
  const char digit = GetParam();
  TempDir dir;
  const auto data = sampleData();
  writeFile(dir.path() + "/in.txt", data);
  ASSERT_EQ(run("cd " + quote(dir.path()) + " && jlha ao" + std::string(1, digit) +
                " j.lzh in.txt >/dev/null 2>&1"),
            0);
  auto archive = readFile(dir.path() + "/j.lzh");
  auto members = listMembers(archive);
  ASSERT_EQ(members.size(), 1u);
  const Member& m = members[0];
  EXPECT_EQ(m.method, std::string("-lh") + digit + "-");
  lzh::MemorySource in(archive.data() + m.dataOffset, m.packedSize);
  lzh::VectorSink out;
  lzh::DecodeResult r = lzh::decode(m.method, in, m.packedSize, out, m.originalSize);
  ASSERT_EQ(r.status, lzh::Status::ok) << r.message;
  EXPECT_EQ(r.crc, m.crc);
  EXPECT_TRUE(out.data == data);
}

INSTANTIATE_TEST_SUITE_P(Methods, JlhaMade, ::testing::Values('5', '6', '7'),
                         [](const auto& info) { return std::string("lh") + info.param; });

}  // namespace
