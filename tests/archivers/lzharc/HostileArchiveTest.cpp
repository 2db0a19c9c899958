// Archives other LZH programs write, and archives made to hurt a reader,
// all built by HostileArchives: long chains of extended headers, members
// that claim far more than their data holds, UTF-16 names, MacBinary
// members and absolute names.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "HostileArchives.h"
#include "lzh/Crc16.h"
#include "lzharc/ArchiveReader.h"
#include "lzharc/HeaderParser.h"
#include "lzharc/SafeExtractor.h"
#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

namespace {

using namespace lzhtest;
using testing_support::ReadFile;
using testing_support::TempDir;

class CountingSink : public lzh::Sink {
 public:
  void write(const std::uint8_t* p, std::size_t n) override {
    crc = lzh::crc16(crc, p, n);
    length += n;
  }
  std::uint64_t length = 0;
  std::uint16_t crc = 0;
};

class VectorSink : public lzh::Sink {
 public:
  void write(const std::uint8_t* p, std::size_t n) override { data.insert(data.end(), p, p + n); }
  std::string Text() const { return std::string(data.begin(), data.end()); }
  Bytes data;
};

class HostileArchiveTest : public ::testing::Test {
 protected:
  // Writes the archive and reads its index; the file stays open for decoding.
  lzh::ArchiveIndex Read(const Bytes& archive) {
    path_ = dir_ / "A.LZH";
    testing_support::WriteFile(path_, archive);
    if (fd_ >= 0) ::close(fd_);
    fd_ = ::open(path_.c_str(), O_RDONLY);
    return lzh::ReadArchiveIndex(fd_, path_);
  }
  lzh::MemberResult Decode(const lzh::ArchiveMember& m, lzh::Sink& out) {
    return lzh::DecodeMember(fd_, path_, m, out);
  }
  ~HostileArchiveTest() override {
    if (fd_ >= 0) ::close(fd_);
  }

  TempDir dir_;
  std::string path_;
  int fd_ = -1;
};

Extension Ext(std::uint8_t type, const Bytes& data) { return Extension{type, data}; }

Bytes Wide64(std::uint64_t packed, std::uint64_t original) {
  Bytes b;
  for (std::uint64_t v : {packed, original})
    for (int i = 0; i < 8; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  return b;
}

TEST_F(HostileArchiveTest, ChainsOfEmptyExtendedHeadersEndQuickly) {
  // 1 MB of three-byte extended headers in one level 1 header.
  const Bytes chain = EmptyExtensionChain(349000);
  ASSERT_GT(chain.size(), 1000000u);
  const auto start = std::chrono::steady_clock::now();
  lzh::ArchiveIndex index = Read(Archive({chain}));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_FALSE(index.ok);
  EXPECT_NE(index.message.find("拡張ヘッダーが多すぎます"), std::string::npos) << index.message;
  EXPECT_LT(seconds, 1.0);  // a backstop: it took minutes when each header meant a re-parse

  // Up to the limit the chain is read, and the members after it too.
  lzh::EntryHeader h;
  const Bytes atLimit = EmptyExtensionChain(lzh::kMaxExtendedHeaders);
  EXPECT_EQ(lzh::ParseHeader(atLimit.data(), atLimit.size(), h).status, lzh::ParseStatus::ok);
  MemberSpec next;
  next.name = "next.log";
  next.data = Text("next");
  index = Read(Archive({atLimit, Level1Member(next)}));
  ASSERT_TRUE(index.ok) << index.message;
  ASSERT_EQ(index.members.size(), 2u);
  EXPECT_EQ(index.members[1].path.Joined(), "next.log");
  const Bytes overLimit = EmptyExtensionChain(lzh::kMaxExtendedHeaders + 1);
  EXPECT_EQ(lzh::ParseHeader(overLimit.data(), overLimit.size(), h).status,
            lzh::ParseStatus::damaged);
}

TEST_F(HostileArchiveTest, MembersClaimingMoreThanTheirDataCanHoldFailBeforeWriting) {
  struct Row {
    std::size_t blocks;
    std::uint64_t claimed;
  } rows[] = {
      {256, std::uint64_t{1} << 40},                  // 1,664 bytes that claim 1 TiB
      {4, std::uint64_t{4} << 30},                    // 26 bytes that claim 4 GiB
      {2, kSingleCodeBlockOutput + 65536 * 256 + 1},  // one byte more than two blocks hold
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.claimed);
    MemberSpec s;
    s.method = "-lh5-";
    s.data = SingleCodeBlocks(row.blocks);
    s.originalSize = row.claimed;
    s.extensions = {Ext(0x01, Text("bomb.log")), Ext(0x42, Wide64(s.data.size(), row.claimed))};
    lzh::ArchiveIndex index = Read(Archive({Level2Member(s)}));
    ASSERT_TRUE(index.ok) << index.message;
    ASSERT_EQ(index.members.at(0).header.originalSize, row.claimed);
    CountingSink out;
    lzh::MemberResult r = Decode(index.members[0], out);
    EXPECT_EQ(r.status, lzh::Status::kFailed);
    EXPECT_NE(r.message.find("記録されたサイズに対して短すぎます"), std::string::npos) << r.message;
    EXPECT_EQ(out.length, 0u);  // refused before anything was decoded
  }

  // The same blocks with an honest size decode in full.
  MemberSpec s;
  s.method = "-lh5-";
  s.data = SingleCodeBlocks(2);
  s.originalSize = 2 * kSingleCodeBlockOutput;
  const Bytes spaces(65536, ' ');  // matches one byte back copy the window's initial spaces
  for (std::uint64_t left = s.originalSize; left;) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, spaces.size()));
    s.crc = lzh::crc16(s.crc, spaces.data(), n);
    left -= n;
  }
  s.extensions = {Ext(0x01, Text("honest.log"))};
  lzh::ArchiveIndex index = Read(Archive({Level2Member(s)}));
  ASSERT_TRUE(index.ok) << index.message;
  CountingSink out;
  lzh::MemberResult r = Decode(index.members.at(0), out);
  EXPECT_EQ(r.status, lzh::Status::kOk) << r.message;
  EXPECT_EQ(out.length, s.originalSize);
}

TEST_F(HostileArchiveTest, Utf16NamesWinOverThePlaceholder) {
  const auto member = [](int level, const std::string& ansi, std::vector<Extension> ext) {
    MemberSpec s;
    s.data = Text("data");
    if (level == 1) {
      s.name = ansi;
    } else {
      ext.insert(ext.begin(), Ext(0x01, Text(ansi)));
    }
    s.extensions = std::move(ext);
    return level == 1 ? Level1Member(s) : Level2Member(s);
  };
  struct Row {
    Bytes member;
    std::string path;
  } rows[] = {
      {member(2, "______.log", {Ext(0x44, Utf16Le(u"ログ.log"))}), "ログ.log"},
      {member(1, "______.log",
              {Ext(0x44, Utf16Le(u"ログ.log")), Ext(0x45, Utf16Le(u"フォルダ\uFFFFsub\uFFFF"))}),
       "フォルダ/sub/ログ.log"},
      {member(2, "a.log", {Ext(0x02, Text("old\xFF")), Ext(0x45, Utf16Le(u"新\\旧"))}),
       "新/旧/a.log"},
      {member(2, "______", {Ext(0x02, Text("dir\xFF")), Ext(0x44, Utf16Le(u"😀.log"))}),
       "dir/😀.log"},
      {member(2, "x",
              {Ext(0x44, Utf16Le(u"a\xD800"
                                 "b.log"))}),
       "a\uFFFDb.log"},
      {member(2, "y", {Ext(0x44, Utf16Le(std::u16string(u"z.log\0junk", 10)))}), "z.log"},
  };
  std::vector<Bytes> members;
  for (const Row& row : rows) members.push_back(row.member);
  lzh::ArchiveIndex index = Read(Archive(members));
  ASSERT_TRUE(index.ok) << index.message;
  ASSERT_EQ(index.members.size(), std::size(rows));
  lzh::SafeExtractor extractor(dir_ / "out", {});
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].path);
    EXPECT_EQ(index.members[i].path.Joined(), rows[i].path);
    EXPECT_EQ(extractor.Extract(fd_, path_, index.members[i]).outcome,
              lzh::ExtractOutcome::written);
    EXPECT_EQ(ReadFile(dir_ / ("out/" + rows[i].path)), "data");
  }
  // A UTF-16 name that climbs out is refused like any other.
  index = Read(Archive({member(2, "safe.log", {Ext(0x44, Utf16Le(u"..\\up.log"))})}));
  ASSERT_TRUE(index.ok) << index.message;
  EXPECT_TRUE(index.members.at(0).path.hasParent);
}

TEST_F(HostileArchiveTest, MacBinaryMembersGiveTheirDataFork) {
  const Bytes data = Text("data fork of a Mac file\n");
  const Bytes resource(300, 0xA5);
  const Bytes v2 = MacBinaryImage("Read Me", data, resource, true);
  const auto member = [](std::uint8_t osId, const Bytes& image) {
    MemberSpec s;
    s.name = "Read Me";
    s.osId = osId;
    s.data = image;
    return Level1Member(s);
  };
  const auto changed = [&](std::size_t at, std::uint8_t value) {
    Bytes b = v2;
    b[at] = value;
    return b;
  };
  Bytes longer = v2;
  longer.push_back(0);
  Bytes noResourcePadding = v2;
  noResourcePadding.resize(v2.size() - (384 - resource.size()));
  struct Row {
    const char* what;
    Bytes member;
    bool fork;
  } rows[] = {
      {"MacBinary II", member('m', v2), true},
      {"MacBinary I", member('m', MacBinaryImage("Read Me", data, resource, false)), true},
      {"last fork unpadded", member('m', noResourcePadding), true},
      {"not from a Mac", member('U', v2), false},
      {"header CRC wrong", member('m', changed(124, v2[124] ^ 1)), false},
      {"version not 0", member('m', changed(0, 1)), false},
      {"no name", member('m', changed(1, 0)), false},
      {"name too long", member('m', changed(1, 64)), false},
      {"fill byte set", member('m', changed(74, 1)), false},
      {"forks do not add up", member('m', longer), false},
      {"shorter than a header", member('m', Bytes(data)), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    lzh::ArchiveIndex index = Read(Archive({row.member}));
    ASSERT_TRUE(index.ok) << index.message;
    const lzh::ArchiveMember& m = index.members.at(0);
    EXPECT_EQ(m.macDataFork.has_value(), row.fork);
    VectorSink out;
    lzh::MemberResult r = Decode(m, out);
    ASSERT_EQ(r.status, lzh::Status::kOk) << r.message;
    if (row.fork) {
      EXPECT_EQ(m.listedSize(), data.size());
      EXPECT_EQ(out.data, data);
    } else {
      EXPECT_EQ(m.listedSize(), m.header.originalSize);
      EXPECT_EQ(out.data.size(), m.header.originalSize);
    }
  }
  // Extracted, the file holds the data fork under the member's name.
  lzh::ArchiveIndex index = Read(Archive({member('m', v2)}));
  ASSERT_TRUE(index.ok) << index.message;
  lzh::SafeExtractor extractor(dir_ / "out", {});
  EXPECT_EQ(extractor.Extract(fd_, path_, index.members.at(0)).outcome,
            lzh::ExtractOutcome::written);
  EXPECT_EQ(ReadFile(dir_ / "out/Read Me"), "data fork of a Mac file\n");
}

}  // namespace
