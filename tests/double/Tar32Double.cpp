// TEST DOUBLE of tar32.dll. It is built under that file name into a folder
// of its own (bin/double/tar), next to the TAR back-end tests that load it,
// and records every call it receives so the tests can check exactly what
// the back ends hand over. It reads and writes no archive.
#include <cstring>
#include <string>
#include <vector>

#include "archivers/common/ArchiverApi.h"

#define DOUBLE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Call {
  std::string entry;
  std::string text;  // command line, archive name, wildcard or file name
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

std::int32_t& TypeAnswer() {
  static std::int32_t answer = 1;
  return answer;
}

struct CountLoads {
  CountLoads() { ++Loads(); }
} countLoads;

}  // namespace

DOUBLE_EXPORT std::int32_t Tar(ArcWnd wnd, const char* cmdLine, char* output, std::uint32_t size) {
  Log().push_back({"Tar", cmdLine ? cmdLine : "", output, size, wnd});
  if (output != nullptr && size > 0) {
    std::strncpy(output, "double ok", size - 1);
    output[size - 1] = '\0';
  }
  return 0x8003;
}

DOUBLE_EXPORT ArcHandle TarOpenArchive(ArcWnd wnd, const char* name, std::uint32_t mode) {
  Log().push_back({"TarOpenArchive", name ? name : "", nullptr, mode, wnd});
  return 5;
}

DOUBLE_EXPORT std::int32_t TarCloseArchive(ArcHandle h) {
  Log().push_back({"TarCloseArchive", "", nullptr, static_cast<std::uint32_t>(h), nullptr});
  return 17;
}

DOUBLE_EXPORT std::int32_t TarFindFirst(ArcHandle h, const char* wild, TArchiveEntryInfo* info) {
  Log().push_back({"TarFindFirst", wild ? wild : "", info, static_cast<std::uint32_t>(h), nullptr});
  std::memset(info, 0, sizeof *info);
  std::strcpy(info->FileName, "first.log");
  return 0;
}

DOUBLE_EXPORT std::int32_t TarFindNext(ArcHandle h, TArchiveEntryInfo* info) {
  Log().push_back({"TarFindNext", "", info, static_cast<std::uint32_t>(h), nullptr});
  return 3;
}

DOUBLE_EXPORT std::int32_t TarGetArchiveType(const char* fileName) {
  Log().push_back({"TarGetArchiveType", fileName ? fileName : "", nullptr, 0, nullptr});
  return TypeAnswer();
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
DOUBLE_EXPORT void Double_SetType(std::int32_t answer) { TypeAnswer() = answer; }
