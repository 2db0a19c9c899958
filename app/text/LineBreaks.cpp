#include "app/text/LineBreaks.h"

#include <cstring>

namespace pelsok::app {
namespace {

// Sixteen bytes compared at once (the compiler's vector extension; plain
// SSE2 on x86-64, NEON on ARM).
using TBytes16 = unsigned char __attribute__((vector_size(16)));
using TMask16 = signed char __attribute__((vector_size(16)));

}  // namespace

std::uint64_t CountLineBreaks(std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  std::uint64_t count = 0;
  const TBytes16 breaks = {'\n', '\n', '\n', '\n', '\n', '\n', '\n', '\n',
                           '\n', '\n', '\n', '\n', '\n', '\n', '\n', '\n'};
  while (end - p >= 16) {
    // Each lane counts up to 255 blocks before it is added up.
    TBytes16 lanes = {};
    for (int block = 0; block < 255 && end - p >= 16; ++block, p += 16) {
      TBytes16 bytes;
      std::memcpy(&bytes, p, sizeof bytes);
      lanes -= reinterpret_cast<TBytes16>(static_cast<TMask16>(bytes == breaks));
    }
    for (int i = 0; i < 16; ++i) count += lanes[i];
  }
  for (; p != end; ++p) count += *p == '\n' ? 1 : 0;
  return count;
}

}  // namespace pelsok::app
