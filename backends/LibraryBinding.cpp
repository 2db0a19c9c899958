#include "backends/LibraryBinding.h"

#include "archive/EArchiver.h"
#include "backends/DllEntry.h"

namespace pelsok {

LibraryBinding::LibraryBinding(std::string fileName, std::string missingMessage,
                               std::vector<const char*> entries)
    : fileName_(std::move(fileName)),
      missingMessage_(std::move(missingMessage)),
      names_(std::move(entries)),
      cache_(names_.size(), nullptr) {}

void LibraryBinding::Load() {
  if (handle_ == nullptr) {
    ++loadCount_;
    handle_ = platform::LoadLibrary(fileName_);
  }
  if (handle_ == nullptr) throw EArchiver(missingMessage_);
}

void LibraryBinding::Unload() {
  std::fill(cache_.begin(), cache_.end(), nullptr);
  if (handle_ != nullptr) {
    platform::FreeLibrary(handle_);
    handle_ = nullptr;
  }
}

void* LibraryBinding::Entry(std::size_t i, bool skipLoad) {
  if (!skipLoad) Load();
  if (cache_.at(i) == nullptr) cache_[i] = GetDllEntry(handle_, names_[i]);
  return cache_[i];
}

}  // namespace pelsok
