// The permissions, owner and group a run gives its new archive. A new
// archive is no more open than the most private log it holds (group and
// others get only what every log gives them; the owner reads and writes
// it). A rebuilt archive keeps its predecessor's mode, owner and group
// where it can, less any group or other read permission a log lacks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileMode.h"

namespace pelsok::app {

class TArchiveMode {
 public:
  // logsMode: the bits every log has; predecessor: the archive being
  // replaced (already moved aside), or empty.
  TArchiveMode(std::uint32_t logsMode, const std::string& predecessor);

  // No file made while packing may have a permission bit outside this.
  std::uint32_t CreationBound() const;
  // The mode the archive ends with, for one made under creation mask.
  std::uint32_t FinalMode(std::uint32_t creationMask) const;
  // Gives the written archive its owner, group and mode; false when the
  // mode could not be set.
  bool Apply(const std::string& archive, std::uint32_t creationMask) const;

 private:
  std::uint32_t logsMode_;
  std::optional<platform::TFileMode> predecessor_;
};

}  // namespace pelsok::app
