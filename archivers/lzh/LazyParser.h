// Greedy and lazy parsing for the fast efforts: take the longest match found
// along a bounded hash chain, or (lazy) defer it by one byte when the next
// position offers a longer one.
#pragma once

#include "BlockEncoder.h"
#include "MatchFinder.h"

namespace lzh {

struct LazyConfig {
  int chain;                  // hash-chain candidates examined per position
  std::uint32_t nice;         // a match this long ends the search
  std::uint32_t lazy;         // 0 = greedy; else look one byte further only below this length
  std::uint32_t good;         // a deferred match this long shortens the next search
  std::uint32_t insertLimit;  // greedy: positions inside longer matches are not indexed
  int hashBytes;              // prefix length the hash chains index (3 or 4)
};

void parseLazy(MatchFinder& mf, BlockEncoder& out, const LazyConfig& cfg);

}  // namespace lzh
