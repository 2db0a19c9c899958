// Fuzzes the application's text parsers: the command-line options (the
// input split at NUL bytes into arguments), the mount table, the integer
// conversion, the names table, the kind list's text form and the checksum
// manifest (which must read back what it writes, seal included).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/cli/CliJob.h"
#include "app/run/LogNames.h"
#include "app/run/Manifest.h"
#include "app/settings/DataSave.h"
#include "app/settings/MountPoints.h"
#include "app/text/FolderText.h"
#include "app/text/IntegerText.h"
#include "app/text/SpinRules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> args;
  std::string cur;
  for (char c : text) {
    if (c == '\0') {
      args.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  args.push_back(cur);
  try {
    (void)pelsok::app::ParseCliOptions(args);
  } catch (const std::exception&) {
  }
  (void)pelsok::app::ParseMountPoints(text);
  int v = 0;
  (void)pelsok::app::TryStrToInt(text, v);
  (void)pelsok::app::SpinCheckOnExit(text, 1, 12);
  (void)pelsok::app::SpinStep(text, 1, 1, 9999);
  try {
    (void)pelsok::app::MakeLogNames(args.size() > 1 ? args[1] : "", args[0], "26", text, false);
  } catch (const std::exception&) {
  }
  const auto kinds = pelsok::app::DecodeComboData(text);
  if (pelsok::app::DecodeComboData(pelsok::app::EncodeComboData(kinds)) != kinds) __builtin_trap();
  (void)pelsok::app::MinimizeName(text, [](const std::string& s) { return s.size() < 12; });
  (void)pelsok::app::FolderWithDelimiter(text);
  if (const auto parsed = pelsok::app::ParseManifest(text)) {
    const auto again = pelsok::app::ParseManifest(pelsok::app::FormatManifest(parsed->Manifest));
    if (!again || !again->SealMatches) __builtin_trap();
    if (!parsed->Manifest.Archive.Hash.empty() && !(again->Manifest == parsed->Manifest))
      __builtin_trap();
  }
  return 0;
}
