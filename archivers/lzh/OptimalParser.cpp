#include "OptimalParser.h"

#include "Huffman.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace lzh {
namespace {

constexpr std::size_t kAhead = kOptimalSegment + kMaxMatch + 2;
constexpr int kMaxMatchesKept = 24;

// Bits a symbol costs under the current model.
struct CostModel {
  std::uint32_t sym[kNC];
  std::uint32_t offset[kMaxNP];

  void initial(int np) {
    for (int s = 0; s < 256; ++s) sym[s] = 8;
    for (int s = 256; s < kNC; ++s) sym[s] = 6 + std::min(8, (s - 256) / 16);
    for (int c = 0; c < np; ++c) offset[c] = 4 + static_cast<std::uint32_t>(offsetExtraBits(c));
  }
  void fromFrequencies(const std::uint32_t* freqC, const std::uint32_t* freqP, int np) {
    std::uint8_t lenC[kNC], lenP[kMaxNP];
    buildCodeLengths(freqC, kNC, kMaxCodeBits, lenC);
    buildCodeLengths(freqP, np, kMaxCodeBits, lenP);
    for (int s = 0; s < kNC; ++s) sym[s] = lenC[s] ? lenC[s] : (freqC[s] ? 1 : 15);
    for (int c = 0; c < np; ++c)
      offset[c] = (lenP[c] ? lenP[c] : (freqP[c] ? 1 : 12)) +
                  static_cast<std::uint32_t>(offsetExtraBits(c));
  }
  std::uint32_t distance(std::uint32_t d) const { return offset[offsetCode(d)]; }
};

struct Step {
  std::uint32_t cost;
  std::uint16_t length;  // 1 = literal
  std::uint32_t distance;
};

}  // namespace

void parseOptimal(MatchFinder& mf, BlockEncoder& out, const OptimalConfig& cfg) {
  const int np = out.np();
  CostModel model;
  model.initial(np);
  std::vector<Match> matches(kOptimalSegment * kMaxMatchesKept / 4);
  std::vector<std::uint32_t> first(kOptimalSegment + 1);
  std::vector<Step> steps(kOptimalSegment + 1);
  std::vector<std::pair<std::uint16_t, std::uint32_t>> path;
  Match found[kMaxMatch];
  std::size_t p = 0;
  bool firstSegment = true;
  for (;;) {
    p = mf.prepare(p, kAhead);
    const std::size_t n = std::min(kOptimalSegment, mf.available(p));
    if (n == 0) break;
    const std::uint8_t* data = mf.data() + p;

    // Gather the candidate matches of every position in the segment.
    std::size_t used = 0;
    std::size_t skipUntil = 0;
    for (std::size_t i = 0; i < n; ++i) {
      first[i] = static_cast<std::uint32_t>(used);
      if (i < skipUntil) continue;
      mf.insertUpTo(p + i);
      const auto maxLen = static_cast<std::uint32_t>(std::min<std::size_t>(kMaxMatch, n - i));
      int k = cfg.trees ? mf.treeMatches(p + i, maxLen, found)
                        : mf.all(p + i, maxLen, cfg.chain, cfg.nice, found);
      int from = std::max(0, k - kMaxMatchesKept);
      if (used + static_cast<std::size_t>(k - from) > matches.size())
        matches.resize(matches.size() * 2);
      for (int j = from; j < k; ++j) matches[used++] = found[j];
      if (k > 0 && found[k - 1].length >= cfg.nice) skipUntil = i + found[k - 1].length;
    }
    first[n] = static_cast<std::uint32_t>(used);
    mf.insertUpTo(p + n);

    const int passes = firstSegment ? cfg.firstPasses : cfg.passes;
    firstSegment = false;
    for (int pass = 0; pass < passes; ++pass) {
      constexpr std::uint32_t kInf = std::numeric_limits<std::uint32_t>::max();
      for (std::size_t i = 1; i <= n; ++i) steps[i].cost = kInf;
      steps[0].cost = 0;
      for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t base = steps[i].cost;
        std::uint32_t c = base + model.sym[data[i]];
        if (c < steps[i + 1].cost) steps[i + 1] = {c, 1, 0};
        std::uint32_t shortest = kMinMatch;
        for (std::uint32_t m = first[i]; m < first[i + 1]; ++m) {
          const Match mt = matches[m];
          const std::uint32_t withOffset = base + model.distance(mt.distance);
          for (std::uint32_t len = shortest; len <= mt.length; ++len) {
            std::uint32_t cl = withOffset + model.sym[256 + len - kMinMatch];
            if (cl < steps[i + len].cost)
              steps[i + len] = {cl, static_cast<std::uint16_t>(len), mt.distance};
          }
          shortest = mt.length + 1;
        }
      }
      path.clear();
      for (std::size_t i = n; i > 0; i -= steps[i].length)
        path.emplace_back(steps[i].length, steps[i].distance);
      std::reverse(path.begin(), path.end());
      {  // the model for the next pass, and for the next segment
        std::uint32_t freqC[kNC] = {}, freqP[kMaxNP] = {};
        std::size_t at = 0;
        for (auto& [len, dist] : path) {
          if (len == 1)
            freqC[data[at]]++;
          else
            freqC[256 + len - kMinMatch]++, freqP[offsetCode(dist)]++;
          at += len;
        }
        model.fromFrequencies(freqC, freqP, np);
      }
    }
    std::size_t at = 0;
    for (auto& [len, dist] : path) {
      if (len == 1)
        out.literal(data[at]);
      else
        out.match(len, dist);
      at += len;
    }
    p += n;
  }
}

}  // namespace lzh
