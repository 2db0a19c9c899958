// -lh4- to -lh7-: blocks, each a 16-bit symbol count and three code tables (the
// code-length code, the literal/length code, the offset code), then the symbols.
#include "DataError.h"
#include "Huffman.h"
#include "Methods.h"
#include "NewFormat.h"

#include <algorithm>

namespace lzh {
namespace {

class NewDecoder {
 public:
  NewDecoder(BitReader& br, DecodeWindow& w, const NewMethodParams& p)
      : br_(br), w_(w), params_(p) {}

  void run(std::uint64_t originalSize) {
    originalSize_ = originalSize;
    const std::size_t dictSize =
        params_.maxDistance ? params_.maxDistance : std::size_t{1} << params_.dictBits;
    std::uint64_t left = originalSize - std::min(originalSize, w_.written());
    while (left > 0) {
      if (blockLeft_ == 0) readBlockHeader();
      --blockLeft_;
      // A match takes the most bits: its code, its offset code and up to 15 offset bits.
      br_.ensure(2 * kMaxCodeBits + 15);
      int c = c_.decodeReady(br_);
      if (c < 256) {
        w_.put(static_cast<std::uint8_t>(c));
        --left;
        continue;
      }
      std::uint64_t len = static_cast<std::uint64_t>(c - 256 + kMinMatch);
      int pc = offsets_.decodeReady(br_);
      std::size_t dist = static_cast<std::size_t>(pc);
      if (pc > 1) dist = (std::size_t{1} << (pc - 1)) | br_.getReady(pc - 1);
      if (dist >= dictSize) throw DataError("一致の距離が辞書の大きさを超えています");
      const std::uint64_t n = std::min(len, left);
      w_.copyBack(dist, static_cast<std::size_t>(n));
      left -= n;
    }
  }

 private:
  void readBlockHeader() {
    blockLeft_ = br_.get(16);
    if (blockLeft_ == 0) blockLeft_ = 65536;  // a count that wrapped round
    readLengthTable(t_, kNT, kTBit, kTSpecial, "符号長");
    readLiteralTable();
    readLengthTable(offsets_, params_.np, params_.pbit, -1, "距離");
    checkReachable();
  }

  // A block yields at most 65536 matches of 256 bytes however few bits it
  // spends, and no block header is shorter than every table declared as a
  // single code. When even that cannot reach the stated size, the data is
  // damaged; saying so now keeps a tiny member that claims terabytes from
  // decoding gigabytes first.
  void checkReachable() const {
    constexpr std::uint64_t kMostPerBlock = std::uint64_t{65536} * kMaxMatch;
    const std::uint64_t headerBits = 16 + 2 * kTBit + 2 * kCBit + 2 * params_.pbit;
    const std::uint64_t blocks = br_.bitsLeft() / headerBits;
    const std::uint64_t here = w_.written() + std::uint64_t{blockLeft_} * kMaxMatch;
    if (here >= originalSize_) return;
    if (blocks >= (originalSize_ - here - 1) / kMostPerBlock + 1) return;
    throw DataError("圧縮データが記録されたサイズに対して短すぎます");
  }

  // The code-length code and the offset code: 3-bit lengths, 7 extended by a unary count.
  void readLengthTable(HuffmanDecoder& d, int maxN, int nbits, int special, const char* what) {
    int n = static_cast<int>(br_.get(nbits));
    if (n == 0) {
      int s = static_cast<int>(br_.get(nbits));
      if (s >= maxN) throw DataError(std::string(what) + "の表が範囲外の記号を指しています");
      d.buildSingle(s);
      return;
    }
    if (n > maxN) throw DataError(std::string(what) + "の表が長すぎます");
    std::uint8_t len[kNT > kMaxNP ? kNT : kMaxNP] = {};
    int i = 0;
    while (i < n) {
      int c = static_cast<int>(br_.get(3));
      if (c == 7) {
        while (br_.get(1)) {
          if (++c > kMaxCodeBits)
            throw DataError(std::string(what) + "の表に 16 ビットを超える符号があります");
        }
      }
      len[i++] = static_cast<std::uint8_t>(c);
      if (i == special) {
        int zeros = static_cast<int>(br_.get(2));
        while (zeros-- > 0 && i < n) len[i++] = 0;
      }
    }
    d.build(len, n);
  }

  void readLiteralTable() {
    int n = static_cast<int>(br_.get(kCBit));
    if (n == 0) {
      int s = static_cast<int>(br_.get(kCBit));
      if (s >= kNC) throw DataError("文字の表が範囲外の記号を指しています");
      c_.buildSingle(s);
      return;
    }
    if (n > kNC) throw DataError("文字の表が長すぎます");
    std::uint8_t len[kNC] = {};
    int i = 0;
    while (i < n) {
      int c = t_.decode(br_);
      if (c <= 2) {
        int zeros = c == 0   ? 1
                    : c == 1 ? static_cast<int>(br_.get(4)) + 3
                             : static_cast<int>(br_.get(kCBit)) + 20;
        while (zeros-- > 0 && i < n) len[i++] = 0;
      } else {
        len[i++] = static_cast<std::uint8_t>(c - 2);
      }
    }
    c_.build(len, n);
  }

  BitReader& br_;
  DecodeWindow& w_;
  NewMethodParams params_;
  std::uint32_t blockLeft_ = 0;
  std::uint64_t originalSize_ = 0;
  HuffmanDecoder t_{8};
  HuffmanDecoder c_{10};
  HuffmanDecoder offsets_{8};
};

}  // namespace

void decodeNew(BitReader& br, DecodeWindow& w, std::uint64_t originalSize,
               const NewMethodParams& p) {
  NewDecoder(br, w, p).run(originalSize);
}

}  // namespace lzh
