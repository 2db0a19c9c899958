// lzharc_header_fuzz: the member header parser and the name decoder on any
// bytes, walking header after header as the archive reader does; and the
// MacBinary header check on the first 128 bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "lzharc/EntryName.h"
#include "lzharc/HeaderParser.h"
#include "lzharc/MacBinary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size >= lzh::kMacBinaryHeaderLength) {
    const auto fork = lzh::ReadMacBinaryHeader(data, size);
    if (fork && fork->offset + fork->length > size) std::abort();
  }
  std::size_t pos = 0;
  for (int members = 0; members < 1000 && pos <= size; ++members) {
    lzh::EntryHeader h;
    lzh::ParseResult r = lzh::ParseHeader(data + pos, size - pos, h);
    if (r.status == lzh::ParseStatus::needMore) {
      if (r.needed <= size - pos) std::abort();  // asked for less than it had
      break;
    }
    if (r.status != lzh::ParseStatus::ok) break;
    if (h.headerLength == 0 || h.headerLength > size - pos) std::abort();
    lzh::EntryPath path = lzh::DecodeEntryPath(h);
    (void)path.Joined();
    (void)lzh::PrintableName(path.Name());
    const std::size_t left = size - pos - h.headerLength;
    if (h.packedSize > left) break;
    pos += h.headerLength + static_cast<std::size_t>(h.packedSize);
  }
  return 0;
}
