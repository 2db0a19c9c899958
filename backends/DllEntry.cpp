#include "backends/DllEntry.h"

#include "archivecore/EArchiver.h"

namespace pelsok {

void* GetDllEntry(platform::LibraryHandle module, const char* name) {
  if (void* entry = platform::GetProcAddress(module, name)) return entry;
  const std::string file = platform::GetModuleFileName(module);
  throw EArchiver(file + " に " + name + " のエントリが見つかりません。");
}

}  // namespace pelsok
