#include "DynamicLibrary.h"

#include <dlfcn.h>
#include <link.h>

#include "FileSystem.h"
#include "Paths.h"

namespace platform {

namespace {

std::string& LastError() {
  static std::string error;
  return error;
}

void* TryOpen(const std::string& path) {
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (h == nullptr) {
    const char* e = dlerror();
    LastError() = e != nullptr ? e : "dlopen failed";
  }
  return h;
}

}  // namespace

LibraryHandle LoadLibrary(const std::string& fileName) {
  LastError().clear();
  if (fileName.empty()) return nullptr;
  if (fileName.find(kPathDelim) != std::string::npos) return TryOpen(fileName);
  // The executable's folder, then the current folder, each matched without
  // regard to case; then the dynamic loader's own search.
  for (const std::string& dir : {ExecutableDir(), IncludeTrailingPathDelimiter(GetCurrentDir())}) {
    if (dir.empty()) continue;
    if (auto name = FindNameIgnoringCase(dir, fileName)) {
      if (!FileExists(dir + *name)) continue;
      if (void* h = TryOpen(dir + *name)) return h;
    }
  }
  void* h = TryOpen(fileName);
  if (h == nullptr && LastError().empty()) LastError() = fileName + ": not found";
  return h;
}

void* GetProcAddress(LibraryHandle lib, const char* name) {
  if (lib == nullptr || name == nullptr) return nullptr;
  return dlsym(lib, name);
}

std::string GetModuleFileName(LibraryHandle lib) {
  if (lib == nullptr) return std::string();
  link_map* map = nullptr;
  if (dlinfo(lib, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr) {
    return std::string();
  }
  return map->l_name;
}

void FreeLibrary(LibraryHandle lib) {
  if (lib != nullptr) dlclose(lib);
}

std::string LastLoadError() { return LastError(); }

}  // namespace platform
