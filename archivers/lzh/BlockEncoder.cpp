#include "BlockEncoder.h"

#include "Huffman.h"

#include <algorithm>

namespace lzh {

void BlockEncoder::writeLengthTable(const std::uint8_t* len, int n, int nbits, int special) {
  while (n > 0 && len[n - 1] == 0) --n;
  bw_.put(nbits, static_cast<std::uint32_t>(n));
  int i = 0;
  while (i < n) {
    int k = len[i++];
    if (k <= 6)
      bw_.put(3, static_cast<std::uint32_t>(k));
    else
      bw_.put(k - 3, (1u << (k - 3)) - 2);  // 111, then k-7 ones and a zero
    if (i == special) {
      int j = i;
      while (j < 6 && j < n && len[j] == 0) ++j;
      bw_.put(2, static_cast<std::uint32_t>(j - i));
      i = j;
    }
  }
}

void BlockEncoder::writeBlock() {
  const std::size_t count = sym_.size();
  if (count == 0) return;
  std::uint32_t freqC[kNC] = {}, freqP[kMaxNP] = {};
  for (std::size_t i = 0; i < count; ++i) {
    freqC[sym_[i]]++;
    if (sym_[i] >= 256) freqP[offsetCode(dist_[i] + 1u)]++;
  }
  std::uint8_t lenC[kNC], lenP[kMaxNP], lenT[kNT];
  std::uint16_t codeC[kNC], codeP[kMaxNP], codeT[kNT];
  buildCodeLengths(freqC, kNC, kMaxCodeBits, lenC);
  buildCodeLengths(freqP, np_, kMaxCodeBits, lenP);
  assignCodes(lenC, kNC, codeC);
  assignCodes(lenP, np_, codeP);

  bw_.put(16, static_cast<std::uint32_t>(count));
  int usedC =
      static_cast<int>(std::count_if(freqC, freqC + kNC, [](std::uint32_t f) { return f != 0; }));
  if (usedC <= 1) {
    int only = static_cast<int>(
        std::find_if(freqC, freqC + kNC, [](std::uint32_t f) { return f != 0; }) - freqC);
    bw_.put(kTBit, 0);
    bw_.put(kTBit, 0);
    bw_.put(kCBit, 0);
    bw_.put(kCBit, static_cast<std::uint32_t>(only));
  } else {
    int n = kNC;
    while (n > 0 && lenC[n - 1] == 0) --n;
    // Lengths are sent with the code-length code: 0 = one zero, 1 = 3..18 zeros
    // (4 more bits), 2 = 20 or more zeros (9 more bits), k+2 = length k.
    std::uint32_t freqT[kNT] = {};
    for (int i = 0; i < n;) {
      if (lenC[i]) {
        freqT[lenC[i++] + 2]++;
        continue;
      }
      int run = 0;
      while (i < n && lenC[i] == 0) ++i, ++run;
      if (run <= 2)
        freqT[0] += static_cast<std::uint32_t>(run);
      else if (run <= 18)
        freqT[1]++;
      else if (run == 19)
        freqT[0]++, freqT[1]++;
      else
        freqT[2]++;
    }
    buildCodeLengths(freqT, kNT, kMaxCodeBits, lenT);
    assignCodes(lenT, kNT, codeT);
    int usedT =
        static_cast<int>(std::count_if(freqT, freqT + kNT, [](std::uint32_t f) { return f != 0; }));
    if (usedT <= 1) {
      int only = static_cast<int>(
          std::find_if(freqT, freqT + kNT, [](std::uint32_t f) { return f != 0; }) - freqT);
      bw_.put(kTBit, 0);
      bw_.put(kTBit, static_cast<std::uint32_t>(only));
    } else {
      writeLengthTable(lenT, kNT, kTBit, kTSpecial);
    }
    auto putT = [&](int s) { bw_.put(lenT[s], codeT[s]); };
    bw_.put(kCBit, static_cast<std::uint32_t>(n));
    for (int i = 0; i < n;) {
      if (lenC[i]) {
        putT(lenC[i++] + 2);
        continue;
      }
      int run = 0;
      while (i < n && lenC[i] == 0) ++i, ++run;
      if (run <= 2) {
        for (int k = 0; k < run; ++k) putT(0);
      } else if (run <= 18) {
        putT(1);
        bw_.put(4, static_cast<std::uint32_t>(run - 3));
      } else if (run == 19) {
        putT(0);
        putT(1);
        bw_.put(4, 15);
      } else {
        putT(2);
        bw_.put(kCBit, static_cast<std::uint32_t>(run - 20));
      }
    }
  }
  int usedP =
      static_cast<int>(std::count_if(freqP, freqP + np_, [](std::uint32_t f) { return f != 0; }));
  if (usedP <= 1) {
    int only = static_cast<int>(
        std::find_if(freqP, freqP + np_, [](std::uint32_t f) { return f != 0; }) - freqP);
    if (only >= np_) only = 0;
    bw_.put(pbit_, 0);
    bw_.put(pbit_, static_cast<std::uint32_t>(only));
  } else {
    writeLengthTable(lenP, np_, pbit_, -1);
  }

  for (std::size_t i = 0; i < count; ++i) {
    int s = sym_[i];
    bw_.put(lenC[s], codeC[s]);
    if (s >= 256) {
      std::uint32_t d = dist_[i];
      int pc = offsetCode(d + 1);
      bw_.put(lenP[pc], codeP[pc]);
      if (pc > 1) bw_.put(pc - 1, d - (1u << (pc - 1)));
    }
  }
  sym_.clear();
  dist_.clear();
  bw_.checkLimit();
}

}  // namespace lzh
