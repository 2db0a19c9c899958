// A file's permission bits, owner and group, and the creation mask that
// bounds the permissions of files made while it is in force.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

struct TFileMode {
  std::uint32_t Mode = 0;  // permission bits (07777)
  std::uint32_t Owner = 0;
  std::uint32_t Group = 0;
};

// The mode of what path names (following links); nullopt when it does not exist.
std::optional<TFileMode> FileModeOf(const std::string& path);
bool SetFileMode(const std::string& path, std::uint32_t mode);
// Gives the file its owner and group, or at least its group when the owner
// cannot be changed; false when neither could.
bool SetFileOwner(const std::string& path, std::uint32_t owner, std::uint32_t group);

// While alive, files are made with no permission bit outside allowed (on
// top of the creation mask already in force); the old mask comes back after.
class TScopedCreationMask {
 public:
  explicit TScopedCreationMask(std::uint32_t allowed);
  ~TScopedCreationMask();
  TScopedCreationMask(const TScopedCreationMask&) = delete;
  TScopedCreationMask& operator=(const TScopedCreationMask&) = delete;
  // The mask in force before this one.
  std::uint32_t Previous() const { return previous_; }

 private:
  std::uint32_t previous_;
};

}  // namespace platform
