// What libarchive does not tell about a member: the stored CRC-32, the
// method, the host system, the DOS attributes, and whether the member is
// encrypted, solid, written by a RAR 1.5/2.0 compressor, or split across
// volumes. Read from the member's own file header (RAR 1.5-4 or RAR 5
// layout) at the position libarchive reports, and trusted only when the
// header's own CRC matches.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace unrar {

struct RarHeaderFacts {
  bool rar5 = false;
  std::optional<std::uint32_t> crc;  // CRC-32 of the data (of this part when split)
  std::uint64_t packedSize = 0;      // in this volume (in all of them, from WalkFileHeaders)
  std::uint64_t unpackedSize = 0;
  std::uint8_t hostOs = 0;            // 0 MS-DOS, 1 OS/2, 2 Windows, 3 Unix, 4 Mac OS, 5 BeOS
  int method = 0;                     // 0 stored .. 5 best
  int unpackVersion = 0;              // RAR 1.5-4: 15, 20, 26, 29, 36; RAR 5: 50
  std::uint32_t dosAttributes = 0;    // from MS-DOS, OS/2 and Windows hosts, else 0
  std::uint64_t dictionaryBytes = 0;  // RAR 1.5-4 files: the window the data was packed with
  bool encrypted = false;
  bool solid = false;
  bool continuesBefore = false;  // the data began in the previous volume
  bool continuesAfter = false;   // the data goes on in the next volume
  bool split = false;            // joined from parts in several volumes
  bool dataComplete = true;      // every packed byte lies inside its volume (from WalkFileHeaders)
  std::string name;              // as stored, '/' between folders (RAR 1.5-4: the 8-bit form)
};

// The header starting at the front of bytes (which may run past its end);
// nullopt when it is no whole, CRC-correct file header.
std::optional<RarHeaderFacts> PeekFileHeader(std::string_view bytes);

// Every file header of a volume set in order, read without decoding: the
// parts of a member split over volumes are joined into one (its packed size
// summed, the CRC of its last part, continuesAfter left set when the set
// ends before the member does). Stops quietly at the first block it cannot
// read (damage, encrypted headers).
std::vector<RarHeaderFacts> WalkFileHeaders(const std::vector<std::string>& volumes);

std::uint32_t Crc32(std::string_view data);

// A CRC-32 taken over data that comes in pieces.
class Crc32Sum {
 public:
  void Add(std::string_view data);
  std::uint32_t Value() const { return ~state_; }

 private:
  std::uint32_t state_ = 0xFFFFFFFFu;
};

}  // namespace unrar
