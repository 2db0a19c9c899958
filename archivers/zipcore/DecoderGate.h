// What UnZip keeps from libarchive's decoders, entry by entry:
// - encrypted data of a method libarchive does not decrypt (it decrypts
//   stored and deflated data only, and takes other ciphertext for the
//   compressed stream);
// - LZMA and XZ streams that declare a dictionary beyond kDictionaryLimit,
//   read from the very bytes libarchive is about to decode, wherever its
//   view of the archive puts them.
#pragma once

#include <cstdint>
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
  // archive: the file libarchive reads; directory: libzip's view of it, for
  // the method of WinZip AES entries.
  DecoderGate(const std::string& archive, const OpenedZip& directory);
  ~DecoderGate();
  DecoderGate(const DecoderGate&) = delete;
  DecoderGate& operator=(const DecoderGate&) = delete;

  // Whether the entry libarchive is at may be decoded. name: as decoded
  // (the directory's UTF-8); description: as libarchive gives it ("ZIP 6.3
  // (lzma)", naming the local header's method or "aes"); encrypted: as
  // libarchive sees it; dataOffset: where libarchive stands in the file,
  // at the start of the entry's data.
  DecoderRefusal Check(const std::string& name, const char* description, bool encrypted,
                       std::int64_t dataOffset) const;

 private:
  int fd_ = -1;
  const OpenedZip& directory_;
  mutable std::unordered_multimap<std::string, std::size_t> byName_;
};

}  // namespace zipcore
