// -lh1-: LZSS over a 4 KiB ring. Characters and lengths (314 symbols: 256 bytes and
// the lengths 3..60) use an adaptive Huffman tree that is updated after every symbol
// and halved when the root count reaches 0x8000. A match offset is a fixed prefix
// code for its upper 6 bits followed by 6 plain bits.
#include "DataError.h"
#include "Methods.h"

#include <algorithm>
#include <cstring>

namespace lzh {
namespace {

constexpr int kChars = 314;            // 256 literals + lengths 3..60
constexpr int kTree = 2 * kChars - 1;  // nodes
constexpr int kRoot = kTree - 1;
constexpr unsigned kMaxFreq = 0x8000;

class AdaptiveTree {
 public:
  AdaptiveTree() {
    for (int i = 0; i < kChars; ++i) {
      freq_[i] = 1;
      son_[i] = i + kTree;
      parent_[i + kTree] = i;
    }
    for (int i = 0, j = kChars; j <= kRoot; i += 2, ++j) {
      freq_[j] = freq_[i] + freq_[i + 1];
      son_[j] = i;
      parent_[i] = parent_[i + 1] = j;
    }
    freq_[kTree] = 0xFFFF;
    parent_[kRoot] = 0;
  }

  int decode(BitReader& br) {
    int c = son_[kRoot];
    while (c < kTree) c = son_[c + static_cast<int>(br.get(1))];
    c -= kTree;
    update(c);
    return c;
  }

 private:
  void rebuild() {
    int j = 0;
    for (int i = 0; i < kTree; ++i) {
      if (son_[i] >= kTree) {
        freq_[j] = (freq_[i] + 1) / 2;
        son_[j] = son_[i];
        ++j;
      }
    }
    for (int i = 0, k = kChars; k < kTree; i += 2, ++k) {
      unsigned f = freq_[i] + freq_[i + 1];
      freq_[k] = f;
      int l = k - 1;
      while (f < freq_[l]) --l;
      ++l;
      std::memmove(&freq_[l + 1], &freq_[l], (k - l) * sizeof freq_[0]);
      freq_[l] = f;
      std::memmove(&son_[l + 1], &son_[l], (k - l) * sizeof son_[0]);
      son_[l] = i;
    }
    for (int i = 0; i < kTree; ++i) {
      int k = son_[i];
      parent_[k] = i;
      if (k < kTree) parent_[k + 1] = i;
    }
  }

  void update(int c) {
    if (freq_[kRoot] == kMaxFreq) rebuild();
    c = parent_[c + kTree];
    do {
      unsigned k = ++freq_[c];
      int l = c + 1;
      if (k > freq_[l]) {
        while (k > freq_[++l]) {
        }
        --l;
        freq_[c] = freq_[l];
        freq_[l] = k;
        int i = son_[c];
        parent_[i] = l;
        if (i < kTree) parent_[i + 1] = l;
        int j = son_[l];
        son_[l] = i;
        parent_[j] = c;
        if (j < kTree) parent_[j + 1] = c;
        son_[c] = j;
        c = l;
      }
      c = parent_[c];
    } while (c != 0);
  }

  unsigned freq_[kTree + 1];
  int parent_[kTree + kChars];
  int son_[kTree];
};

// Upper 6 bits of an offset: code 0 has 3 bits, 1-3 have 4, 4-11 have 5, 12-23 have 6,
// 24-47 have 7 and 48-63 have 8, assigned in order.
int decodeOffsetHigh(BitReader& br) {
  static constexpr int kCount[9] = {0, 0, 0, 1, 3, 8, 12, 24, 16};
  std::uint32_t bits = br.peek(8);
  std::uint32_t first = 0;
  int symbol = 0;
  for (int len = 3; len <= 8; ++len) {
    std::uint32_t c = bits >> (8 - len);
    if (c - first < static_cast<std::uint32_t>(kCount[len])) {
      br.consume(len);
      return symbol + static_cast<int>(c - first);
    }
    symbol += kCount[len];
    first = (first + kCount[len]) << 1;
  }
  return 0;  // unreachable: the code is complete
}

}  // namespace

void decodeLh1(BitReader& br, DecodeWindow& w, std::uint64_t originalSize) {
  AdaptiveTree tree;
  while (w.written() < originalSize) {
    int c = tree.decode(br);
    if (c < 256) {
      w.put(static_cast<std::uint8_t>(c));
    } else {
      std::size_t offset = (static_cast<std::size_t>(decodeOffsetHigh(br)) << 6) | br.get(6);
      std::uint64_t len = static_cast<std::uint64_t>(c - 256 + 3);
      w.copyBack(offset, static_cast<std::size_t>(std::min(len, originalSize - w.written())));
    }
  }
}

}  // namespace lzh
