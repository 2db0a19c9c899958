#include "app/run/ConvertedManifest.h"

#include "app/run/Manifest.h"
#include "app/run/ManifestFile.h"
#include "app/run/MemberHashes.h"
#include "app/run/RunManifest.h"
#include "app/run/Sha256.h"
#include "platform/Paths.h"
#include "platform/StringList.h"

namespace pelsok::app {

std::string WriteConvertedManifest(const std::string& oldArchiveName, TArchiveFile& converted,
                                   const std::string& formatName) {
  const std::string& newName = converted.FileName();
  const auto archiveHash = FileSha256(newName);
  if (!archiveHash) return platform::FormatText("書庫 '%s' を読み直せません。", {newName});
  const TMemberHashes hashes = HashMembers(converted);
  if (hashes.Result != 0 || !hashes.Failed.empty())
    return platform::FormatText("書庫 '%s' のメンバーを読み直せません。", {newName});
  TManifest m = ManifestHeading(formatName);
  m.Archive = {*archiveHash, platform::ExtractFileName(newName)};
  for (const auto& [name, hash] : hashes.Hashes) m.Members.push_back({hash, name});
  // In the old archive's place in the chain.
  if (const auto old = RecordReplaced(m, ManifestName(oldArchiveName)))
    m.Previous = old->Manifest.Previous;
  return WriteManifestFile(newName, FormatManifest(m));
}

}  // namespace pelsok::app
