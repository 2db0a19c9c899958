// The shared corpus through the archive layer alone: every member of every
// archive whose methods the codec knows decodes to the expected CRC-32.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "lzharc/ArchiveReader.h"
#include "tests/support/Corpus.h"
#include "tests/support/Crc32.h"

namespace {

using testing_support::CorpusDir;

class Crc32Sink : public lzh::Sink {
 public:
  void write(const std::uint8_t* p, std::size_t n) override {
    crc = testing_support::Crc32(p, n, crc);
    length += n;
  }
  std::uint32_t crc = 0;
  std::uint64_t length = 0;
};

TEST(Corpus, EveryDecodableArchiveMatchesItsExpectedCrc) {
  const auto rows = testing_support::CorpusRows("lzh");
  ASSERT_FALSE(rows.empty()) << "corpus missing at " << CorpusDir("lzh");
  int checked = 0, skipped = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.archive);
    const std::string path = CorpusDir("lzh") + "/" + row.archive;
    int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    auto index = lzh::ReadArchiveIndex(fd, path);
    ASSERT_TRUE(index.ok) << index.message;
    bool decodable = true;
    for (auto& m : index.members)
      decodable = decodable && (m.header.isDirectory() || lzh::canDecode(m.header.method));
    if (!decodable) {
      ++skipped;
      ::close(fd);
      continue;
    }
    Crc32Sink sink;
    for (auto& m : index.members) {
      auto r = lzh::DecodeMember(fd, path, m, sink);
      EXPECT_EQ(r.status, lzh::Status::kOk) << m.path.Joined() << ": " << r.message;
    }
    ::close(fd);
    EXPECT_EQ(sink.length, row.length);
    EXPECT_EQ(sink.crc, row.crc);
    ++checked;
  }
  EXPECT_GT(checked, 60);
  EXPECT_LE(skipped, 10);  // the PMarc archives
}

TEST(Corpus, TruncatedArchiveIsReportedNotRead) {
  const std::string path = CorpusDir("lzh") + "/regression/truncated.lzh";
  int fd = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  auto index = lzh::ReadArchiveIndex(fd, path);
  ::close(fd);
  EXPECT_FALSE(index.ok);
  EXPECT_FALSE(index.message.empty());
}

}  // namespace
