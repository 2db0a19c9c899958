// The settings store: the log folder, the 6-digit flag and the kind list in
// the per-user registry under "Software\Corvane\Pelsok", one subkey each.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelsok::app {

inline constexpr char kSettingsKey[] = "Software\\Corvane\\Pelsok";

// The three window fields the store reads and writes.
struct TSettingsFields {
  std::string PathName;            // the folder field
  std::string Keta;                // the 6-digit flag text, "Yes" or "No"
  std::vector<std::string> Kinds;  // the kind list
};

// Every kind followed by CR LF; the empty list is the empty text.
std::string EncodeComboData(const std::vector<std::string>& kinds);
// Lines split at CR LF, lone CR or lone LF; a final break adds no item.
std::vector<std::string> DecodeComboData(std::string_view text);

class TDataSave {
 public:
  // Reads all three values first, then sets the fields; a value that is not
  // stored leaves its field as it was. Raises the registry's errors (a value
  // of the wrong type) before any field changes.
  static void LoadSettings(TSettingsFields& fields);
  // Writes the folder (value "Pathname"), the flag and the kind list.
  // Raises the registry's error when the key cannot be opened or created.
  static void SaveSettings(const TSettingsFields& fields);
};

}  // namespace pelsok::app
