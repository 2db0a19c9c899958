// TEST DOUBLE of the ARJ archiver library, built as UNARJ32J.DLL into
// bin/double/arj/ (a folder no search reaches unless a test names it). It
// records every call with its window handle, text and buffer, answers
// 0x5678 to "Unarj", opens any non-empty file as handle 9 with two members,
// and reads nothing.
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

int cursor = 0;
const char* const kMembers[] = {"DR1101.log", "docs/readme.txt"};

std::int32_t Next(TArchiveEntryInfo* info) {
  if (cursor >= 2) return -1;
  std::memset(info, 0, sizeof *info);
  std::strcpy(info->FileName, kMembers[cursor++]);
  return 0;
}

}  // namespace

EXPORT std::int32_t Unarj(ArcWnd wnd, const char* cmdLine, char* output, std::uint32_t size) {
  Log().push_back({"Unarj", cmdLine ? cmdLine : "", output, size, wnd});
  if (output != nullptr && size > 0) {
    std::strncpy(output, "arj double", size - 1);
    output[size - 1] = '\0';
  }
  return 0x5678;
}

EXPORT ArcHandle UnarjOpenArchive(ArcWnd wnd, const char* name, std::uint32_t mode) {
  Log().push_back({"UnarjOpenArchive", name ? name : "", nullptr, mode, wnd});
  struct stat st {};
  if (name == nullptr || stat(name, &st) != 0 || st.st_size == 0) return 0;
  return 9;
}

EXPORT std::int32_t UnarjCloseArchive(ArcHandle h) {
  Log().push_back({"UnarjCloseArchive", "", nullptr, static_cast<std::uint32_t>(h), nullptr});
  return 0;
}

EXPORT std::int32_t UnarjFindFirst(ArcHandle h, const char* wild, TArchiveEntryInfo* info) {
  Log().push_back({"UnarjFindFirst", wild ? wild : "", info, static_cast<std::uint32_t>(h)});
  cursor = 0;
  return h == 9 ? Next(info) : -1;
}

EXPORT std::int32_t UnarjFindNext(ArcHandle h, TArchiveEntryInfo* info) {
  Log().push_back({"UnarjFindNext", "", info, static_cast<std::uint32_t>(h)});
  return h == 9 ? Next(info) : -1;
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
