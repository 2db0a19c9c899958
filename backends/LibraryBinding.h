// The process-wide binding of a back end to its archiver libraries: the
// library handles, each loaded on first need and kept until the process
// ends, and a cache of the entries, each resolved on its first call.
//
// Most back ends bind one library and look every entry up in it under its
// own name. Some bind several, each optional (ZIP: "UNZIP32.DLL",
// "ZIP32J.DLL", "LMZIP32.DLL"); then every entry names the libraries it is
// looked for in, in order, and how that library spells it, and is cached
// from whichever library supplied it.
//
// Load, Unload and Entry may be called from several threads at once.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/DynamicLibrary.h"

namespace pelsok {

// One place to look for an entry: a library of the binding, by its index in
// the binding's file names, and the entry's name as that library spells it.
struct EntrySource {
  std::size_t Library;
  const char* Name;
};

// An entry of a binding over several libraries.
struct BoundEntry {
  const char* Name;  // as the back end asks for it, and in messages
  std::vector<EntrySource> Sources;
};

class LibraryBinding {
 public:
  static constexpr std::size_t kUnresolved = static_cast<std::size_t>(-1);

  // One library. fileName: its file name; missingMessage: the EArchiver text
  // when it cannot be loaded; entries: the names of the entries it caches.
  LibraryBinding(std::string fileName, std::string missingMessage,
                 std::vector<const char*> entries);
  // Several libraries, each optional; missingMessage is raised when none of
  // them loads.
  LibraryBinding(std::vector<std::string> fileNames, std::string missingMessage,
                 std::vector<BoundEntry> entries);

  // Loads each library that is not loaded (one that failed is tried again at
  // the next Load); raises EArchiver(missingMessage) when none is loaded.
  void Load();
  // Forgets the entries, then frees the libraries.
  void Unload();
  // Loads (unless skipLoad), resolves entry i on first use and caches it.
  // With one library a missing entry raises GetDllEntry's message; with
  // several, the entry is taken from the first loaded library of its sources
  // that has it, and when none has it the message is its name followed by
  // " のエントリが見つかりません。".
  void* Entry(std::size_t i, bool skipLoad = false);
  template <typename Fn>
  Fn EntryAs(std::size_t i, bool skipLoad = false) {
    return reinterpret_cast<Fn>(Entry(i, skipLoad));
  }
  bool Resolved(std::size_t i) const { return cache_.at(i).address != nullptr; }
  // The library entry i was taken from; kUnresolved before its first use.
  std::size_t SuppliedBy(std::size_t i) const { return cache_.at(i).library; }

  std::size_t LibraryCount() const { return libraries_.size(); }
  platform::LibraryHandle Handle(std::size_t lib = 0) const { return libraries_.at(lib).handle; }
  bool Loaded(std::size_t lib = 0) const { return Handle(lib) != nullptr; }
  bool AnyLoaded() const;
  const std::string& FileName(std::size_t lib = 0) const { return libraries_.at(lib).fileName; }
  // How many times the platform loader was asked for library lib (for diagnostics).
  int LoadCount(std::size_t lib = 0) const { return libraries_.at(lib).loadCount; }

 private:
  struct Library {
    std::string fileName;
    platform::LibraryHandle handle = nullptr;
    int loadCount = 0;
  };
  struct Cached {
    void* address = nullptr;
    std::size_t library = kUnresolved;
  };

  void* ResolveFromSources(std::size_t i);

  std::vector<Library> libraries_;
  std::string missingMessage_;
  std::vector<BoundEntry> entries_;
  std::vector<Cached> cache_;
};

}  // namespace pelsok
