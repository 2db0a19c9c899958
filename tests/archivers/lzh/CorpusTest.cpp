// Data compressed by other programs, located in their archives with the test walker:
// every member must decode to its header CRC, and every archive to the CRC-32 listed
// in the corpus's EXPECTED.tsv.
#include "LzhCodec.h"
#include "TestLzhContainer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "tests/support/Corpus.h"
#include "tests/support/Crc32.h"
#include "tests/support/Files.h"
#include "tests/support/MemoryStreams.h"

namespace {

const std::string kCorpus = testing_support::CorpusDir("lzh");

struct Decoded {
  bool ok = true;
  std::string problem;
  std::uint32_t crc32 = 0;
  std::uint64_t length = 0;
  std::set<std::string> methods;
};

Decoded decodeArchive(const std::string& path) {
  Decoded d;
  auto archive = testing_support::ReadBytes(path);
  for (const auto& m : lzhtest::listMembers(archive)) {
    if (m.method == "-lhd-") continue;
    d.methods.insert(m.method);
    if (!lzh::canDecode(m.method)) {
      d.ok = false;
      d.problem = "method " + m.method;
      return d;
    }
    lzh::MemorySource in(archive.data() + m.dataOffset, m.packedSize);
    lzh::VectorSink out;
    lzh::DecodeResult r = lzh::decode(m.method, in, m.packedSize, out, m.originalSize);
    if (r.status != lzh::Status::kOk || r.crc != m.crc || out.data.size() != m.originalSize ||
        r.crc != lzhtest::referenceCrc16(out.data)) {
      d.ok = false;
      d.problem = m.name + " (" + m.method + "): " + r.message + " crc " + std::to_string(r.crc) +
                  " vs header " + std::to_string(m.crc);
      return d;
    }
    d.crc32 = testing_support::Crc32(out.data.data(), out.data.size(), d.crc32);
    d.length += out.data.size();
  }
  return d;
}

TEST(Corpus, EveryListedArchiveDecodesToItsExpectedCrc) {
  const auto rows = testing_support::CorpusRows("lzh");
  ASSERT_FALSE(rows.empty()) << "corpus missing at " << kCorpus;
  std::set<std::string> methodsSeen;
  int checked = 0;
  for (const auto& row : rows) {
    const std::string& name = row.archive;
    if (name.ends_with(".pma")) continue;           // another family of methods, not ours
    if (name.starts_with("regression/")) continue;  // header damage, covered by the archive layer
    SCOPED_TRACE(name);
    Decoded d = decodeArchive(kCorpus + "/" + name);
    EXPECT_TRUE(d.ok) << d.problem;
    if (!d.ok) continue;
    EXPECT_EQ(d.crc32, row.crc);
    EXPECT_EQ(d.length, row.length);
    methodsSeen.insert(d.methods.begin(), d.methods.end());
    ++checked;
  }
  EXPECT_GT(checked, 60);
  for (const char* m : {"-lh0-", "-lh1-", "-lh5-", "-lh6-", "-lh7-", "-lzs-", "-lz4-", "-lz5-"})
    EXPECT_TRUE(methodsSeen.count(m)) << m << " not covered";
}

// Archives outside EXPECTED.tsv (odd lengths, edge cases): each member against its header CRC.
TEST(Corpus, UnlistedArchivesMatchTheirHeaderCrcs) {
  int checked = 0;
  // (lhark04d is left out: its -lh7- is a different, incompatible method under the same id.)
  for (const char* dir : {"lengths", "lha_unix114i", "lh2_222", "larc333"}) {
    for (const auto& e : std::filesystem::directory_iterator(kCorpus + "/" + dir)) {
      std::string ext = e.path().extension().string();
      if (ext != ".lzh" && ext != ".lzs") continue;
      SCOPED_TRACE(e.path().string());
      Decoded d = decodeArchive(e.path().string());
      EXPECT_TRUE(d.ok) << d.problem;
      ++checked;
    }
  }
  EXPECT_GT(checked, 20);
}

}  // namespace
