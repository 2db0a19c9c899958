#include "app/run/ArchiveMode.h"

namespace pelsok::app {
namespace {

constexpr std::uint32_t kOwnerReadWrite = 0600;
constexpr std::uint32_t kGroupOtherRead = 0044;

}  // namespace

TArchiveMode::TArchiveMode(std::uint32_t logsMode, const std::string& predecessor)
    : logsMode_(logsMode & 0777) {
  if (!predecessor.empty()) predecessor_ = platform::FileModeOf(predecessor);
}

std::uint32_t TArchiveMode::CreationBound() const {
  return (FinalMode(0) | kOwnerReadWrite) & 0777;
}

std::uint32_t TArchiveMode::FinalMode(std::uint32_t creationMask) const {
  if (predecessor_) return predecessor_->Mode & 0777 & ~(kGroupOtherRead & ~logsMode_);
  return 0666 & ~creationMask & (logsMode_ | kOwnerReadWrite);
}

bool TArchiveMode::Apply(const std::string& archive, std::uint32_t creationMask) const {
  if (predecessor_) platform::SetFileOwner(archive, predecessor_->Owner, predecessor_->Group);
  return platform::SetFileMode(archive, FinalMode(creationMask));
}

}  // namespace pelsok::app
