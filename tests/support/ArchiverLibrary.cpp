#include "tests/support/ArchiverLibrary.h"

#include <dlfcn.h>

namespace testing_support {

ArchiverLibrary::ArchiverLibrary(const std::string& path, const std::string& prefix,
                                 const std::string& listPrefix) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* why = dlerror();
    problem_ = "cannot load " + path + ": " + (why != nullptr ? why : "no reason given");
    return;
  }
  const std::string& list = listPrefix.empty() ? prefix : listPrefix;
  command = Entry<ArcCommandProc>(prefix);
  open = Entry<ArcOpenProc>(list + "OpenArchive");
  close = Entry<ArcCloseProc>(list + "CloseArchive");
  findFirst = Entry<ArcFindFirstProc>(list + "FindFirst");
  findNext = Entry<ArcFindNextProc>(list + "FindNext");
  check = Entry<ArcCheckArchiveProc>(list + "CheckArchive");
  size64 = Entry<ArcGetSize64Proc>(list + "GetOriginalSize64");
  setProgress = Entry<ArcSetProgressProc>(prefix + "SetProgressCallback");
  version = Entry<ArcGetVersionProc>(prefix + "GetVersion");
  std::string missing;
  if (command == nullptr) missing += " " + prefix;
  if (open == nullptr) missing += " " + list + "OpenArchive";
  if (close == nullptr) missing += " " + list + "CloseArchive";
  if (findFirst == nullptr) missing += " " + list + "FindFirst";
  if (findNext == nullptr) missing += " " + list + "FindNext";
  if (!missing.empty()) problem_ = path + " does not export" + missing;
}

void* ArchiverLibrary::Symbol(const std::string& name) const {
  return handle_ != nullptr ? dlsym(handle_, name.c_str()) : nullptr;
}

RunResult ArchiverLibrary::Run(const std::string& commandLine, std::uint32_t size) const {
  std::vector<char> buffer(std::size_t{size} + 1, '\x7f');
  RunResult run;
  run.result = command(nullptr, commandLine.c_str(), size != 0 ? buffer.data() : nullptr, size);
  if (size != 0) run.output = buffer.data();
  return run;
}

std::vector<TArchiveEntryInfo> ArchiverLibrary::List(const std::string& archive,
                                                     const std::string& wild, std::uint32_t mode,
                                                     bool* opened) const {
  std::vector<TArchiveEntryInfo> entries;
  const ArcHandle handle = open(nullptr, archive.c_str(), mode);
  if (opened != nullptr) *opened = handle != 0;
  if (handle == 0) return entries;
  TArchiveEntryInfo info{};
  for (int r = findFirst(handle, wild.c_str(), &info); r == 0; r = findNext(handle, &info))
    entries.push_back(info);
  close(handle);
  return entries;
}

std::string Q(const std::string& name) { return "\"" + name + "\""; }

}  // namespace testing_support
