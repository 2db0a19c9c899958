// Loading archiver libraries by file name. A bare name is looked for in the
// executable's folder, then in the installed library folder, then in the
// folders of LD_LIBRARY_PATH; never in the current folder, which is wherever
// the user last browsed to. File names match without regard to ASCII case.
#pragma once

#include <string>
#include <vector>

namespace platform {

using LibraryHandle = void*;

// Where the archiver libraries are installed beside the programs:
// <executable folder>/../lib/pelsok/, folded, with a trailing delimiter.
std::string InstalledLibraryFolder();
// The folders a bare library name is looked for in, in order. Relative
// folders of LD_LIBRARY_PATH (and empty ones, which mean the current folder)
// are left out.
std::vector<std::string> LibrarySearchFolders();

// Null when the library cannot be found or loaded. A name with a delimiter
// is loaded as given.
LibraryHandle LoadLibrary(const std::string& fileName);
// Null when the entry is missing.
void* GetProcAddress(LibraryHandle lib, const char* name);
// The loaded library's file name (full path), empty when unknown.
std::string GetModuleFileName(LibraryHandle lib);
void FreeLibrary(LibraryHandle lib);
// Why the last LoadLibrary failed (for diagnostics).
std::string LastLoadError();

}  // namespace platform
