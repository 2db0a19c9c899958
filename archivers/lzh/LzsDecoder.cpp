// -lzs-: a flag bit, then either a literal byte or an 11-bit ring position and a 4-bit length.
#include "Methods.h"

#include <algorithm>

namespace lzh {

void decodeLzs(BitReader& br, DecodeWindow& w, std::uint64_t originalSize) {
  while (w.written() < originalSize) {
    if (br.get(1)) {
      w.put(static_cast<std::uint8_t>(br.get(8)));
    } else {
      std::uint32_t pos = br.get(11);
      std::uint64_t len = br.get(4) + 2;
      w.copyFrom(pos, static_cast<std::size_t>(std::min(len, originalSize - w.written())));
    }
  }
}

}  // namespace lzh
