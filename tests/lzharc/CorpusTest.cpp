// The shared corpus through the archive layer alone: every member of every
// archive whose methods the codec knows decodes to the expected CRC-32.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "lzharc/ArchiveReader.h"

namespace {

class Crc32Sink : public lzh::Sink {
 public:
  void write(const std::uint8_t* p, std::size_t n) override {
    for (std::size_t i = 0; i < n; ++i) {
      crc ^= p[i];
      for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    length += n;
  }
  std::uint32_t value() const { return ~crc; }
  std::uint32_t crc = 0xFFFFFFFFu;
  std::uint64_t length = 0;
};

TEST(Corpus, EveryDecodableArchiveMatchesItsExpectedCrc) {
  std::ifstream in(std::string(CORPUS_DIR) + "/EXPECTED.tsv");
  ASSERT_TRUE(in) << "corpus missing at " << CORPUS_DIR;
  int checked = 0, skipped = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::stringstream ss(line);
    std::string name, crcText;
    std::uint64_t length = 0;
    ss >> name >> crcText >> length;
    SCOPED_TRACE(name);
    const std::string path = std::string(CORPUS_DIR) + "/" + name;
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
      EXPECT_EQ(r.status, lzh::Status::ok) << m.path.Joined() << ": " << r.message;
    }
    ::close(fd);
    EXPECT_EQ(sink.length, length);
    EXPECT_EQ(sink.value(), std::stoul(crcText, nullptr, 16));
    ++checked;
  }
  EXPECT_GT(checked, 60);
  EXPECT_LE(skipped, 10);  // the PMarc archives
}

TEST(Corpus, TruncatedArchiveIsReportedNotRead) {
  const std::string path = std::string(CORPUS_DIR) + "/regression/truncated.lzh";
  int fd = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  auto index = lzh::ReadArchiveIndex(fd, path);
  ::close(fd);
  EXPECT_FALSE(index.ok);
  EXPECT_FALSE(index.message.empty());
}

}  // namespace
