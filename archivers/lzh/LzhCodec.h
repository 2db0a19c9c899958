// Public interface of the LZH compression methods: -lh0- to -lh7-, -lzs-, -lz4-, -lz5-.
// Streams are processed in bounded memory (dictionary plus buffers); sizes are 64-bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lzh {

// Where compressed or plain bytes come from.
class Source {
 public:
  virtual ~Source() = default;
  // Reads up to n bytes; returns how many, 0 only at the end. Throws std::runtime_error (or a
  // subclass) on an I/O failure.
  virtual std::size_t read(std::uint8_t* buf, std::size_t n) = 0;
};

// Where compressed or plain bytes go.
class Sink {
 public:
  virtual ~Sink() = default;
  // Writes all n bytes or throws on failure.
  virtual void write(const std::uint8_t* buf, std::size_t n) = 0;
};

enum class Status { kOk, kWarning, kFailed, kFatal };

bool canDecode(std::string_view method);  // "-lh5-", ... exact 5-byte ids
bool canEncode(std::string_view method);

struct EncodeResult {
  std::uint64_t originalSize = 0;
  std::uint64_t packedSize = 0;
  std::uint16_t crc = 0;  // CRC-16 of the original data
  bool limitReached = false;
};

// Compresses all that `in` yields into `out`. effort 1 (fastest) .. 9 (best, optimal parsing).
// When packedLimit > 0 and the output reaches packedLimit bytes, stops early with limitReached =
// true (the caller then stores the file as -lh0- instead; it re-reads the source itself). Throws
// std::invalid_argument for a method that canEncode() refuses.
EncodeResult encode(std::string_view method, Source& in, Sink& out, int effort,
                    std::uint64_t packedLimit = 0);

struct DecodeResult {
  Status status = Status::kOk;
  std::uint64_t written = 0;
  std::uint16_t crc = 0;  // CRC-16 of the bytes written
  std::string message;
};

// Reads at most packedSize bytes from `in` and writes exactly originalSize bytes to `out` when the
// data is sound. Damaged input gives status failed with a readable English message, never a crash,
// a hang, a read past packedSize, or memory beyond the method's dictionary plus small fixed tables.
// An exception from in/out propagates. An unknown method gives status failed.
DecodeResult decode(std::string_view method, Source& in, std::uint64_t packedSize, Sink& out,
                    std::uint64_t originalSize);

inline constexpr const char* kDefaultMethod = "-lh7-";
inline constexpr int kDefaultEffort = 5;
inline constexpr int kBestEffort = 9;

}  // namespace lzh
