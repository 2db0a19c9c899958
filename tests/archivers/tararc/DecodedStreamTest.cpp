// The decoded streams read back what gzip (two members), xz and zstd wrote,
// decoded ahead whole, past a small bound (the rest decoded as read) or as
// read from the start; and damage is found wherever it sits, by DecodeAhead
// itself when the stream fits.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <memory>

#include "tararc/GzipStream.h"
#include "tararc/XzStream.h"
#include "tararc/ZstdStream.h"
#include "tests/support/Command.h"
#include "tests/support/Files.h"
#include "tests/support/GeneratedData.h"
#include "tests/support/TempDirFixture.h"

namespace {

using namespace testing_support;
using tararc::DecodedStream;

struct Codec {
  const char* name;
  const char* make;  // writes f.z from a and b (in that order)
  std::function<std::unique_ptr<DecodedStream>(int)> open;
  bool trailingIgnored;
};

const Codec kCodecs[] = {
    {"gzip", "gzip -6 -c a > f.z && gzip -1 -c b >> f.z",
     [](int fd) { return std::make_unique<tararc::GzipStream>(fd, 0); }, true},
    {"xz", "cat a b | xz -6 -c > f.z",
     [](int fd) { return std::make_unique<tararc::XzStream>(fd, 0); }, false},
    {"zstd", "cat a b | zstd -q --check -c > f.z",
     [](int fd) { return std::make_unique<tararc::ZstdStream>(fd, 0); }, false},
};

void PrintTo(const Codec& c, std::ostream* os) { *os << c.name; }

constexpr std::size_t kNotAhead = 0;

class DecodedStreamTest : public TempDirFixture, public ::testing::WithParamInterface<Codec> {
 protected:
  // What the stream in file decodes to with the bound (kNotAhead: read as
  // it comes); throws StreamError. Sets *aheadThrew when DecodeAhead did.
  std::string Decode(const std::string& file, std::size_t limit, bool* aheadThrew = nullptr) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_GE(fd, 0);
    struct Closer {
      int fd;
      ~Closer() { ::close(fd); }
    } closer{fd};
    auto s = GetParam().open(fd);
    if (limit != kNotAhead) {
      try {
        s->DecodeAhead(limit);
      } catch (const tararc::StreamError&) {
        if (aheadThrew) *aheadThrew = true;
        throw;
      }
    }
    std::string out;
    char buf[70000];
    for (std::size_t n; (n = s->Read(buf, sizeof buf)) > 0;) out.append(buf, n);
    s->Finish();
    return out;
  }

  std::string MakeStream() {
    // Beyond the 256 KiB a read decodes, and partly stored (random bytes).
    Write("a", LogText(900000, 1) + RandomBytes(300000, 2));
    Write("b", LogText(400000, 3));
    EXPECT_EQ(Shell(GetParam().make, dir_.string()), 0);
    return ReadFile(P("f.z"));
  }
};

TEST_P(DecodedStreamTest, ReadsBackWhatTheToolWrote) {
  MakeStream();
  const std::string want = ReadFile(P("a")) + ReadFile(P("b"));
  for (std::size_t limit : {DecodedStream::kAheadLimit, std::size_t{5000}, kNotAhead}) {
    SCOPED_TRACE(limit);
    EXPECT_EQ(Decode(P("f.z"), limit), want);
  }
}

TEST_P(DecodedStreamTest, DamageIsFoundWhereverItSits) {
  const std::string good = MakeStream();
  std::string end = good, middle = good;
  end[good.size() - 6] ^= 0x04;  // gzip's CRC-32, xz's footer, zstd's last block
  middle[good.size() / 3] ^= 0x40;
  struct Harm {
    const char* what;
    std::string bytes;
  };
  const Harm harms[] = {
      {"the last byte cut", good.substr(0, good.size() - 1)},
      {"cut in half", good.substr(0, good.size() / 2)},
      {"a byte of the end flipped", end},
      {"a byte in the first third flipped", middle},
      {"empty", ""},
  };
  for (const auto& h : harms) {
    WriteFile(P("bad.z"), h.bytes);
    for (std::size_t limit : {DecodedStream::kAheadLimit, std::size_t{5000}, kNotAhead}) {
      SCOPED_TRACE(std::string(h.what) + ", bound " + std::to_string(limit));
      bool aheadThrew = false;
      EXPECT_THROW(Decode(P("bad.z"), limit, &aheadThrew), tararc::StreamError);
      // Decoded ahead whole, the damage is known before a byte is read.
      if (limit == DecodedStream::kAheadLimit) {
        EXPECT_TRUE(aheadThrew);
      }
    }
  }
  // Bytes after the stream: gzip ignores what starts no member, as gzip does.
  WriteFile(P("tail.z"), good + "not a stream");
  if (GetParam().trailingIgnored) {
    EXPECT_EQ(Decode(P("tail.z"), DecodedStream::kAheadLimit).size(), 1600000u);
  } else {
    EXPECT_THROW(Decode(P("tail.z"), DecodedStream::kAheadLimit), tararc::StreamError);
  }
}

INSTANTIATE_TEST_SUITE_P(Codecs, DecodedStreamTest, ::testing::ValuesIn(kCodecs),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
