// What UnZip keeps from libarchive's decoders, entry by entry:
// - encrypted data of a method libarchive does not decrypt (it decrypts
//   stored and deflated data only, and takes other ciphertext for the
//   compressed stream);
// - LZMA and XZ streams that declare a dictionary beyond kDictionaryLimit;
// - an LZMA or XZ entry whose local header disagrees with the central
//   directory, which is what the check above reads.
// libarchive reads the local headers; the checks need the directory's view,
// so entries are found again by name.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>

#include "CentralDirectory.h"

namespace zipcore {

struct DecoderRefusal {
  std::string reason;    // empty: the entry may be decoded
  bool damaged = false;  // else it is one this library does not decode
};

class DecoderGate {
 public:
  explicit DecoderGate(const OpenedZip& directory);

  // Whether the entry libarchive is at may be decoded: name as decoded
  // (the directory's UTF-8), description as libarchive gives it ("ZIP 6.3
  // (lzma)", naming the local header's method or "aes"), encrypted as
  // libarchive sees it.
  DecoderRefusal Check(const std::string& name, const char* description, bool encrypted) const;

 private:
  const OpenedZip& directory_;
  std::unordered_multimap<std::string, std::size_t> byName_;
};

}  // namespace zipcore
