// The checksums an archive keeps for a member, computed over a whole file on
// disk, read in pieces: the CRC-16 of LZH archives (polynomial 0xA001,
// reflected, starting at 0) and the CRC-32 of ZIP archives and of the check
// by extraction (polynomial 0xEDB88320, reflected, as zlib computes it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace pelsok::app {

enum class TSumKind { Crc16, Crc32 };

// A member's checksum and which kind it is.
struct TMemberSum {
  TSumKind Kind = TSumKind::Crc16;
  std::uint32_t Value = 0;
  bool operator==(const TMemberSum&) const = default;
};

struct TFileSum {
  std::uint64_t Size = 0;
  TMemberSum Sum;
};

// A checksum computed over data handed in pieces.
class TRunningSum {
 public:
  explicit TRunningSum(TSumKind kind);
  void Add(const char* data, std::size_t n);
  TFileSum Sum() const;

 private:
  TSumKind kind_;
  std::uint32_t c_;
  std::uint64_t size_ = 0;
};

// nullopt when the file cannot be read to its end.
std::optional<TFileSum> FileChecksum(const std::string& path, TSumKind kind);

}  // namespace pelsok::app
