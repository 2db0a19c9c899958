// The file layer libmspack reads and writes through: cabinets are read with
// pread from a base offset (a cabinet inside a self-extracting program
// starts after the program), and extracted data goes to a descriptor the
// caller hands over, never to a name libmspack chooses.
#pragma once

#include <mspack.h>

#include <cstdint>
#include <map>
#include <string>

namespace cab {

class MspackFiles {
 public:
  // The name an extraction is written to; it stands for WriteFd().
  static constexpr const char* kOutputName = "\x01output";

  MspackFiles();
  MspackFiles(const MspackFiles&) = delete;
  MspackFiles& operator=(const MspackFiles&) = delete;

  mspack_system* System() { return &system_.base; }
  // Reading name starts at offset (every other name starts at 0).
  void SetBaseOffset(const std::string& name, std::uint64_t offset) { offsets_[name] = offset; }
  // Extracted data goes to fd (not owned) until the next call.
  void SetWriteFd(int fd) { writeFd_ = fd; }
  // Extracted data goes to the calling thread's read walk (arc::MemberReading)
  // instead, or nowhere without one, until the next call.
  void SetWriteToWalk(bool on) { toWalk_ = on; }
  // Set when writing failed (the disk, not the cabinet).
  bool WriteFailed() const { return writeFailed_; }
  void ClearWriteFailed() { writeFailed_ = false; }

 private:
  struct SystemWithOwner {
    mspack_system base;
    MspackFiles* owner;
  };
  friend struct MspackCallbacks;

  SystemWithOwner system_;
  std::map<std::string, std::uint64_t> offsets_;
  int writeFd_ = -1;
  bool toWalk_ = false;
  bool writeFailed_ = false;
};

}  // namespace cab
