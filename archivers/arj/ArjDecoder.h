// Decodes one member's data (any method 0-4) to a Sink and checks its
// length and CRC-32.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ArjHeader.h"
#include "lzh/LzhCodec.h"

namespace arj {

struct DecodeOutcome {
  bool ok = false;
  bool cancelled = false;  // the counter asked to stop
  std::string message;     // why not, for the report
};

// Called with the number of bytes just written; answering false stops the
// decoding with the message "cancelled".
using ByteCounter = std::function<bool(std::uint64_t)>;

// Reads header.packedSize bytes from `in`. Damaged data, a wrong length or
// CRC give ok = false with a message; I/O errors of in and out propagate.
DecodeOutcome DecodeData(const Header& header, lzh::Source& in, lzh::Sink& out,
                         const ByteCounter& counter = {});

// Why a member cannot be decoded at all (encrypted, unknown method), or ""
// when it can. A part of a member split across volumes decodes on its own.
std::string Unsupported(const Header& header);

}  // namespace arj
