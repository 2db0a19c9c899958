#include "Huffman.h"

#include "DataError.h"

#include <algorithm>
#include <numeric>

namespace lzh {

void HuffmanDecoder::buildSingle(int symbol) {
  single_ = true;
  singleSymbol_ = symbol;
  std::fill(table_.begin(), table_.end(), kDirect | static_cast<std::uint32_t>(symbol));
}

void HuffmanDecoder::build(const std::uint8_t* lengths, int n) {
  single_ = false;
  std::fill(std::begin(count_), std::end(count_), 0);
  for (int i = 0; i < n; ++i) {
    if (lengths[i] > kMaxCodeBits) throw DataError("ハフマン符号が 16 ビットを超えています");
    count_[lengths[i]]++;
  }
  count_[0] = 0;
  long left = 1;
  std::uint32_t code = 0, off = 0;
  for (int len = 1; len <= kMaxCodeBits; ++len) {
    left = left * 2 - count_[len];
    if (left < 0) throw DataError("ハフマン符号表が符号の数を超えています");
    first_[len] = code;
    offset_[len] = off;
    off += count_[len];
    code = (code + count_[len]) << 1;
  }
  sorted_.assign(off, 0);
  std::uint32_t next[kMaxCodeBits + 2];
  std::copy(std::begin(offset_), std::end(offset_), next);
  std::fill(table_.begin(), table_.end(), 0);
  for (int s = 0; s < n; ++s) {
    int len = lengths[s];
    if (!len) continue;
    std::uint32_t idx = next[len]++;
    sorted_[idx] = static_cast<std::uint16_t>(s);
    if (len <= tableBits_) {
      std::uint32_t c = first_[len] + (idx - offset_[len]);
      std::uint32_t startEntry = c << (tableBits_ - len);
      std::uint32_t span = 1u << (tableBits_ - len);
      std::uint32_t e =
          (static_cast<std::uint32_t>(len) << 16) | kDirect | static_cast<std::uint32_t>(s);
      std::fill(table_.begin() + startEntry, table_.begin() + startEntry + span, e);
    }
  }
}

int HuffmanDecoder::decodeSlow(BitReader& br) {
  std::uint32_t bits = br.peek(kMaxCodeBits);
  for (int len = tableBits_ + 1; len <= kMaxCodeBits; ++len) {
    std::uint32_t c = bits >> (kMaxCodeBits - len);
    std::uint32_t k = c - first_[len];
    if (c >= first_[len] && k < count_[len]) {
      br.consume(len);
      return sorted_[offset_[len] + k];
    }
  }
  throw DataError("圧縮データに定義されていないハフマン符号があります");
}

namespace {

// Plain Huffman code lengths by the two-queue method over leaves sorted by frequency.
int huffmanLengths(const std::vector<std::pair<std::uint32_t, int>>& leaves,
                   std::vector<int>& depth) {
  const int m = static_cast<int>(leaves.size());
  std::vector<std::uint64_t> weight(2 * m);
  std::vector<int> parent(2 * m, -1);
  for (int i = 0; i < m; ++i) weight[i] = leaves[i].first;
  int leaf = 0, inner = m, nextInner = m;
  auto takeMin = [&]() {
    if (leaf < m && (inner >= nextInner || weight[leaf] <= weight[inner])) return leaf++;
    return inner++;
  };
  for (int k = 0; k < m - 1; ++k) {
    int a = takeMin();
    int b = takeMin();
    weight[nextInner] = weight[a] + weight[b];
    parent[a] = parent[b] = nextInner;
    ++nextInner;
  }
  std::vector<int> d(2 * m, 0);
  int maxDepth = 0;
  for (int i = nextInner - 2; i >= 0; --i) {
    d[i] = d[parent[i]] + 1;
    if (i < m) maxDepth = std::max(maxDepth, d[i]);
  }
  depth.assign(d.begin(), d.begin() + m);
  return maxDepth;
}

}  // namespace

void buildCodeLengths(const std::uint32_t* freq, int n, int maxBits, std::uint8_t* lengths) {
  std::fill(lengths, lengths + n, 0);
  std::vector<std::pair<std::uint32_t, int>> leaves;
  for (int i = 0; i < n; ++i)
    if (freq[i]) leaves.emplace_back(freq[i], i);
  if (leaves.size() < 2) return;
  std::stable_sort(leaves.begin(), leaves.end(),
                   [](auto& a, auto& b) { return a.first < b.first; });
  std::vector<int> depth;
  // Flattening the frequencies until the tree fits keeps the code close to optimal.
  for (int shift = 0;; ++shift) {
    if (huffmanLengths(leaves, depth) <= maxBits) break;
    for (auto& l : leaves) l.first = std::max<std::uint32_t>(1, (l.first >> 1) | 1);
    std::stable_sort(leaves.begin(), leaves.end(),
                     [](auto& a, auto& b) { return a.first < b.first; });
  }
  for (std::size_t i = 0; i < leaves.size(); ++i)
    lengths[leaves[i].second] = static_cast<std::uint8_t>(depth[i]);
}

void assignCodes(const std::uint8_t* lengths, int n, std::uint16_t* codes) {
  std::uint32_t count[kMaxCodeBits + 2]{}, next[kMaxCodeBits + 2]{};
  for (int i = 0; i < n; ++i) count[lengths[i]]++;
  count[0] = 0;
  std::uint32_t code = 0;
  for (int len = 1; len <= kMaxCodeBits; ++len) {
    next[len] = code;
    code = (code + count[len]) << 1;
  }
  for (int i = 0; i < n; ++i)
    codes[i] = lengths[i] ? static_cast<std::uint16_t>(next[lengths[i]]++) : 0;
}

}  // namespace lzh
