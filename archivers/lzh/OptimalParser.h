// Cost-based parsing for the best effort: for a segment of input, every match
// (at each length, with the nearest offset that reaches it) is weighed in bits
// under a Huffman model of the data, the cheapest path through the segment is
// chosen, and the model is refined from that path and the segment parsed again.
#pragma once

#include "BlockEncoder.h"
#include "MatchFinder.h"

namespace lzh {

struct OptimalConfig {
  int chain;           // hash-chain candidates (or tree nodes) examined per position
  std::uint32_t nice;  // a match this long is taken as it is
  int firstPasses;     // parses of the first segment, each with the model of the one before
  int passes;          // parses of every later segment (its first uses the previous model)
  bool trees;          // the match finder keeps binary trees (MatchIndex::trees)
};

inline constexpr std::size_t kOptimalSegment = 1 << 15;

void parseOptimal(MatchFinder& mf, BlockEncoder& out, const OptimalConfig& cfg);

}  // namespace lzh
