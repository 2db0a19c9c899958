// Inflates a deflated entry in one libdeflate call, from the compressed
// bytes straight into a buffer of the entry's size, when that fits a
// bounded buffer: about twice as fast as a streaming inflate. Anything it
// does not take on, or cannot make sense of, is left to the streaming path,
// which then reports what is wrong with the entry in its own words.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "CentralDirectory.h"

namespace zipcore {

// The largest entry, unpacked, that is inflated whole.
constexpr std::uint64_t kWholeInflateLimit = 64ull << 20;

class WholeInflater {
 public:
  // archive: the file to read the entries' data from; directory: its entries.
  WholeInflater(const std::string& archive, const OpenedZip& directory);
  ~WholeInflater();
  WholeInflater(const WholeInflater&) = delete;
  WholeInflater& operator=(const WholeInflater&) = delete;

  // The unpacked data of the entry `name` whose data starts at dataOffset,
  // its size and CRC checked against the directory; null when the entry is
  // not a single unencrypted deflated one of the directory within the limit,
  // or when its data does not inflate to what the directory says.
  const std::vector<std::uint8_t>* Inflate(const std::string& name, std::int64_t size,
                                           std::int64_t dataOffset);

 private:
  int fd_ = -1;
  const OpenedZip& directory_;
  std::unordered_map<std::string, std::size_t> byName_;  // names that occur once
  std::vector<std::uint8_t> packed_, unpacked_;
};

}  // namespace zipcore
