// a: add every matching file (replacing members of the same name).
// u: add files that are missing from the archive or newer than their member.
// The archive is written to a temporary file and renamed into place only
// when complete: any failure, or a cancel through the progress callback,
// leaves the old archive as it was. Files are packed on a pool of worker
// threads and written in order; the progress callback is called from the
// calling thread only.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>

#include "Commands.h"
#include "FileGatherer.h"
#include "MemberPacker.h"
#include "OpenArchive.h"
#include "PackingPool.h"
#include "common/ArchiverApi.h"
#include "common/Failure.h"
#include "common/ListingReport.h"
#include "common/Messages.h"
#include "common/OrderedPool.h"
#include "common/Progress.h"
#include "common/ReplacementFile.h"
#include "lzharc/EntryName.h"
#include "lzharc/FileStreams.h"
#include "lzharc/MemberTime.h"

namespace unlha {
namespace {

void CopyRange(int from, int to, std::uint64_t offset, std::uint64_t length,
               const std::string& fromName, const std::string& toName) {
  std::vector<std::uint8_t> buf(1 << 16);
  while (length > 0) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(length, buf.size()));
    try {
      lzh::ReadAt(from, buf.data(), n, offset, fromName);
    } catch (const std::exception& e) {
      throw arc::Failure(arc::kNotArchive, e.what());
    }
    try {
      lzh::WriteAll(to, buf.data(), n, toName);
    } catch (const std::exception& e) {
      throw arc::Failure(arc::kCannotWrite, e.what());
    }
    offset += n;
    length -= n;
  }
}

std::string Line(arc::msg::Verdict verdict, const std::string& name, const PackedFile& p) {
  char buf[96];
  std::snprintf(buf, sizeof buf, " %12llu -> %12llu %s %s",
                static_cast<unsigned long long>(p.originalSize),
                static_cast<unsigned long long>(p.packedSize),
                arc::RatioText(p.packedSize, p.originalSize).c_str(), p.method.c_str());
  return arc::msg::Line(verdict, lzh::PrintableName(name)) + buf;
}

}  // namespace

std::int32_t RunAdd(const UnlhaOptions& o, arc::Report& report) {
  struct stat ast {};
  const bool exists = ::stat(o.archive.c_str(), &ast) == 0;
  std::unique_ptr<OpenArchive> old;
  if (exists) old = std::make_unique<OpenArchive>(o.archive);  // throws kNotArchive when damaged
  if (o.files.empty()) throw arc::Failure(arc::kBadCommand, arc::msg::NoFileNames());

  GatherResult g = GatherFiles(o, exists ? ast.st_dev : 0, exists ? ast.st_ino : 0, o.archive);
  for (const auto& n : g.notes) report.Line(lzh::PrintableName(n));
  if (g.files.empty()) {
    report.Line(arc::msg::NoFileMatched() + "。" + arc::msg::ArchiveUnchanged());
    return arc::kNothingMatched;
  }

  // Decide, for every file, whether it goes in and which member it replaces.
  std::map<std::string, std::size_t> memberOf;  // stored name -> member index
  if (old)
    for (std::size_t i = 0; i < old->index().members.size(); ++i)
      memberOf.emplace(old->index().members[i].path.Joined(), i);
  std::map<std::size_t, const SourceFile*> replacing;  // member index -> file
  std::vector<const SourceFile*> appended;
  std::size_t upToDate = 0;
  for (const auto& f : g.files) {
    auto it = memberOf.find(lzh::EntryPath{f.parts}.Joined());
    if (it == memberOf.end()) {
      appended.push_back(&f);
      continue;
    }
    const auto& m = old->index().members[it->second];
    // MS-DOS stamps keep even seconds only: a file one second later is not newer.
    const std::int64_t slack = m.header.unixTime ? 0 : 1;
    if (o.command == 'u' && !o.skipNewerTest && f.mtime <= lzh::MemberTime(m.header) + slack) {
      ++upToDate;
      continue;
    }
    replacing[it->second] = &f;
  }
  if (replacing.empty() && appended.empty()) {
    report.Line("どのファイルも書庫の中が最新です。" + arc::msg::ArchiveUnchanged());
    return arc::kOk;
  }

  std::unique_ptr<arc::ReplacementFile> out;
  try {
    out = std::make_unique<arc::ReplacementFile>(o.archive, o.workDir);
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  const std::string outName = out->TempPath();
  // The files to pack, in the order their members are written.
  std::vector<const SourceFile*> toPack;
  std::uint64_t bytesToPack = 0;
  for (const auto& [index, file] : replacing) toPack.push_back(file);
  toPack.insert(toPack.end(), appended.begin(), appended.end());
  for (const SourceFile* f : toPack) bytesToPack += f->size;

  arc::Progress progress;
  progress.SetTotals(toPack.size(), bytesToPack);
  std::uint64_t reported = 0;
  auto tell = [&](std::uint64_t bytesRead) {
    const std::uint64_t step = bytesRead > reported ? bytesRead - reported : 0;
    reported += step;
    return progress.AddBytes(step);
  };
  auto cancelled = []() -> arc::Failure { return {arc::kCancelled, arc::msg::Cancelled()}; };

  const std::string spillDir = std::filesystem::path(outName).parent_path().string();
  PackingPool pool(toPack, PackSettings{o.method, o.effort, o.cp932Names},
                   arc::OrderedPool::ThreadsFor(o.threads, toPack.size()),
                   spillDir.empty() ? std::string(".") : spillDir);
  std::size_t taken = 0;
  std::uint64_t totalOriginal = 0, totalPacked = 0;
  std::size_t kept = 0;
  auto pack = [&](const SourceFile& f, arc::msg::Verdict verb) {
    const std::string name = lzh::EntryPath{f.parts}.Joined();
    if (!progress.StartFile(name)) throw cancelled();
    PackedMember m = pool.Take(taken++, tell);
    m.data->copyTo(out->fd(), outName);
    if (!tell(pool.BytesRead()) || !progress.FinishFile()) throw cancelled();
    totalOriginal += m.info.originalSize;
    totalPacked += m.info.packedSize;
    report.Line(Line(verb, name, m.info));
  };
  if (old) {
    const auto& members = old->index().members;
    for (std::size_t i = 0; i < members.size(); ++i) {
      auto r = replacing.find(i);
      if (r != replacing.end()) {
        pack(*r->second, arc::msg::Verdict::replaced);
      } else {
        CopyRange(old->fd(), out->fd(), members[i].headerOffset,
                  members[i].endOffset() - members[i].headerOffset, o.archive, outName);
        ++kept;
      }
    }
  }
  for (const SourceFile* f : appended) pack(*f, arc::msg::Verdict::added);
  if (progress.Cancelled()) throw cancelled();
  const std::uint8_t endMark = 0;
  try {
    lzh::WriteAll(out->fd(), &endMark, 1, outName);
    out->Commit();
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  char summary[160];
  std::snprintf(summary, sizeof summary,
                "%zu 件を格納、%zu 件をそのまま、%zu 件は最新: %llu → %llu バイト (%s)",
                replacing.size() + appended.size(), kept, upToDate,
                static_cast<unsigned long long>(totalOriginal),
                static_cast<unsigned long long>(totalPacked),
                arc::RatioText(totalPacked, totalOriginal).c_str());
  report.Line(summary);
  return arc::kOk;
}

}  // namespace unlha
