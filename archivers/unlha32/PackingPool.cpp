#include "PackingPool.h"

#include "common/ArchiverApi.h"
#include "common/Failure.h"
#include "common/Messages.h"

namespace unlha {
namespace {

// Past this, a waiting member's bytes go to a temporary file.
constexpr std::size_t kMemoryPerMember = std::size_t{4} << 20;

}  // namespace

PackingPool::PackingPool(std::vector<const SourceFile*> files, PackSettings settings, int threads,
                         std::string spillDir)
    : files_(std::move(files)),
      settings_(std::move(settings)),
      spillDir_(std::move(spillDir)),
      members_(files_.size()),
      pool_(files_.size(), threads, static_cast<std::size_t>(threads) + 2,
            [this](std::size_t i, std::stop_token stop) { Pack(i, std::move(stop)); }) {}

void PackingPool::Pack(std::size_t i, std::stop_token stop) {
  PackedMember member;
  member.data = std::make_unique<MemberBuffer>(spillDir_, kMemoryPerMember);
  member.info = PackMember(*files_[i], settings_, *member.data, PackSignals{stop, bytesRead_});
  members_[i] = std::move(member);
}

PackedMember PackingPool::Take(std::size_t i, const std::function<bool(std::uint64_t)>& waiting) {
  if (!pool_.Take(i, [&] { return waiting(BytesRead()); }))
    throw arc::Failure(arc::kCancelled, arc::msg::Cancelled());
  return std::move(members_[i]);
}

}  // namespace unlha
