// -lh5- to -lh7- compression: the effort picks the parser and how hard the match finder searches.
// Settings were chosen with bench/lzh/run.sh on a month of generated logs: effort 5 (the default)
// is smaller and faster than gzip -6 there; effort 9 is smaller than 7zz's Deflate64 at -mx9.
#include "BlockEncoder.h"
#include "LazyParser.h"
#include "MatchFinder.h"
#include "Methods.h"
#include "OptimalParser.h"

#include <algorithm>

namespace lzh {
namespace {

constexpr std::size_t kReadAhead = 1 << 18;

constexpr LazyConfig kLazyConfigs[] = {
    // chain, nice, lazy, good, insertLimit, hashBytes
    {4, 32, 0, 0, 8, 4},        // 1
    {8, 64, 0, 0, 32, 4},       // 2
    {16, 128, 0, 0, 256, 4},    // 3
    {16, 64, 16, 8, 0, 4},      // 4
    {24, 96, 24, 12, 0, 4},     // 5
    {32, 128, 32, 16, 0, 4},    // 6
    {64, 256, 128, 32, 0, 4},   // 7
    {256, 256, 256, 64, 0, 4},  // 8
};

// Binary trees find the long matches of logs (many lines share their first bytes) in a few
// dozen steps where hash chains walked hundreds. Only the first segment, which starts from a
// guessed model, is parsed twice: later ones start from the previous segment's model, and a
// second pass gains them about 0.1%.
constexpr OptimalConfig kOptimalConfig{24, 256, 3, 1, true};

}  // namespace

EncodeResult encodeNew(Source& in, Sink& out, int effort, std::uint64_t packedLimit,
                       const NewMethodParams& p) {
  effort = std::clamp(effort, 1, 9);
  EncodeResult r;
  MatchFinder mf =
      effort == 9 ? MatchFinder(in, p.dictBits, kReadAhead, 3, MatchIndex::trees,
                                kOptimalConfig.chain, kOptimalConfig.nice)
                  : MatchFinder(in, p.dictBits, kReadAhead, kLazyConfigs[effort - 1].hashBytes);
  BitWriter bw(out, packedLimit);
  BlockEncoder blocks(bw, p.np, p.pbit);
  try {
    if (effort == 9)
      parseOptimal(mf, blocks, kOptimalConfig);
    else
      parseLazy(mf, blocks, kLazyConfigs[effort - 1]);
    blocks.writeBlock();
    bw.finish();
  } catch (const LimitReached&) {
    r.limitReached = true;
  }
  r.originalSize = mf.consumed();
  r.crc = mf.crc();
  r.packedSize = bw.bytes();
  return r;
}

}  // namespace lzh
