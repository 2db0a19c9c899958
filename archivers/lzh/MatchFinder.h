// The encoder's view of the input: a sliding buffer that keeps the dictionary
// behind the current position and some input ahead of it, and an index of
// earlier positions to find matches in: hash chains over 3- or 4-byte
// prefixes, or (for the best effort) one binary tree per prefix hash, sorted
// by the bytes that follow, which finds the longest matches without walking
// every earlier occurrence of a common prefix. It also keeps the CRC and size
// of everything read.
#pragma once

#include "LzhCodec.h"

#include <cstdint>
#include <vector>

namespace lzh {

enum class MatchIndex { chains, trees };

struct Match {
  std::uint32_t length;
  std::uint32_t distance;  // 1 = the byte just before
};

class MatchFinder {
 public:
  // `segment` is how much input is read ahead at a time.
  // `hashBytes` (3 or 4) is how long a prefix the chains index: 4 gives shorter chains
  // and misses only 3-byte matches.
  // With MatchIndex::trees, `treeDepth` bounds the nodes visited per position and a
  // match of `treeNice` bytes ends the search.
  MatchFinder(Source& in, int dictBits, std::size_t segment, int hashBytes = 3,
              MatchIndex index = MatchIndex::chains, int treeDepth = 0, std::uint32_t treeNice = 0);

  // Makes at least `ahead` bytes from buffer index p available when the input has
  // them; may slide the buffer, so it returns p's new index.
  std::size_t prepare(std::size_t p, std::size_t ahead) {
    if (end_ - p >= ahead || eof_) return p;
    return refill(p);
  }
  std::size_t available(std::size_t p) const { return end_ - p; }
  const std::uint8_t* data() const { return buf_.data(); }

  // Adds every position below p to the chains (positions are added once, in order).
  void insertUpTo(std::size_t p) {
    std::size_t stop = end_ >= minAvail_ ? std::min(p, end_ - minAvail_ + 1) : 0;
    if (index_ == MatchIndex::trees) {
      for (std::size_t i = inserted_; i < stop; ++i) treeStep(i, 0, nullptr);
      if (p > inserted_) inserted_ = p;
      return;
    }
    for (std::size_t i = inserted_; i < stop; ++i) {
      std::uint32_t h = hash(i);
      prev_[i] = head_[h];
      head_[h] = static_cast<std::int32_t>(i);
    }
    if (p > inserted_) inserted_ = p;
  }

  // Passes over positions below p without adding them (inside long matches, for speed).
  void skipUpTo(std::size_t p) {
    if (p > inserted_) inserted_ = p;
  }

  // The longest earlier match at p (which must not be inserted yet), at most maxLen
  // long, looking at no more than `chain` candidates and stopping at `nice`.
  Match longest(std::size_t p, std::uint32_t maxLen, int chain, std::uint32_t nice,
                std::uint32_t atLeast = 0) const;
  // Every match at p that is longer than all nearer ones, shortest first; returns how many.
  int all(std::size_t p, std::uint32_t maxLen, int chain, std::uint32_t nice, Match* out) const;
  // The same from the trees (MatchIndex::trees only): adds p to its tree, so p must be the
  // next position to insert, and every position from here on must go through this or
  // insertUpTo. At most kMaxMatch matches.
  int treeMatches(std::size_t p, std::uint32_t maxLen, Match* out) {
    insertUpTo(p);
    if (end_ < minAvail_ || p > end_ - minAvail_) return 0;
    const int n = treeStep(p, maxLen, out);
    inserted_ = p + 1;
    return n;
  }

  std::uint64_t consumed() const { return total_; }
  std::uint16_t crc() const { return crc_; }

  static std::uint32_t matchLength(const std::uint8_t* a, const std::uint8_t* b,
                                   std::uint32_t maxLen);

 private:
  std::size_t refill(std::size_t p);
  // Puts position i in its tree; when out is given, also lists the matches found on the
  // way that are longer than every nearer one (lengths capped at reportLen).
  int treeStep(std::size_t i, std::uint32_t reportLen, Match* out);
  std::uint32_t hash(std::size_t i) const {
    const std::uint8_t* b = buf_.data() + i;
    std::uint32_t v = (b[0] | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
                       (std::uint32_t{b[3]} << 24)) &
                      hashMask_;
    return (v * 2654435761u) >> (32 - hashBits_);
  }

  Source& in_;
  std::size_t dict_;
  int hashBits_;
  std::uint32_t hashMask_;
  std::size_t minAvail_;  // bytes a position needs ahead of it to be indexed
  std::vector<std::uint8_t> buf_;
  std::size_t capacity_;  // usable bytes of buf_ (the rest is zero padding for wide compares)
  std::size_t end_ = 0;
  bool eof_ = false;
  std::size_t inserted_ = 0;
  std::vector<std::int32_t> head_;
  std::vector<std::int32_t> prev_;  // chains: the next older position of the same hash
  MatchIndex index_;
  int treeDepth_;
  std::uint32_t treeNice_;
  std::vector<std::int32_t> smaller_;  // trees: the subtree of positions sorting below
  std::vector<std::int32_t> larger_;   // trees: the subtree of positions sorting above
  std::uint64_t total_ = 0;
  std::uint16_t crc_ = 0;
};

}  // namespace lzh
