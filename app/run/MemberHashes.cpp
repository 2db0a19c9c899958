#include "app/run/MemberHashes.h"

#include <optional>

#include "app/run/Sha256.h"

namespace pelsok::app {

TMemberHashes HashMembers(TArchiveFile& archive) {
  TMemberHashes out;
  std::optional<TSha256> current;
  out.Result = archive.ReadMembers("",
                                   [&](const std::string& name, const char* chunk,
                                       std::uint32_t length, std::int32_t result) -> std::int32_t {
                                     if (!current) current.emplace();
                                     if (chunk != nullptr) {
                                       current->Add(chunk, length);
                                       return 0;
                                     }
                                     if (result == arc::kOk)
                                       out.Hashes[name] = current->HexDigest();
                                     else
                                       out.Failed[name] = result;
                                     current.reset();
                                     return 0;
                                   });
  out.Report = archive.Output().c_str();
  return out;
}

}  // namespace pelsok::app
