#include "MatchFinder.h"

#include "Crc16.h"
#include "NewFormat.h"

#include <algorithm>
#include <cstring>

namespace lzh {

MatchFinder::MatchFinder(Source& in, int dictBits, std::size_t segment, int hashBytes,
                         MatchIndex index, int treeDepth, std::uint32_t treeNice)
    : in_(in),
      dict_(std::size_t{1} << dictBits),
      hashBits_(dictBits >= 15 ? 16 : 15),
      hashMask_(hashBytes >= 4 ? 0xFFFFFFFFu : 0x00FFFFFFu),
      minAvail_(hashBytes >= 4 ? 4 : 3),
      buf_(dict_ + segment + 1024 + 16, 0),
      capacity_(dict_ + segment + 1024),
      head_(std::size_t{1} << hashBits_, -1),
      prev_(index == MatchIndex::chains ? capacity_ : 0, -1),
      index_(index),
      treeDepth_(treeDepth),
      treeNice_(treeNice),
      smaller_(index == MatchIndex::trees ? capacity_ : 0, -1),
      larger_(index == MatchIndex::trees ? capacity_ : 0, -1) {}

std::size_t MatchFinder::refill(std::size_t p) {
  if (p > dict_ && end_ == capacity_) {
    // Keep the dictionary behind p; drop what is older.
    std::size_t delta = p - dict_;
    std::memmove(buf_.data(), buf_.data() + delta, end_ - delta);
    end_ -= delta;
    p -= delta;
    inserted_ -= delta;
    auto shift = [delta](std::int32_t v) {
      return v >= static_cast<std::int32_t>(delta) ? v - static_cast<std::int32_t>(delta) : -1;
    };
    for (auto& h : head_) h = shift(h);
    if (index_ == MatchIndex::chains) {
      for (std::size_t i = 0; i < inserted_; ++i) prev_[i] = shift(prev_[i + delta]);
    } else {
      for (std::size_t i = 0; i < inserted_; ++i) {
        smaller_[i] = shift(smaller_[i + delta]);
        larger_[i] = shift(larger_[i + delta]);
      }
    }
  }
  while (end_ < capacity_) {
    std::size_t n = in_.read(buf_.data() + end_, capacity_ - end_);
    if (n == 0) {
      eof_ = true;
      break;
    }
    crc_ = crc16(crc_, buf_.data() + end_, n);
    total_ += n;
    end_ += n;
  }
  std::fill(buf_.begin() + static_cast<std::ptrdiff_t>(end_),
            buf_.begin() + static_cast<std::ptrdiff_t>(std::min(end_ + 16, buf_.size())), 0);
  return p;
}

std::uint32_t MatchFinder::matchLength(const std::uint8_t* a, const std::uint8_t* b,
                                       std::uint32_t maxLen) {
  std::uint32_t n = 0;
  while (n + 8 <= maxLen) {
    std::uint64_t x, y;
    std::memcpy(&x, a + n, 8);
    std::memcpy(&y, b + n, 8);
    if (x != y) return n + static_cast<std::uint32_t>(__builtin_ctzll(x ^ y) >> 3);
    n += 8;
  }
  while (n < maxLen && a[n] == b[n]) ++n;
  return n;
}

Match MatchFinder::longest(std::size_t p, std::uint32_t maxLen, int chain, std::uint32_t nice,
                           std::uint32_t atLeast) const {
  Match best{atLeast, 0};
  if (maxLen < 3 || end_ - p < minAvail_) return {0, 0};
  const std::uint8_t* cur = buf_.data() + p;
  std::int32_t cand = head_[hash(p)];
  const std::int32_t lowest = p > dict_ ? static_cast<std::int32_t>(p - dict_) : 0;
  while (cand >= lowest && chain-- > 0) {
    const std::uint8_t* c = buf_.data() + cand;
    if (c[best.length] == cur[best.length] && c[0] == cur[0] && c[1] == cur[1]) {
      std::uint32_t len = matchLength(c, cur, maxLen);
      if (len > best.length) {
        best = {len, static_cast<std::uint32_t>(p - static_cast<std::size_t>(cand))};
        if (len >= nice || len >= maxLen) break;
      }
    }
    cand = prev_[cand];
  }
  if (best.distance == 0) return {0, 0};
  return best;
}

int MatchFinder::all(std::size_t p, std::uint32_t maxLen, int chain, std::uint32_t nice,
                     Match* out) const {
  int count = 0;
  if (maxLen < 3 || end_ - p < minAvail_) return 0;
  const std::uint8_t* cur = buf_.data() + p;
  std::int32_t cand = head_[hash(p)];
  const std::int32_t lowest = p > dict_ ? static_cast<std::int32_t>(p - dict_) : 0;
  std::uint32_t bestLen = 2;
  while (cand >= lowest && chain-- > 0) {
    const std::uint8_t* c = buf_.data() + cand;
    if (c[bestLen] == cur[bestLen]) {
      std::uint32_t len = matchLength(c, cur, maxLen);
      if (len > bestLen) {
        bestLen = len;
        out[count++] = {len, static_cast<std::uint32_t>(p - static_cast<std::size_t>(cand))};
        if (len >= nice || len >= maxLen) break;
      }
    }
    cand = prev_[cand];
  }
  return count;
}

int MatchFinder::treeStep(std::size_t i, std::uint32_t reportLen, Match* out) {
  // Walks down from the newest position of i's hash, which i replaces as the root:
  // every node passed sorts either below i (and joins i's smaller subtree) or above
  // it (and joins the larger one), as in a splay of the tree at i.
  const std::uint32_t limit =
      static_cast<std::uint32_t>(std::min<std::size_t>(kMaxMatch, end_ - i));
  const std::uint8_t* cur = buf_.data() + i;
  const std::uint32_t h = hash(i);
  std::int32_t node = head_[h];
  head_[h] = static_cast<std::int32_t>(i);
  const std::int32_t lowest = i > dict_ ? static_cast<std::int32_t>(i - dict_) : 0;
  std::int32_t* smallerSlot = &smaller_[i];
  std::int32_t* largerSlot = &larger_[i];
  std::uint32_t smallerLen = 0, largerLen = 0;  // bytes every node below each slot shares
  std::uint32_t best = 2;
  int count = 0;
  for (int depth = treeDepth_; node >= lowest && depth > 0; --depth) {
    const std::uint8_t* c = buf_.data() + node;
    std::uint32_t len = std::min(smallerLen, largerLen);
    len += matchLength(c + len, cur + len, limit - len);
    if (len > best) {
      best = len;
      const std::uint32_t reported = std::min(len, reportLen);
      if (out && reported >= static_cast<std::uint32_t>(kMinMatch) &&
          (count == 0 || reported > out[count - 1].length))
        out[count++] = {reported, static_cast<std::uint32_t>(i - static_cast<std::size_t>(node))};
    }
    if (len >= limit || len >= treeNice_) {
      // i equals node as far as we look: node's subtrees become i's.
      *smallerSlot = smaller_[node];
      *largerSlot = larger_[node];
      return count;
    }
    if (c[len] < cur[len]) {
      *smallerSlot = node;
      smallerSlot = &larger_[node];
      node = *smallerSlot;
      smallerLen = len;
    } else {
      *largerSlot = node;
      largerSlot = &smaller_[node];
      node = *largerSlot;
      largerLen = len;
    }
  }
  *smallerSlot = -1;
  *largerSlot = -1;
  return count;
}

}  // namespace lzh
