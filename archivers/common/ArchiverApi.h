// The entry points every archiver library exports and the record its find
// entries fill. Shared by the back ends (callers) and the libraries we ship.
//
// Text at this boundary, for every library:
// - handed in (command lines, archive names, wildcards of the find-first
//   entry, response files): the process's ANSI code page
//   (platform/CodePage.h; UTF-8 unless PELSOK_ACP selects cp932), in which
//   file names are spelled on disk;
// - handed back (TArchiveEntryInfo::FileName, the report in the output
//   buffer, ArcProgress::current): UTF-8, whatever the ANSI code page.
// A library turns a file's name on disk into a stored name, a mask into one
// it matches stored names with, and a stored name into a name on disk
// through platform::AnsiToUtf8 and Utf8ToAnsi; the archive front end
// (archive/ArchiveFile.cpp) turns what comes back into the ANSI code page.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

// Pointer-sized window handle of the caller's owner window; 0 when none.
typedef void* ArcWnd;
// Listing handle: a small non-zero integer, 0 when nothing was opened.
typedef std::int32_t ArcHandle;

// Entry record filled by <Prefix>FindFirst / <Prefix>FindNext. 560 bytes.
// The field names are the entry interface's own.
// NOLINTBEGIN(readability-identifier-naming)
struct TArchiveEntryInfo {
  std::uint32_t OriginalSize;    // 0
  std::uint32_t CompressedSize;  // 4
  std::uint32_t Crc;             // 8
  std::uint32_t Flags;           // 12
  std::uint32_t OsType;          // 16
  std::uint16_t Ratio;           // 20: per mille, compressed / original
  std::uint16_t DosDate;         // 22
  std::uint16_t DosTime;         // 24
  char FileName[513];            // 26: path inside the archive, NUL-terminated
  char Padding[3];               // 539
  char Attribute[8];             // 542: e.g. "-a--", NUL-terminated
  char Method[8];                // 550: e.g. "-lh5-", NUL-terminated
};
// NOLINTEND(readability-identifier-naming)

// Command entry, e.g. "Unlha": window, command line, output buffer (or null),
// buffer size in bytes.
typedef std::int32_t (*ArcCommandProc)(ArcWnd wnd, const char* cmdLine, char* output,
                                       std::uint32_t size);
// Open entry, e.g. "UnlhaOpenArchive": window, archive file name, mode.
typedef ArcHandle (*ArcOpenProc)(ArcWnd wnd, const char* archiveName, std::uint32_t mode);
// Close entry, e.g. "UnlhaCloseArchive".
typedef std::int32_t (*ArcCloseProc)(ArcHandle handle);
// Find-first entry: handle, wildcard, record; 0 when an entry was stored.
typedef std::int32_t (*ArcFindFirstProc)(ArcHandle handle, const char* wildName,
                                         TArchiveEntryInfo* info);
// Find-next entry: handle, record; 0 when an entry was stored.
typedef std::int32_t (*ArcFindNextProc)(ArcHandle handle, TArchiveEntryInfo* info);
// Optional entry "<Prefix>SetProgressCallback" (e.g. "UnlhaSetProgressCallback"):
// registers, for the calling thread, a function that the library's commands
// call as they go; a null callback stops the calls. The callback returns
// non-zero to cancel: the command then stops at the next member or block,
// leaves the archive and every file as they were, removes its temporary
// files and returns arc::kCancelled. A caller that never registers one sees
// no difference.
struct ArcProgress {
  std::uint64_t filesDone;   // members or files finished
  std::uint64_t filesTotal;  // 0 when not known yet
  std::uint64_t bytesDone;   // original bytes finished, the current file's included
  std::uint64_t bytesTotal;  // 0 when not known yet
  const char* current;       // the member or file being worked on, UTF-8, never null
};
typedef std::int32_t (*ArcProgressCallback)(void* user, const ArcProgress* progress);
typedef std::int32_t (*ArcSetProgressProc)(ArcProgressCallback callback, void* user);
// Optional entry "<Prefix>GetOriginalSize64" (e.g. "UnlhaGetOriginalSize64"):
// the whole original size of the entry that the last find entry filled
// through this handle (the record's OriginalSize stops at 0xFFFFFFFF).
// 0 when it stored the size, non-zero when there is no such entry.
typedef std::int32_t (*ArcGetSize64Proc)(ArcHandle handle, std::uint64_t* size);
// Optional entry "<Prefix>ReadMembers" (e.g. "UnlhaReadMembers"): decodes
// the members of archiveName that wildName matches (null or empty: every
// member), in archive order, with the checks of the library's test command,
// and hands their data to callback, writing nothing to disk. For each
// member: data calls (chunk not null, 0 < length <= kArcReadChunk, result
// 0), then one end call (chunk null, length 0, result the member's own
// arc::Result: kOk sound, kNotArchive damaged, kWarning not decoded). name
// is the stored name in UTF-8. The callback answers 0 to go on,
// kArcSkipMember for no more data of this member (its end call still
// comes), anything else to stop the walk: no more calls, and the entry
// returns arc::kCancelled. Otherwise the entry returns what the test command
// returns for those members, with its report in output (as a command entry).
typedef std::int32_t (*ArcMemberDataCallback)(void* user, const char* name, const void* chunk,
                                              std::uint32_t length, std::int32_t result);
typedef std::int32_t (*ArcReadMembersProc)(const char* archiveName, const char* wildName,
                                           ArcMemberDataCallback callback, void* user, char* output,
                                           std::uint32_t size);
inline constexpr std::uint32_t kArcReadChunk = 1u << 16;
inline constexpr std::int32_t kArcSkipMember = 1;
// Optional: version as major*100+minor.
typedef std::uint16_t (*ArcGetVersionProc)(void);
// Optional: non-zero when the file is a readable archive of the format.
typedef std::int32_t (*ArcCheckArchiveProc)(const char* archiveName, std::int32_t mode);

}  // extern "C"

static_assert(sizeof(TArchiveEntryInfo) == 560, "entry record must be 560 bytes");
static_assert(offsetof(TArchiveEntryInfo, FileName) == 26, "file name at byte 26");
static_assert(offsetof(TArchiveEntryInfo, Attribute) == 542);
static_assert(offsetof(TArchiveEntryInfo, Method) == 550);

// Result codes of the command entries. 0 is success; warnings are below
// 0x8000, errors from 0x8000 on. Every library we ship uses these.
namespace arc {
enum Result : std::int32_t {
  kOk = 0,
  kWarning = 0x0001,         // done, but something was skipped (a file unreadable, ...)
  kNothingMatched = 0x8001,  // no file or entry matched; no archive was created
  kNotArchive = 0x8002,      // missing, not of the format, or damaged (bad header or CRC)
  kCannotWrite = 0x8003,     // the archive or an extracted file could not be written
  kBadCommand = 0x8004,      // the command line could not be understood
  kNoMemory = 0x8005,        // out of memory
  kCannotRead = 0x8006,      // a source file could not be read
  kUnsafeName = 0x8007,      // an entry name would write outside the base folder
  kCancelled = 0x8008,       // the progress callback asked to stop; nothing was changed
};
}  // namespace arc
