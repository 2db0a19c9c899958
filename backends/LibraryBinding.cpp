#include "backends/LibraryBinding.h"

#include <algorithm>
#include <mutex>

#include "archivecore/EArchiver.h"
#include "backends/DllEntry.h"

namespace pelsok {

namespace {

// Archives are searched and checked on several threads at once, all through
// the same process-wide bindings: loading and resolving take turns. The
// commands themselves run outside it.
std::recursive_mutex& BindingMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

std::vector<BoundEntry> InOneLibrary(const std::vector<const char*>& names) {
  std::vector<BoundEntry> entries;
  for (const char* name : names) entries.push_back({name, {{0, name}}});
  return entries;
}

}  // namespace

LibraryBinding::LibraryBinding(std::string fileName, std::string missingMessage,
                               std::vector<const char*> entries)
    : LibraryBinding(std::vector<std::string>{std::move(fileName)}, std::move(missingMessage),
                     InOneLibrary(entries)) {}

LibraryBinding::LibraryBinding(std::vector<std::string> fileNames, std::string missingMessage,
                               std::vector<BoundEntry> entries)
    : missingMessage_(std::move(missingMessage)),
      entries_(std::move(entries)),
      cache_(entries_.size()) {
  for (std::string& name : fileNames) libraries_.push_back({std::move(name)});
}

bool LibraryBinding::AnyLoaded() const {
  return std::any_of(libraries_.begin(), libraries_.end(),
                     [](const Library& l) { return l.handle != nullptr; });
}

void LibraryBinding::Load() {
  const std::lock_guard lock(BindingMutex());
  for (Library& lib : libraries_) {
    if (lib.handle == nullptr) {
      ++lib.loadCount;
      lib.handle = platform::LoadLibrary(lib.fileName);
    }
  }
  if (!AnyLoaded()) throw EArchiver(missingMessage_);
}

void LibraryBinding::Unload() {
  const std::lock_guard lock(BindingMutex());
  std::fill(cache_.begin(), cache_.end(), Cached{});
  for (Library& lib : libraries_) {
    if (lib.handle != nullptr) {
      platform::FreeLibrary(lib.handle);
      lib.handle = nullptr;
    }
  }
}

void* LibraryBinding::Entry(std::size_t i, bool skipLoad) {
  const std::lock_guard lock(BindingMutex());
  if (!skipLoad) Load();
  Cached& cached = cache_.at(i);
  if (cached.address != nullptr) return cached.address;
  if (libraries_.size() == 1) {
    cached = {GetDllEntry(libraries_[0].handle, entries_[i].Name), 0};
  } else {
    cached.address = ResolveFromSources(i);
  }
  return cached.address;
}

void* LibraryBinding::ResolveFromSources(std::size_t i) {
  const BoundEntry& entry = entries_[i];
  for (const EntrySource& source : entry.Sources) {
    const platform::LibraryHandle handle = libraries_.at(source.Library).handle;
    if (handle == nullptr) continue;
    try {
      void* address = GetDllEntry(handle, source.Name);
      cache_[i].library = source.Library;
      return address;
    } catch (const EArchiver&) {
      // Not in this library: try the next one.
    }
  }
  throw EArchiver(std::string(entry.Name) + " のエントリが見つかりません。");
}

}  // namespace pelsok
