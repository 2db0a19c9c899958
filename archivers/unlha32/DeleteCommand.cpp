// d: removes the members that match the operands. Nothing matched: the
// archive is left as it was. No member left: the archive file is removed.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "Commands.h"
#include "OpenArchive.h"
#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"
#include "common/Failure.h"
#include "common/Messages.h"
#include "common/ReplacementFile.h"
#include "lzharc/EntryName.h"
#include "lzharc/FileStreams.h"

namespace unlha {

std::int32_t RunDelete(const UnlhaOptions& o, arc::Report& report) {
  if (o.files.empty())
    throw arc::Failure(arc::kBadCommand, "削除するファイルの名前が指定されていません");
  OpenArchive old(o.archive);
  const auto& members = old.index().members;
  std::vector<bool> drop(members.size(), false);
  std::size_t dropped = 0;
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (arc::MatchesAnyMask(members[i].path.Joined(), o.files)) {
      drop[i] = true;
      ++dropped;
      report.Line(
          arc::msg::Line(arc::msg::Verdict::deleted, lzh::PrintableName(members[i].path.Joined())));
    }
  }
  if (dropped == 0) {
    report.Line(arc::msg::NoMemberMatched() + "。" + arc::msg::ArchiveUnchanged());
    return arc::kNothingMatched;
  }
  if (dropped == members.size()) {
    if (::unlink(o.archive.c_str()) != 0)
      throw arc::Failure(arc::kCannotWrite, arc::msg::Quoted(o.archive) + " を削除できません" +
                                                arc::msg::Because(std::strerror(errno)));
    report.Line("ファイルが残らないので書庫を削除しました");
    return arc::kOk;
  }
  try {
    arc::ReplacementFile out(o.archive, o.workDir);
    std::vector<std::uint8_t> buf(1 << 16);
    for (std::size_t i = 0; i < members.size(); ++i) {
      if (drop[i]) continue;
      std::uint64_t at = members[i].headerOffset, left = members[i].endOffset() - at;
      while (left > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, buf.size()));
        lzh::ReadAt(old.fd(), buf.data(), n, at, o.archive);
        lzh::WriteAll(out.fd(), buf.data(), n, out.TempPath());
        at += n;
        left -= n;
      }
    }
    const std::uint8_t endMark = 0;
    lzh::WriteAll(out.fd(), &endMark, 1, out.TempPath());
    out.Commit();
  } catch (const arc::Failure&) {
    throw;
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  report.Line(arc::msg::DeleteSummary(dropped, members.size() - dropped));
  return arc::kOk;
}

}  // namespace unlha
