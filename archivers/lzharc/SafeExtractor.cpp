#include "SafeExtractor.h"

#include "FileStreams.h"
#include "MemberTime.h"
#include "common/Messages.h"

namespace lzh {

namespace {

arc::ExtractRules RulesFor(ExtractOptions options) {
  arc::ExtractRules rules;
  rules.withFolders = options.withFolders;
  rules.overwriteAlways = options.overwriteAlways;
  // The member's parts are already split; joined with '/' they hold no '\'
  // separators of their own.
  rules.backslashSeparates = false;
  // "/Volume/dir/file" and "\dir\file" land below the base folder; the
  // report says the root was removed.
  rules.stripAbsolute = true;
  return rules;
}

}  // namespace

SafeExtractor::SafeExtractor(const std::string& baseDir, ExtractOptions options)
    : extractor_(Open(baseDir, options)) {}

arc::SafeExtractor SafeExtractor::Open(const std::string& baseDir, ExtractOptions options) {
  try {
    return arc::SafeExtractor(baseDir, RulesFor(options));
  } catch (const std::runtime_error& e) {
    throw FileError(e.what());
  }
}

ExtractReport SafeExtractor::Extract(int archiveFd, const std::string& archiveName,
                                     const ArchiveMember& m) {
  const EntryPath& path = m.path;
  if (path.symlink) return {ExtractOutcome::skippedLink, arc::msg::SymlinkNotExtracted()};
  if (path.hasParent) return {ExtractOutcome::refusedUnsafe, arc::msg::NameHoldsParent()};
  if (path.parts.empty()) return {ExtractOutcome::refusedUnsafe, arc::msg::EmptyName()};
  arc::EntryToExtract entry;
  entry.name = (path.absolute ? "/" : "") + path.Joined('/');
  entry.kind = m.header.isDirectory() ? arc::EntryKind::folder : arc::EntryKind::file;
  entry.mtime = MemberTime(m.header);
  if (m.header.unixMode) entry.unixMode = *m.header.unixMode;
  entry.readOnly =
      (m.header.attribute & 0x01) || (m.header.dosAttribute && (*m.header.dosAttribute & 1));
  return extractor_.Extract(entry, [&](int fd) {
    FileSink sink(fd, path.Name());
    MemberResult r = DecodeMember(archiveFd, archiveName, m, sink);
    const bool ok = r.status == Status::kOk || r.status == Status::kWarning;
    return arc::DataResult{ok, r.status == Status::kFailed, r.message};
  });
}

}  // namespace lzh
