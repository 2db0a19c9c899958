// Damaged input must give status failed with a message (or, for a flip the codes
// cannot notice, ok with a CRC that differs), never a crash, a hang or a read past
// the packed size; an I/O failure of the Source or Sink must come out unchanged.
#include "LzhCodec.h"
#include "TestLzhContainer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <stdexcept>

#include "tests/support/Corpus.h"
#include "tests/support/Files.h"
#include "tests/support/MemoryStreams.h"

using namespace lzhtest;

namespace {

struct Stream {
  std::string method;
  std::vector<std::uint8_t> packed;
  std::vector<std::uint8_t> original;
};

Stream ours(const char* method, int effort) {
  Stream s{method, {}, syntheticLog(300000, 5)};
  auto noise = randomBytes(20000, 6);
  s.original.insert(s.original.end(), noise.begin(), noise.end());
  lzh::MemorySource src(s.original);
  lzh::VectorSink out;
  lzh::encode(method, src, out, effort);
  s.packed = out.data;
  return s;
}

// The first member of a corpus archive, for the methods we only decode.
Stream fromCorpus(const std::string& file) {
  auto archive = testing_support::ReadBytes(testing_support::CorpusDir("lzh") + "/" + file);
  auto m = listMembers(archive).at(0);
  Stream s{m.method,
           {archive.begin() + static_cast<long>(m.dataOffset),
            archive.begin() + static_cast<long>(m.dataOffset + m.packedSize)},
           {}};
  lzh::MemorySource in(s.packed);
  lzh::VectorSink out;
  lzh::decode(s.method, in, s.packed.size(), out, m.originalSize);
  s.original = out.data;
  return s;
}

std::vector<Stream> allStreams() {
  return {ours("-lh5-", 5),
          ours("-lh6-", 9),
          ours("-lh7-", 1),
          ours("-lh0-", 5),
          fromCorpus("lharc113/long.lzh"),
          fromCorpus("generated/lzs/long.lzs"),
          fromCorpus("larc333/long.lzs"),
          fromCorpus("larc333/lz4.lzs")};
}

TEST(Damage, TruncatedStreamsFail) {
  for (const Stream& s : allStreams()) {
    SCOPED_TRACE(s.method);
    ASSERT_FALSE(s.original.empty());
    for (std::size_t keep :
         {std::size_t{0}, std::size_t{1}, s.packed.size() / 3, s.packed.size() - 1}) {
      // The source holds everything, but the packed size says less: nothing past it may be read.
      lzh::MemorySource in(s.packed);
      lzh::VectorSink out;
      lzh::DecodeResult r = lzh::decode(s.method, in, keep, out, s.original.size());
      EXPECT_EQ(r.status, lzh::Status::kFailed) << "kept " << keep;
      EXPECT_FALSE(r.message.empty());
      EXPECT_LE(in.position(), keep);
      EXPECT_LT(r.written, s.original.size());
      EXPECT_EQ(r.written, out.data.size());
    }
    // The source itself ends early.
    lzh::MemorySource shortIn(s.packed.data(), s.packed.size() / 2);
    lzh::VectorSink out;
    EXPECT_EQ(lzh::decode(s.method, shortIn, s.packed.size(), out, s.original.size()).status,
              lzh::Status::kFailed);
  }
}

TEST(Damage, OriginalSizeTooBigFails) {
  for (const Stream& s : allStreams()) {
    SCOPED_TRACE(s.method);
    lzh::MemorySource in(s.packed);
    lzh::VectorSink out;
    lzh::DecodeResult r = lzh::decode(s.method, in, s.packed.size(), out, s.original.size() + 1000);
    EXPECT_EQ(r.status, lzh::Status::kFailed);
    ASSERT_GE(out.data.size(), s.original.size());
    EXPECT_TRUE(std::equal(s.original.begin(), s.original.end(), out.data.begin()));
  }
}

TEST(Damage, FlippedBitsNeverCrashOrPassUnnoticed) {
  std::mt19937 rng(1234);
  for (const Stream& s : allStreams()) {
    SCOPED_TRACE(s.method);
    if (s.method == "-lh0-" || s.method == "-lz4-")
      continue;  // stored data has no structure to break
    int failed = 0;
    for (int trial = 0; trial < 150; ++trial) {
      auto bad = s.packed;
      std::size_t at = rng() % bad.size();
      bad[at] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
      lzh::MemorySource in(bad);
      lzh::VectorSink out;
      auto t0 = std::chrono::steady_clock::now();
      lzh::DecodeResult r = lzh::decode(s.method, in, bad.size(), out, s.original.size());
      EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
      EXPECT_LE(out.data.size(), s.original.size());
      EXPECT_EQ(r.written, out.data.size());
      if (r.status == lzh::Status::kFailed) {
        ++failed;
        EXPECT_FALSE(r.message.empty());
      } else {
        // Undetected by the codes: the data differs, and so does its CRC (almost always).
        EXPECT_EQ(r.crc, referenceCrc16(out.data));
      }
    }
    if (s.method != "-lzs-" && s.method != "-lz5-") {
      EXPECT_GT(failed, 0);
    }
  }
}

TEST(Damage, GarbageWithAHugeOriginalSizeEndsQuickly) {
  for (const char* method :
       {"-lh1-", "-lh4-", "-lh5-", "-lh6-", "-lh7-", "-lzs-", "-lz5-", "-lh0-"}) {
    SCOPED_TRACE(method);
    for (std::uint32_t seed : {0u, 1u, 2u}) {
      std::vector<std::uint8_t> junk =
          seed == 0 ? std::vector<std::uint8_t>(256, 0) : randomBytes(4096, seed);
      if (seed == 2) std::fill(junk.begin(), junk.end(), 0xFF);
      lzh::MemorySource in(junk);
      lzh::VectorSink out;
      lzh::DecodeResult r = lzh::decode(method, in, junk.size(), out, std::uint64_t{1} << 40);
      EXPECT_EQ(r.status, lzh::Status::kFailed);
      EXPECT_LT(out.data.size(), std::size_t{64} << 20);
    }
  }
}

// Test doubles for failing devices: they give or take N bytes, then throw.
struct DeviceFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class FailingSource : public lzh::Source {
 public:
  FailingSource(const std::vector<std::uint8_t>& data, std::size_t failAfter)
      : data_(data), failAfter_(failAfter) {}
  std::size_t read(std::uint8_t* buf, std::size_t n) override {
    if (pos_ >= failAfter_) throw DeviceFailure("read error");
    n = std::min({n, data_.size() - pos_, failAfter_ - pos_});
    std::copy_n(data_.begin() + static_cast<long>(pos_), n, buf);
    pos_ += n;
    return n;
  }

 private:
  const std::vector<std::uint8_t>& data_;
  std::size_t failAfter_;
  std::size_t pos_ = 0;
};

class FailingSink : public lzh::Sink {
 public:
  explicit FailingSink(std::size_t failAfter) : failAfter_(failAfter) {}
  void write(const std::uint8_t*, std::size_t n) override {
    if (taken_ + n > failAfter_) throw DeviceFailure("disk full");
    taken_ += n;
  }

 private:
  std::size_t failAfter_;
  std::size_t taken_ = 0;
};

TEST(IoFailure, PropagatesFromEncode) {
  auto data = syntheticLog(2 << 20, 8);
  for (const char* method : {"-lh0-", "-lh5-", "-lh7-"}) {
    for (int effort : {1, 9}) {
      FailingSource badIn(data, 700000);
      lzh::VectorSink out;
      EXPECT_THROW(lzh::encode(method, badIn, out, effort), DeviceFailure) << method;
      lzh::MemorySource in(data);
      FailingSink badOut(1000);
      EXPECT_THROW(lzh::encode(method, in, badOut, effort), DeviceFailure) << method;
    }
  }
}

TEST(IoFailure, PropagatesFromDecode) {
  for (const Stream& s : allStreams()) {
    SCOPED_TRACE(s.method);
    FailingSource badIn(s.packed, s.packed.size() / 2);
    lzh::VectorSink out;
    EXPECT_THROW(lzh::decode(s.method, badIn, s.packed.size(), out, s.original.size()),
                 DeviceFailure);
    lzh::MemorySource in(s.packed);
    FailingSink badOut(s.original.size() / 2);
    EXPECT_THROW(lzh::decode(s.method, in, s.packed.size(), badOut, s.original.size()),
                 DeviceFailure);
  }
}

}  // namespace
