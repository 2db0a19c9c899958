// TEST DOUBLE of an archiver library. It is built under the file name
// UNLHA32.DLL into a folder of its own, next to the test programs that load
// it, and records every call it receives so the tests can check exactly what
// the back ends hand over. It compresses nothing.
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
  std::uint32_t number = 0;  // buffer size or mode
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

// Each load of the library runs this once.
struct CountLoads {
  CountLoads() { ++Loads(); }
} countLoads;

const char* const kEntries[] = {"DR0701.log", "DR0702.log", "LOG/DR0703.log"};

void Fill(TArchiveEntryInfo* info, int i) {
  std::memset(info, 0, sizeof *info);
  info->OriginalSize = 100u + static_cast<std::uint32_t>(i);
  std::strncpy(info->FileName, kEntries[i], sizeof info->FileName - 1);
  std::strcpy(info->Method, "-lh5-");
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) std::int32_t Unlha(ArcWnd wnd, const char* cmdLine,
                                                          char* output, std::uint32_t size) {
  Log().push_back({"Unlha", cmdLine ? cmdLine : "", output, size, wnd});
  if (output != nullptr && size > 0) {
    std::strncpy(output, "double ok", size - 1);
    output[size - 1] = '\0';
  }
  return 0x1234;
}

__attribute__((visibility("default"))) ArcHandle UnlhaOpenArchive(ArcWnd wnd, const char* name,
                                                                  std::uint32_t mode) {
  Log().push_back({"UnlhaOpenArchive", name ? name : "", nullptr, mode, wnd});
  struct stat st {};
  // Any non-empty file counts as an archive.
  if (name == nullptr || stat(name, &st) != 0 || st.st_size == 0) return 0;
  Cursor() = 0;
  return 7;
}

__attribute__((visibility("default"))) std::int32_t UnlhaCloseArchive(ArcHandle h) {
  Log().push_back({"UnlhaCloseArchive", "", nullptr, static_cast<std::uint32_t>(h), nullptr});
  return 0;
}

__attribute__((visibility("default"))) std::int32_t UnlhaFindFirst(ArcHandle h, const char* wild,
                                                                   TArchiveEntryInfo* info) {
  Log().push_back(
      {"UnlhaFindFirst", wild ? wild : "", info, static_cast<std::uint32_t>(h), nullptr});
  if (h != 7) return -1;
  Cursor() = 0;
  Fill(info, Cursor()++);
  return 0;
}

__attribute__((visibility("default"))) std::int32_t UnlhaFindNext(ArcHandle h,
                                                                  TArchiveEntryInfo* info) {
  Log().push_back({"UnlhaFindNext", "", info, static_cast<std::uint32_t>(h), nullptr});
  if (h != 7 || Cursor() >= 3) return -1;
  Fill(info, Cursor()++);
  return 0;
}

// Inspection entries for the tests.
__attribute__((visibility("default"))) int Double_CallCount() {
  return static_cast<int>(Log().size());
}
__attribute__((visibility("default"))) const char* Double_Entry(int i) {
  return Log().at(static_cast<std::size_t>(i)).entry.c_str();
}
__attribute__((visibility("default"))) const char* Double_Text(int i) {
  return Log().at(static_cast<std::size_t>(i)).text.c_str();
}
__attribute__((visibility("default"))) const void* Double_Buffer(int i) {
  return Log().at(static_cast<std::size_t>(i)).buffer;
}
__attribute__((visibility("default"))) std::uint32_t Double_Number(int i) {
  return Log().at(static_cast<std::size_t>(i)).number;
}
__attribute__((visibility("default"))) void* Double_Wnd(int i) {
  return Log().at(static_cast<std::size_t>(i)).wnd;
}
__attribute__((visibility("default"))) void Double_Reset() { Log().clear(); }
__attribute__((visibility("default"))) int Double_Loads() { return Loads(); }

}  // extern "C"
