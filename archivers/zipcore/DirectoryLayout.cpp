#include "DirectoryLayout.h"

#include <unistd.h>

#include <algorithm>
#include <utility>

#include "ZipNames.h"
#include "common/LittleEndian.h"
#include "common/SafeText.h"
#include "platform/TextConvert.h"

namespace zipcore {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50, kZip64EndSignature = 0x06064b50,
                        kZip64LocatorSignature = 0x07064b50, kCentralSignature = 0x02014b50,
                        kLocalSignature = 0x04034b50, kArchiveExtraSignature = 0x08064b50;
constexpr std::uint64_t kEndSize = 22, kLocatorSize = 20, kZip64EndSize = 56;
constexpr std::uint64_t kCentralSize = 46, kLocalSize = 30;
constexpr std::uint16_t kUtf8Flag = 0x0800, kZip64Field = 0x0001;
// Strong encryption of the directory needs version 6.2.
constexpr std::uint16_t kEncryptedDirectoryVersion = 62;
// A directory larger than this is left to libzip, which says what it thinks.
constexpr std::uint64_t kDirectoryLimit = 1ull << 30;

bool ReadAt(int fd, std::uint64_t at, std::size_t n, std::vector<std::uint8_t>& out) {
  out.resize(n);
  std::size_t got = 0;
  while (got < n) {
    const ssize_t r = ::pread(fd, out.data() + got, n - got, static_cast<off_t>(at + got));
    if (r <= 0) return false;
    got += static_cast<std::size_t>(r);
  }
  return true;
}

bool SignatureAt(int fd, std::uint64_t at, std::uint32_t signature) {
  std::vector<std::uint8_t> b;
  return ReadAt(fd, at, 4, b) && arc::Le32(b.data()) == signature;
}

struct Range {
  std::uint64_t start, end;
};

// The sizes and offset of one directory record, the 0xFFFFFFFF ones taken
// from its ZIP64 field; false when a 0xFFFFFFFF one has none there.
bool Zip64Values(const std::uint8_t* extra, std::size_t length, std::uint64_t& original,
                 std::uint64_t& compressed, std::uint64_t& offset) {
  const bool needOriginal = original == 0xFFFFFFFFu, needCompressed = compressed == 0xFFFFFFFFu,
             needOffset = offset == 0xFFFFFFFFu;
  if (!needOriginal && !needCompressed && !needOffset) return true;
  for (std::size_t at = 0; at + 4 <= length;) {
    const std::uint16_t id = arc::Le16(extra + at);
    const std::size_t size = arc::Le16(extra + at + 2);
    if (at + 4 + size > length) break;
    if (id == kZip64Field) {
      std::size_t p = at + 4;
      const std::size_t end = p + size;
      for (auto [need, value] :
           {std::pair{needOriginal, &original}, std::pair{needCompressed, &compressed},
            std::pair{needOffset, &offset}}) {
        if (!need) continue;
        if (p + 8 > end) return false;
        *value = arc::Le64(extra + p);
        p += 8;
      }
      return true;
    }
    at += 4 + size;
  }
  return false;
}

}  // namespace

DirectoryLayout ReadDirectoryLayout(int fd, std::uint64_t size) {
  DirectoryLayout layout;
  if (size < kEndSize) return layout;
  // The end record is within the last 64 KiB of comment; the last one whose
  // comment reaches the end of the file, else the last one.
  const std::uint64_t tailStart = size > 0xFFFF + kEndSize ? size - 0xFFFF - kEndSize : 0;
  std::vector<std::uint8_t> tail;
  if (!ReadAt(fd, tailStart, static_cast<std::size_t>(size - tailStart), tail)) return layout;
  std::uint64_t endAt = 0;
  bool haveEnd = false;
  for (std::size_t i = tail.size() - kEndSize + 1; i-- > 0;) {
    if (arc::Le32(tail.data() + i) != kEndSignature) continue;
    if (!haveEnd) endAt = tailStart + i;
    haveEnd = true;
    if (i + kEndSize + arc::Le16(tail.data() + i + 20) == tail.size()) {
      endAt = tailStart + i;
      break;
    }
  }
  if (!haveEnd) return layout;
  const std::uint8_t* end = tail.data() + (endAt - tailStart);
  std::uint64_t count = arc::Le16(end + 10);
  std::uint64_t directorySize = arc::Le32(end + 12);
  std::uint64_t directoryOffset = arc::Le32(end + 16);
  std::uint64_t directoryEnd = endAt;
  bool multiVolume = arc::Le16(end + 4) != 0 || arc::Le16(end + 6) != 0;

  // A ZIP64 end record sits right before its locator, the locator right
  // before the end record.
  std::vector<std::uint8_t> b;
  if (endAt >= kLocatorSize + kZip64EndSize && ReadAt(fd, endAt - kLocatorSize, kLocatorSize, b) &&
      arc::Le32(b.data()) == kZip64LocatorSignature) {
    const std::uint64_t declared = arc::Le64(b.data() + 8);
    std::uint64_t at = declared;
    if (!SignatureAt(fd, at, kZip64EndSignature)) at = endAt - kLocatorSize - kZip64EndSize;
    if (!ReadAt(fd, at, kZip64EndSize, b) || arc::Le32(b.data()) != kZip64EndSignature)
      return layout;
    if (arc::Le16(b.data() + 14) >= kEncryptedDirectoryVersion) {
      layout.damage = "書庫の中央ディレクトリが暗号化されています (この暗号には対応していません)";
      return layout;
    }
    multiVolume = arc::Le32(b.data() + 16) != 0 || arc::Le32(b.data() + 20) != 0;
    count = arc::Le64(b.data() + 32);
    directorySize = arc::Le64(b.data() + 40);
    directoryOffset = arc::Le64(b.data() + 48);
    directoryEnd = at;
  }
  // A set of volumes: the offsets count in other files, libzip says so.
  if (multiVolume) return layout;
  if (directorySize > directoryEnd || directorySize > kDirectoryLimit) return layout;
  const std::uint64_t directoryAt = directoryEnd - directorySize;
  if (SignatureAt(fd, directoryAt, kArchiveExtraSignature) ||
      SignatureAt(fd, directoryOffset, kArchiveExtraSignature)) {
    layout.damage = "書庫の中央ディレクトリが暗号化されています (この暗号には対応していません)";
    return layout;
  }
  // Offsets are right when the directory is where they say; else, when it
  // is where the end record puts it, everything is moved by a stub.
  if (count == 0 || SignatureAt(fd, directoryOffset, kCentralSignature)) {
    layout.shift = 0;
  } else if (directoryAt > directoryOffset && SignatureAt(fd, directoryAt, kCentralSignature)) {
    layout.shift = directoryAt - directoryOffset;
  } else {
    return layout;
  }
  if (directoryOffset + layout.shift > size - directorySize) return layout;
  std::vector<std::uint8_t> dir;
  if (!ReadAt(fd, directoryOffset + layout.shift, static_cast<std::size_t>(directorySize), dir))
    return layout;
  layout.found = true;

  std::vector<Range> ranges;
  for (std::size_t at = 0; at + kCentralSize <= dir.size();) {
    const std::uint8_t* r = dir.data() + at;
    if (arc::Le32(r) != kCentralSignature) break;
    const std::uint16_t flags = arc::Le16(r + 8);
    std::uint64_t compressed = arc::Le32(r + 20), original = arc::Le32(r + 24);
    const std::size_t nameLength = arc::Le16(r + 28), extraLength = arc::Le16(r + 30),
                      commentLength = arc::Le16(r + 32);
    std::uint64_t offset = arc::Le32(r + 42);
    const bool otherVolume = arc::Le16(r + 34) != 0;
    if (at + kCentralSize + nameLength + extraLength + commentLength > dir.size()) break;
    const std::string_view raw(reinterpret_cast<const char*>(r + kCentralSize), nameLength);
    const bool falseUtf8 = (flags & kUtf8Flag) && !platform::IsValidUtf8(raw);
    if (falseUtf8) layout.falseUtf8Flags.push_back(directoryOffset + layout.shift + at + 8);
    if (!Zip64Values(r + kCentralSize + nameLength, extraLength, original, compressed, offset) &&
        layout.damage.empty())
      layout.damage =
          "項目 " + arc::SafeText(DecodeStoredName(raw)) +
          " の大きさか位置が 0xFFFFFFFF ですが、それを入れる ZIP64 の拡張情報がありません";
    const std::uint64_t local = offset + layout.shift;
    layout.entries.push_back({local, falseUtf8});
    std::uint64_t dataAt = local + kLocalSize;
    if (ReadAt(fd, local, kLocalSize, b) && arc::Le32(b.data()) == kLocalSignature)
      dataAt += arc::Le16(b.data() + 26) + arc::Le16(b.data() + 28);
    if (!otherVolume)
      ranges.push_back({local, dataAt + compressed < dataAt ? ~0ull : dataAt + compressed});
    at += kCentralSize + nameLength + extraLength + commentLength;
  }
  std::sort(ranges.begin(), ranges.end(),
            [](const Range& x, const Range& y) { return x.start < y.start; });
  for (std::size_t i = 1; i < ranges.size() && layout.damage.empty(); ++i)
    if (ranges[i].start < ranges[i - 1].end)
      layout.damage =
          "複数の項目が同じデータを指しています (重なり合う項目: "
          "書庫が壊れているか、展開すると膨れ上がる書庫です)";
  return layout;
}

}  // namespace zipcore
