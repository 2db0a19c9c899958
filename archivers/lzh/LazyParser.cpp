#include "LazyParser.h"

#include <algorithm>

namespace lzh {
namespace {

constexpr std::size_t kAhead = kMaxMatch + 2;
// A 3-byte match this far back costs more than three literals.
constexpr std::uint32_t kTooFar = 8192;

Match usable(Match m) {
  if (m.length < kMinMatch || (m.length == kMinMatch && m.distance > kTooFar)) return {0, 0};
  return m;
}

void parseGreedy(MatchFinder& mf, BlockEncoder& out, const LazyConfig& cfg) {
  std::size_t p = 0;
  for (;;) {
    p = mf.prepare(p, kAhead);
    std::size_t avail = mf.available(p);
    if (avail == 0) break;
    const auto maxLen = static_cast<std::uint32_t>(std::min<std::size_t>(kMaxMatch, avail));
    mf.insertUpTo(p);
    Match m = usable(mf.longest(p, maxLen, cfg.chain, cfg.nice));
    if (m.length) {
      out.match(m.length, m.distance);
      if (m.length > cfg.insertLimit) {
        mf.insertUpTo(p + 1);
        mf.skipUpTo(p + m.length);
      }
      p += m.length;
    } else {
      out.literal(mf.data()[p]);
      ++p;
    }
  }
}

}  // namespace

void parseLazy(MatchFinder& mf, BlockEncoder& out, const LazyConfig& cfg) {
  if (cfg.lazy == 0) {
    parseGreedy(mf, out, cfg);
    return;
  }
  std::size_t p = 0;
  Match prev{0, 0};
  bool pending = false;  // the byte at p - 1 is not yet sent
  for (;;) {
    p = mf.prepare(p, kAhead);
    std::size_t avail = mf.available(p);
    if (avail == 0) break;
    const auto maxLen = static_cast<std::uint32_t>(std::min<std::size_t>(kMaxMatch, avail));
    mf.insertUpTo(p);
    Match cur{0, 0};
    if (prev.length < cfg.lazy) {
      int chain = prev.length >= cfg.good ? cfg.chain / 4 + 1 : cfg.chain;
      cur = usable(mf.longest(p, maxLen, chain, cfg.nice, prev.length));
    }
    if (prev.length >= kMinMatch && cur.length <= prev.length) {
      out.match(prev.length, prev.distance);
      p = p - 1 + prev.length;
      prev = {0, 0};
      pending = false;
      continue;
    }
    if (pending) out.literal(mf.data()[p - 1]);
    prev = cur;
    pending = true;
    ++p;
  }
  if (pending) {
    if (prev.length >= kMinMatch)
      out.match(prev.length, prev.distance);
    else
      out.literal(mf.data()[p - 1]);
  }
}

}  // namespace lzh
