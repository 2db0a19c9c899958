#include "DynamicLibrary.h"

#include <dlfcn.h>
#include <link.h>

#include <cstdlib>

#include "FileSystem.h"
#include "Paths.h"

namespace platform {

namespace {

// One per thread: libraries are loaded from the worker threads too.
std::string& LastError() {
  thread_local std::string error;
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

std::string InstalledLibraryFolder() {
  const std::string exe = ExecutableDir();
  if (exe.empty()) return std::string();
  return IncludeTrailingPathDelimiter(ExpandFileName(exe + "../lib/pelsok"));
}

std::vector<std::string> LibrarySearchFolders() {
  std::vector<std::string> dirs;
  for (std::string dir : {ExecutableDir(), InstalledLibraryFolder()}) {
    if (!dir.empty()) dirs.push_back(std::move(dir));
  }
  // The loader's own list, as the user or a test set it. Only absolute
  // folders: a relative one would follow the current folder.
  if (const char* path = std::getenv("LD_LIBRARY_PATH")) {
    const std::string p(path);
    std::size_t pos = 0;
    while (pos <= p.size()) {
      std::size_t next = p.find(':', pos);
      if (next == std::string::npos) next = p.size();
      const std::string dir = p.substr(pos, next - pos);
      if (!dir.empty() && dir.front() == kPathDelim) {
        dirs.push_back(IncludeTrailingPathDelimiter(dir));
      }
      pos = next + 1;
    }
  }
  return dirs;
}

LibraryHandle LoadLibrary(const std::string& fileName) {
  LastError().clear();
  if (fileName.empty()) return nullptr;
  if (fileName.find(kPathDelim) != std::string::npos) return TryOpen(fileName);
  // The bare name never goes to dlopen itself: an empty or relative entry of
  // LD_LIBRARY_PATH would make the loader look in the current folder.
  for (const std::string& dir : LibrarySearchFolders()) {
    if (auto name = FindNameIgnoringCase(dir, fileName)) {
      if (!FileExists(dir + *name)) continue;
      if (void* h = TryOpen(dir + *name)) return h;
    }
  }
  if (LastError().empty()) LastError() = fileName + ": not found";
  return nullptr;
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
