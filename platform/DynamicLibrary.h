// Loading archiver libraries by file name, the way the Windows loader finds
// them: the executable's folder, the current folder, then the system's own
// search. File names match without regard to ASCII case.
#pragma once

#include <string>

namespace platform {

using LibraryHandle = void*;

// Null when the library cannot be found or loaded.
LibraryHandle LoadLibrary(const std::string& fileName);
// Null when the entry is missing.
void* GetProcAddress(LibraryHandle lib, const char* name);
// The loaded library's file name (full path), empty when unknown.
std::string GetModuleFileName(LibraryHandle lib);
void FreeLibrary(LibraryHandle lib);
// Why the last LoadLibrary failed (for diagnostics).
std::string LastLoadError();

}  // namespace platform
