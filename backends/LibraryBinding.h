// The process-wide binding of one archiver library: its handle, loaded on
// first need and kept until the process ends, and a cache of its entries,
// each resolved on its first call.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/DynamicLibrary.h"

namespace pelsok {

class LibraryBinding {
 public:
  // fileName: the library's file name; missingMessage: the EArchiver text
  // when it cannot be loaded; entries: the names of the entries it caches.
  LibraryBinding(std::string fileName, std::string missingMessage,
                 std::vector<const char*> entries);

  // Loads the library when it is not loaded; raises EArchiver(missingMessage)
  // when it cannot be.
  void Load();
  // Forgets the entries, then frees the library.
  void Unload();
  // Loads (unless skipLoad), resolves entry i on first use and caches it.
  void* Entry(std::size_t i, bool skipLoad = false);
  template <typename Fn>
  Fn EntryAs(std::size_t i, bool skipLoad = false) {
    return reinterpret_cast<Fn>(Entry(i, skipLoad));
  }

  platform::LibraryHandle Handle() const { return handle_; }
  bool Loaded() const { return handle_ != nullptr; }
  const std::string& FileName() const { return fileName_; }
  // How many times the platform loader was asked (for diagnostics).
  int LoadCount() const { return loadCount_; }

 private:
  std::string fileName_;
  std::string missingMessage_;
  std::vector<const char*> names_;
  std::vector<void*> cache_;
  platform::LibraryHandle handle_ = nullptr;
  int loadCount_ = 0;
};

}  // namespace pelsok
