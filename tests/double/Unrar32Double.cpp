// TEST DOUBLE of the RAR archiver library, built as UNRAR32.DLL into
// bin/double/rar/, next to the RAR back-end tests. It records every call so
// the tests can check exactly what the RAR back end hands over, and decodes
// nothing: any non-empty file "opens" and lists two entries.
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "archivers/common/ArchiverApi.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Call {
  std::string entry;
  std::string text;  // command line, archive name or wildcard
  const void* buffer = nullptr;
  std::uint32_t number = 0;  // buffer size, mode or handle
  ArcWnd wnd = nullptr;
};

std::vector<Call>& Log() {
  static std::vector<Call> log;
  return log;
}

int& Loads() {
  static int loads = 0;
  return loads;
}

int cursor = 0;

struct CountLoads {
  CountLoads() { ++Loads(); }
} countLoads;

const char* const kEntries[] = {"DR0701.log", "sub/DR0702.log"};

bool Fill(TArchiveEntryInfo* info) {
  if (cursor >= 2) return false;
  std::memset(info, 0, sizeof *info);
  std::strcpy(info->FileName, kEntries[cursor++]);
  return true;
}

}  // namespace

EXPORT std::int32_t Unrar(ArcWnd wnd, const char* cmdLine, char* output, std::uint32_t size) {
  Log().push_back({"Unrar", cmdLine ? cmdLine : "", output, size, wnd});
  if (output != nullptr && size > 0) {
    std::strncpy(output, "rar double ok", size - 1);
    output[size - 1] = '\0';
  }
  return 0x2345;
}

EXPORT ArcHandle UnrarOpenArchive(ArcWnd wnd, const char* name, std::uint32_t mode) {
  Log().push_back({"UnrarOpenArchive", name ? name : "", nullptr, mode, wnd});
  struct stat st {};
  if (name == nullptr || stat(name, &st) != 0 || st.st_size == 0) return 0;
  return 9;
}

EXPORT std::int32_t UnrarCloseArchive(ArcHandle h) {
  Log().push_back({"UnrarCloseArchive", "", nullptr, static_cast<std::uint32_t>(h), nullptr});
  return 0x31;
}

EXPORT std::int32_t UnrarFindFirst(ArcHandle h, const char* wild, TArchiveEntryInfo* info) {
  Log().push_back(
      {"UnrarFindFirst", wild ? wild : "", info, static_cast<std::uint32_t>(h), nullptr});
  cursor = 0;
  return h == 9 && Fill(info) ? 0 : -1;
}

EXPORT std::int32_t UnrarFindNext(ArcHandle h, TArchiveEntryInfo* info) {
  Log().push_back({"UnrarFindNext", "", info, static_cast<std::uint32_t>(h), nullptr});
  return h == 9 && Fill(info) ? 0 : -1;
}

// Inspection entries for the tests.
EXPORT int Double_CallCount() { return static_cast<int>(Log().size()); }
EXPORT const char* Double_Entry(int i) {
  return Log().at(static_cast<std::size_t>(i)).entry.c_str();
}
EXPORT const char* Double_Text(int i) { return Log().at(static_cast<std::size_t>(i)).text.c_str(); }
EXPORT const void* Double_Buffer(int i) { return Log().at(static_cast<std::size_t>(i)).buffer; }
EXPORT std::uint32_t Double_Number(int i) { return Log().at(static_cast<std::size_t>(i)).number; }
EXPORT void* Double_Wnd(int i) { return Log().at(static_cast<std::size_t>(i)).wnd; }
EXPORT void Double_Reset() { Log().clear(); }
EXPORT int Double_Loads() { return Loads(); }
