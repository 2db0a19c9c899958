// TEST DOUBLE of the three ZIP libraries, built once per library (the
// compile definition DOUBLE_UNZIP32, DOUBLE_ZIP32J or DOUBLE_LMZIP32 picks
// which entries it exports, LMZIP32.DLL with its lower-case z) into
// bin/double/ziprec/. It records every call, with the entry name as
// exported, and compresses nothing. A test can set the result of the
// command entries and a file the "Zip" entry writes before it returns.
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "archivers/common/ArchiverApi.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

#if defined(DOUBLE_LMZIP32)
#define UNZIP_ENTRY(suffix) Unzip##suffix
#else
#define UNZIP_ENTRY(suffix) UnZip##suffix
#endif

namespace {

struct Call {
  std::string entry;
  std::string text;  // command line, archive name or wildcard
  const void* buffer = nullptr;
  std::uint32_t number = 0;  // buffer size, mode or handle
  ArcWnd wnd = nullptr;
  bool watchedExisted = false;  // the watched file existed when the call came
};

struct State {
  std::vector<Call> log;
  std::int32_t result = 0;
  std::string watch;
  std::string writePath, writeText;
};

State& S() {
  static State s;
  return s;
}

void Record(const char* entry, const char* text, const void* buffer, std::uint32_t number,
            ArcWnd wnd) {
  struct stat st {};
  const bool existed = !S().watch.empty() && ::stat(S().watch.c_str(), &st) == 0;
  S().log.push_back({entry, text ? text : "", buffer, number, wnd, existed});
}

std::int32_t Command(const char* entry, ArcWnd wnd, const char* cmdLine, char* output,
                     std::uint32_t size) {
  Record(entry, cmdLine, output, size, wnd);
  if (!S().writePath.empty()) std::ofstream(S().writePath, std::ios::binary) << S().writeText;
  if (output != nullptr && size > 0) {
    std::strncpy(output, entry, size - 1);
    output[size - 1] = '\0';
  }
  return S().result;
}

}  // namespace

#if defined(DOUBLE_ZIP32J) || defined(DOUBLE_LMZIP32)
EXPORT std::int32_t Zip(ArcWnd wnd, const char* cmdLine, char* output, std::uint32_t size) {
  return Command(__func__, wnd, cmdLine, output, size);
}
#endif

#if defined(DOUBLE_UNZIP32) || defined(DOUBLE_LMZIP32)
EXPORT std::int32_t UNZIP_ENTRY()(ArcWnd wnd, const char* cmdLine, char* output,
                                  std::uint32_t size) {
  return Command(__func__, wnd, cmdLine, output, size);
}
#endif

// Any non-empty file opens, as handle 9.
EXPORT ArcHandle UNZIP_ENTRY(OpenArchive)(ArcWnd wnd, const char* name, std::uint32_t mode) {
  Record(__func__, name, nullptr, mode, wnd);
  struct stat st {};
  return name != nullptr && ::stat(name, &st) == 0 && st.st_size > 0 ? 9 : 0;
}

EXPORT std::int32_t UNZIP_ENTRY(CloseArchive)(ArcHandle h) {
  Record(__func__, "", nullptr, static_cast<std::uint32_t>(h), nullptr);
  return 0;
}

EXPORT std::int32_t UNZIP_ENTRY(FindFirst)(ArcHandle h, const char* wild, TArchiveEntryInfo* info) {
  Record(__func__, wild, info, static_cast<std::uint32_t>(h), nullptr);
  std::memset(info, 0, sizeof *info);
  std::strcpy(info->FileName, "LOG/DR0701.log");
  return 0;
}

EXPORT std::int32_t UNZIP_ENTRY(FindNext)(ArcHandle h, TArchiveEntryInfo* info) {
  Record(__func__, "", info, static_cast<std::uint32_t>(h), nullptr);
  return -1;
}

// Inspection and control entries for the tests.
EXPORT int Double_CallCount() { return static_cast<int>(S().log.size()); }
EXPORT const char* Double_Entry(int i) {
  return S().log.at(static_cast<std::size_t>(i)).entry.c_str();
}
EXPORT const char* Double_Text(int i) {
  return S().log.at(static_cast<std::size_t>(i)).text.c_str();
}
EXPORT const void* Double_Buffer(int i) { return S().log.at(static_cast<std::size_t>(i)).buffer; }
EXPORT std::uint32_t Double_Number(int i) { return S().log.at(static_cast<std::size_t>(i)).number; }
EXPORT int Double_WatchedExisted(int i) {
  return S().log.at(static_cast<std::size_t>(i)).watchedExisted ? 1 : 0;
}
EXPORT void Double_SetResult(std::int32_t r) { S().result = r; }
EXPORT void Double_Watch(const char* path) { S().watch = path; }
EXPORT void Double_WriteOnCommand(const char* path, const char* text) {
  S().writePath = path;
  S().writeText = text;
}
