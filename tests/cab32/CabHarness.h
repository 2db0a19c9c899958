// Shared pieces of the CAB32.DLL tests: the real library loaded with
// dlopen, a fresh temporary folder per test, file helpers and the external
// tools (cabextract, gcab, 7zz, bsdtar) found on PATH.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/ArchiverApi.h"

namespace cabtest {

namespace fs = std::filesystem;

struct Library {
  void* handle = nullptr;
  ArcCommandProc command = nullptr;
  ArcOpenProc open = nullptr;
  ArcCloseProc close = nullptr;
  ArcFindFirstProc findFirst = nullptr;
  ArcFindNextProc findNext = nullptr;
  ArcSetProgressProc setProgress = nullptr;
  ArcCheckArchiveProc check = nullptr;

  static Library& Get() {
    static Library lib = [] {
      Library l;
      l.handle = ::dlopen(CAB32_PATH, RTLD_NOW | RTLD_LOCAL);
      if (!l.handle) return l;
      l.command = reinterpret_cast<ArcCommandProc>(::dlsym(l.handle, "Cab"));
      l.open = reinterpret_cast<ArcOpenProc>(::dlsym(l.handle, "CabOpenArchive"));
      l.close = reinterpret_cast<ArcCloseProc>(::dlsym(l.handle, "CabCloseArchive"));
      l.findFirst = reinterpret_cast<ArcFindFirstProc>(::dlsym(l.handle, "CabFindFirst"));
      l.findNext = reinterpret_cast<ArcFindNextProc>(::dlsym(l.handle, "CabFindNext"));
      l.setProgress =
          reinterpret_cast<ArcSetProgressProc>(::dlsym(l.handle, "CabSetProgressCallback"));
      l.check = reinterpret_cast<ArcCheckArchiveProc>(::dlsym(l.handle, "CabCheckArchive"));
      return l;
    }();
    return lib;
  }
};

struct RunResult {
  std::int32_t result = -1;
  std::string output;
};

inline RunResult Cab(const std::string& cmd) {
  std::vector<char> buf(65536, '\x7f');
  RunResult r;
  r.result = Library::Get().command(nullptr, cmd.c_str(), buf.data(),
                                    static_cast<std::uint32_t>(buf.size()));
  r.output = buf.data();
  return r;
}

inline std::string Q(const std::string& s) { return "\"" + s + "\""; }

inline void WriteFile(const fs::path& p, const std::string& data) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << data;
}

inline std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline std::string RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(rng());
  return s;
}

// Log-like text: repetitive lines with varying numbers.
inline std::string LogText(std::size_t bytes, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s;
  const char* words[] = {"INFO", "WARN", "ERROR", "connect", "request", "timeout"};
  while (s.size() < bytes)
    s += "2026-11-" + std::to_string(1 + rng() % 28) + " " + words[rng() % 6] + " " +
         words[rng() % 6] + " id=" + std::to_string(rng() % 100000) + "\n";
  s.resize(bytes);
  return s;
}

inline std::string FindTool(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream ss(path ? path : "");
  for (std::string dir; std::getline(ss, dir, ':');) {
    fs::path p = fs::path(dir) / name;
    if (::access(p.c_str(), X_OK) == 0) return p;
  }
  return {};
}

#define REQUIRE_TOOL(name)                                                               \
  do {                                                                                   \
    if (::cabtest::FindTool(name).empty()) FAIL() << "tool not found on PATH: " << name; \
  } while (0)

// Runs a shell command in folder; returns the exit status and output.
inline int Shell(const std::string& cmd, const fs::path& folder, std::string* out = nullptr) {
  const std::string full = "cd " + Q(folder.string()) + " && " + cmd + " 2>&1 </dev/null";
  FILE* p = ::popen(full.c_str(), "r");
  if (!p) return -1;
  std::string text;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
  const int status = ::pclose(p);
  if (out) *out = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Every regular file below root, relative, sorted.
inline std::vector<std::string> ListFiles(const fs::path& root) {
  std::vector<std::string> files;
  if (!fs::exists(root)) return files;
  for (auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file() || e.is_symlink())
      files.push_back(fs::relative(e.path(), root).string());
  std::sort(files.begin(), files.end());
  return files;
}

// Names listed through CabOpenArchive / CabFindFirst / CabFindNext.
inline std::vector<TArchiveEntryInfo> List(const std::string& archive, const char* wild = "*") {
  Library& lib = Library::Get();
  std::vector<TArchiveEntryInfo> entries;
  const ArcHandle h = lib.open(nullptr, archive.c_str(), 0);
  if (h == 0) return entries;
  TArchiveEntryInfo info{};
  for (int r = lib.findFirst(h, wild, &info); r == 0; r = lib.findNext(h, &info))
    entries.push_back(info);
  lib.close(h);
  return entries;
}

class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Library::Get().handle, nullptr)
        << "cannot load " << CAB32_PATH << ": " << ::dlerror();
    std::string pattern = (fs::temp_directory_path() / "cab-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path Path(const std::string& rel) const { return dir_ / rel; }
  std::string P(const std::string& rel) const { return (dir_ / rel).string(); }
  fs::path dir_;
};

}  // namespace cabtest
