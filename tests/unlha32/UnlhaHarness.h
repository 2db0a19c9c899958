// Shared pieces of the UNLHA32.DLL tests: the real library loaded with
// dlopen, a fresh temporary folder per test, file helpers and the external
// tools (lhasa, 7zz, bsdtar, jlha) found on PATH.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/ArchiverApi.h"

namespace unlhatest {

namespace fs = std::filesystem;

struct Library {
  void* handle = nullptr;
  ArcCommandProc command = nullptr;
  ArcOpenProc open = nullptr;
  ArcCloseProc close = nullptr;
  ArcFindFirstProc findFirst = nullptr;
  ArcFindNextProc findNext = nullptr;
  ArcGetVersionProc version = nullptr;
  ArcCheckArchiveProc check = nullptr;

  static Library& Get() {
    static Library lib = [] {
      Library l;
      l.handle = ::dlopen(UNLHA32_PATH, RTLD_NOW | RTLD_LOCAL);
      if (!l.handle) return l;
      l.command = reinterpret_cast<ArcCommandProc>(::dlsym(l.handle, "Unlha"));
      l.open = reinterpret_cast<ArcOpenProc>(::dlsym(l.handle, "UnlhaOpenArchive"));
      l.close = reinterpret_cast<ArcCloseProc>(::dlsym(l.handle, "UnlhaCloseArchive"));
      l.findFirst = reinterpret_cast<ArcFindFirstProc>(::dlsym(l.handle, "UnlhaFindFirst"));
      l.findNext = reinterpret_cast<ArcFindNextProc>(::dlsym(l.handle, "UnlhaFindNext"));
      l.version = reinterpret_cast<ArcGetVersionProc>(::dlsym(l.handle, "UnlhaGetVersion"));
      l.check = reinterpret_cast<ArcCheckArchiveProc>(::dlsym(l.handle, "UnlhaCheckArchive"));
      return l;
    }();
    return lib;
  }
};

struct RunResult {
  std::int32_t result = -1;
  std::string output;
};

inline RunResult Unlha(const std::string& cmd, std::uint32_t size = 65536) {
  Library& lib = Library::Get();
  std::vector<char> buf(size + 1, '\x7f');
  RunResult r;
  r.result = lib.command(nullptr, cmd.c_str(), size ? buf.data() : nullptr, size);
  if (size) r.output = buf.data();
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
  const char* words[] = {"INFO",    "WARN",    "ERROR", "connect",
                         "request", "timeout", "user",  "session"};
  while (s.size() < bytes) {
    s += "2026-11-" + std::to_string(1 + rng() % 28) + " 12:" + std::to_string(rng() % 60) + " " +
         words[rng() % 8] + " " + words[rng() % 8] + " id=" + std::to_string(rng() % 100000) + "\n";
  }
  s.resize(bytes);
  return s;
}

// Absolute path of a tool on PATH, or "" (the test then fails clearly).
inline std::string FindTool(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream ss(path ? path : "");
  for (std::string dir; std::getline(ss, dir, ':');) {
    fs::path p = fs::path(dir) / name;
    if (::access(p.c_str(), X_OK) == 0) return p;
  }
  return {};
}

#define REQUIRE_TOOL(name)                                                                 \
  do {                                                                                     \
    if (::unlhatest::FindTool(name).empty()) FAIL() << "tool not found on PATH: " << name; \
  } while (0)

// Runs a shell command in folder; returns the exit status and output.
inline int Shell(const std::string& cmd, const fs::path& folder, std::string* out = nullptr) {
  std::string full = "cd " + Q(folder.string()) + " && " + cmd + " 2>&1 </dev/null";
  FILE* p = ::popen(full.c_str(), "r");
  if (!p) return -1;
  std::string text;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
  int status = ::pclose(p);
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

// A fresh temporary folder for each test, removed afterwards.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Library::Get().handle, nullptr)
        << "cannot load " << UNLHA32_PATH << ": " << ::dlerror();
    std::string pattern = (fs::temp_directory_path() / "unlha-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  fs::path Path(const std::string& rel) const { return dir_ / rel; }
  std::string P(const std::string& rel) const { return (dir_ / rel).string(); }
  fs::path dir_;
};

}  // namespace unlhatest

namespace unlhatest {

inline std::uint32_t Crc32(const std::string& data, std::uint32_t crc = 0) {
  crc = ~crc;
  for (unsigned char c : data) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return ~crc;
}

struct CorpusRow {
  std::string archive;  // relative to CORPUS_DIR
  std::uint32_t crc = 0;
  std::uint64_t length = 0;
};

inline std::vector<CorpusRow> CorpusRows() {
  std::vector<CorpusRow> rows;
  std::ifstream in(std::string(CORPUS_DIR) + "/EXPECTED.tsv");
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::stringstream ss(line);
    CorpusRow r;
    std::string crc;
    ss >> r.archive >> crc >> r.length;
    r.crc = static_cast<std::uint32_t>(std::stoul(crc, nullptr, 16));
    rows.push_back(r);
  }
  return rows;
}

}  // namespace unlhatest
