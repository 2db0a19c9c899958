// Shared pieces of the tar32.dll tests: the real library loaded with dlopen,
// a fresh temporary folder per test, and file and tool helpers on top of
// tests/support (GNU tar, bsdtar, 7zz, gzip, bzip2 are found on PATH).
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/ArchiverApi.h"
#include "tests/support/Command.h"
#include "tests/support/Files.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tools.h"

namespace tartest {

namespace fs = std::filesystem;

typedef std::int32_t (*TypeProc)(const char* fileName);

struct Library {
  void* handle = nullptr;
  ArcCommandProc command = nullptr;
  ArcOpenProc open = nullptr;
  ArcCloseProc close = nullptr;
  ArcFindFirstProc findFirst = nullptr;
  ArcFindNextProc findNext = nullptr;
  TypeProc type = nullptr;
  ArcSetProgressProc progress = nullptr;

  static Library& Get() {
    static Library lib = [] {
      Library l;
      l.handle = ::dlopen(TAR32_PATH, RTLD_NOW | RTLD_LOCAL);
      if (!l.handle) return l;
      l.command = reinterpret_cast<ArcCommandProc>(::dlsym(l.handle, "Tar"));
      l.open = reinterpret_cast<ArcOpenProc>(::dlsym(l.handle, "TarOpenArchive"));
      l.close = reinterpret_cast<ArcCloseProc>(::dlsym(l.handle, "TarCloseArchive"));
      l.findFirst = reinterpret_cast<ArcFindFirstProc>(::dlsym(l.handle, "TarFindFirst"));
      l.findNext = reinterpret_cast<ArcFindNextProc>(::dlsym(l.handle, "TarFindNext"));
      l.type = reinterpret_cast<TypeProc>(::dlsym(l.handle, "TarGetArchiveType"));
      l.progress =
          reinterpret_cast<ArcSetProgressProc>(::dlsym(l.handle, "TarSetProgressCallback"));
      return l;
    }();
    return lib;
  }
};

struct RunResult {
  std::int32_t result = -1;
  std::string output;
};

inline RunResult Tar(const std::string& cmd, std::uint32_t size = 1 << 20) {
  std::vector<char> buf(size + 1, '\x7f');
  RunResult r;
  r.result = Library::Get().command(nullptr, cmd.c_str(), size ? buf.data() : nullptr, size);
  if (size) r.output = buf.data();
  return r;
}

inline std::int32_t Type(const std::string& file) { return Library::Get().type(file.c_str()); }

inline std::string Q(const std::string& s) { return "\"" + s + "\""; }

inline void WriteFile(const fs::path& p, const std::string& data) {
  fs::create_directories(p.parent_path());
  testing_support::WriteFile(p.string(), data);
}

inline std::string ReadFile(const fs::path& p) { return testing_support::ReadFile(p.string()); }

// Log-like text: repetitive lines with varying numbers.
inline std::string LogText(std::size_t bytes, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s;
  const char* words[] = {"INFO", "WARN", "ERROR", "connect", "request", "timeout", "user", "id"};
  while (s.size() < bytes)
    s += "2026-11-" + std::to_string(1 + rng() % 28) + " 12:" + std::to_string(rng() % 60) + " " +
         words[rng() % 8] + " " + words[rng() % 8] + " n=" + std::to_string(rng() % 100000) + "\n";
  s.resize(bytes);
  return s;
}

// Runs a shell command in folder; returns the exit status, output in out.
inline int Shell(const std::string& cmd, const fs::path& folder, std::string* out = nullptr) {
  const testing_support::CommandResult r = testing_support::RunCommand(cmd, folder.string());
  if (out) *out = r.output;
  return r.status;
}

// Every file and link below root with what it holds: the file's length and
// a hash of its data, or "-> target" for a symbolic link. Folders are left out.
inline std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> tree;
  if (!fs::exists(root)) return tree;
  for (auto& e : fs::recursive_directory_iterator(root)) {
    const std::string rel = fs::relative(e.path(), root).string();
    if (e.is_symlink()) {
      tree[rel] = "-> " + fs::read_symlink(e.path()).string();
    } else if (e.is_regular_file()) {
      const std::string data = ReadFile(e.path());
      tree[rel] = std::to_string(data.size()) + " bytes, hash " +
                  std::to_string(std::hash<std::string>()(data));
    }
  }
  return tree;
}

struct Listed {
  std::string name;
  TArchiveEntryInfo info;
};

// Lists through TarOpenArchive / TarFindFirst / TarFindNext; empty when the
// archive does not open (opened tells which).
inline std::vector<Listed> List(const std::string& archive, const std::string& wild = "*",
                                bool* opened = nullptr) {
  Library& lib = Library::Get();
  std::vector<Listed> out;
  ArcHandle h = lib.open(nullptr, archive.c_str(), 0);
  if (opened) *opened = h != 0;
  if (h == 0) return out;
  TArchiveEntryInfo info;
  for (int r = lib.findFirst(h, wild.c_str(), &info); r == 0; r = lib.findNext(h, &info))
    out.push_back({info.FileName, info});
  lib.close(h);
  return out;
}

// A fresh temporary folder for each test, removed afterwards.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Library::Get().handle, nullptr)
        << "cannot load " << TAR32_PATH << ": " << ::dlerror();
  }
  fs::path Path(const std::string& rel) const { return fs::path(temp_.Path()) / rel; }
  std::string P(const std::string& rel) const { return Path(rel).string(); }
  testing_support::TempDir temp_;
  const fs::path dir_{temp_.Path()};
};

}  // namespace tartest
