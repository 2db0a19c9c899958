// Feeds arbitrary text to the hive file parser; what parses must serialize
// and parse again to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/Registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    const platform::RegistryHive hive = platform::RegistryHive::Parse(text);
    const std::string once = hive.Serialize();
    const std::string twice = platform::RegistryHive::Parse(once).Serialize();
    if (once != twice) std::abort();
  } catch (const platform::EHiveCorrupt&) {
  }
  return 0;
}
