// TEST DOUBLE of the CAB archiver library. It is built under the file name
// CAB32.DLL into a folder of its own (bin/double/cab/), next to the CAB back
// end's test program, and records every call it receives so the tests can
// check exactly what the back end hands over. It reads and writes nothing.
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "archivers/common/ArchiverApi.h"

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

int& Cursor() {
  static int cursor = 0;
  return cursor;
}

struct CountLoads {
  CountLoads() { ++Loads(); }
} countLoads;

const char* const kEntries[] = {"DR0701.log", "LOG/DR0702.log"};

void Fill(TArchiveEntryInfo* info, int i) {
  std::memset(info, 0, sizeof *info);
  info->OriginalSize = 200u + static_cast<std::uint32_t>(i);
  std::strncpy(info->FileName, kEntries[i], sizeof info->FileName - 1);
  std::strcpy(info->Method, "MSZIP");
}

}  // namespace

#define DOUBLE_EXPORT extern "C" __attribute__((visibility("default")))

DOUBLE_EXPORT std::int32_t Cab(ArcWnd wnd, const char* cmdLine, char* output, std::uint32_t size) {
  Log().push_back({"Cab", cmdLine ? cmdLine : "", output, size, wnd});
  if (output != nullptr && size > 0) {
    std::strncpy(output, "cab double", size - 1);
    output[size - 1] = '\0';
  }
  return 0x4321;
}

DOUBLE_EXPORT ArcHandle CabOpenArchive(ArcWnd wnd, const char* name, std::uint32_t mode) {
  Log().push_back({"CabOpenArchive", name ? name : "", nullptr, mode, wnd});
  struct stat st {};
  // Any non-empty file counts as a cabinet.
  if (name == nullptr || stat(name, &st) != 0 || st.st_size == 0) return 0;
  Cursor() = 0;
  return 9;
}

DOUBLE_EXPORT std::int32_t CabCloseArchive(ArcHandle h) {
  Log().push_back({"CabCloseArchive", "", nullptr, static_cast<std::uint32_t>(h), nullptr});
  return h == 9 ? 0 : 55;
}

DOUBLE_EXPORT std::int32_t CabFindFirst(ArcHandle h, const char* wild, TArchiveEntryInfo* info) {
  Log().push_back({"CabFindFirst", wild ? wild : "", info, static_cast<std::uint32_t>(h), nullptr});
  if (h != 9) return 66;
  Cursor() = 0;
  Fill(info, Cursor()++);
  return 0;
}

DOUBLE_EXPORT std::int32_t CabFindNext(ArcHandle h, TArchiveEntryInfo* info) {
  Log().push_back({"CabFindNext", "", info, static_cast<std::uint32_t>(h), nullptr});
  if (h != 9 || Cursor() >= 2) return 77;
  Fill(info, Cursor()++);
  return 0;
}

// Inspection entries for the tests.
DOUBLE_EXPORT int Double_CallCount() { return static_cast<int>(Log().size()); }
DOUBLE_EXPORT const char* Double_Entry(int i) {
  return Log().at(static_cast<std::size_t>(i)).entry.c_str();
}
DOUBLE_EXPORT const char* Double_Text(int i) {
  return Log().at(static_cast<std::size_t>(i)).text.c_str();
}
DOUBLE_EXPORT const void* Double_Buffer(int i) {
  return Log().at(static_cast<std::size_t>(i)).buffer;
}
DOUBLE_EXPORT std::uint32_t Double_Number(int i) {
  return Log().at(static_cast<std::size_t>(i)).number;
}
DOUBLE_EXPORT void* Double_Wnd(int i) { return Log().at(static_cast<std::size_t>(i)).wnd; }
DOUBLE_EXPORT void Double_Reset() { Log().clear(); }
DOUBLE_EXPORT int Double_Loads() { return Loads(); }
