// The wording every library we ship uses for the same situation: the
// verdict that starts a member's report line, the summaries of a command
// and the failures they share. Texts are Japanese UTF-8, as the program is;
// a reason taken from the system or a general library (strerror, libarchive,
// libzip) stays as it is, in parentheses after the Japanese sentence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace arc::msg {

// What happened to one member or file; first on its report line.
enum class Verdict {
  extracted,
  tested,
  damaged,
  skipped,
  refused,
  failed,
  added,
  replaced,
  updating,
  deleted,
  packed,
  cancelled,
};

// "<verdict>  <name>" and, with a reason, ": <reason>" after it.
std::string Line(Verdict verdict, const std::string& name, const std::string& reason = {});

// "'name'": how a file or folder name sits inside a sentence.
std::string Quoted(const std::string& name);
// " (why)", or nothing when why is empty: a foreign reason after a sentence.
std::string Because(const std::string& why);

// "<what> を開けません (why)" and the like; what is already quoted or a phrase.
std::string CannotOpen(const std::string& what, const std::string& why = {});
std::string CannotRead(const std::string& what, const std::string& why = {});
std::string CannotWrite(const std::string& what, const std::string& why = {});
std::string CannotCreate(const std::string& what, const std::string& why = {});
// "'name' は <format> の書庫ではありません (why)".
std::string NotArchive(const std::string& name, const std::string& format,
                       const std::string& why = {});

// "'name': オフセット N のヘッダーが壊れています (why)".
std::string DamagedHeaderAt(const std::string& name, std::uint64_t offset, const std::string& why);

std::string UnknownCommand(const std::string& command, const std::string& hint = {});
std::string NoArchiveName(const std::string& hint = {});
std::string NoFileNames();
std::string BadSwitchValue(const std::string& switchText, const std::string& hint = {});
std::string OutOfMemory();
std::string Cancelled(const std::string& what = {});

// No member of the archive / no file on disk matched the names given.
std::string NoMemberMatched();
std::string NoFileMatched();
std::string NothingMatches(const std::string& operand);
std::string SameStoredName(const std::string& name);
std::string ArchiveUnchanged();

// Why a member was refused, skipped or found damaged, alike in every library.
std::string NameHoldsParent();
std::string AbsoluteName();
std::string EmptyName();
std::string SpecialNotExtracted();
std::string SymlinkNotExtracted();
std::string HardlinkNotExtracted();
std::string LinkOutside();
std::string UnsupportedMethod(const std::string& method);
std::string Encrypted();
std::string CrcMismatch();
std::string WrongLength();
std::string HeaderCrcMismatch();
std::string TooManyExtendedHeaders();
std::string ExistsUseY(const std::string& option);
// The members would cost work bytes of decoding while the archive declares
// declared bytes of data: rows that point at the same data many times.
std::string WorkBeyondDeclared(std::uint64_t work, std::uint64_t declared);

// "N 件を検査しました (破損 M 件)" and the other command summaries.
std::string TestSummary(std::size_t tested, std::size_t damaged);
std::string ExtractSummary(std::size_t extracted, std::size_t matched);
std::string TestedSound(std::size_t sound, std::size_t matched);
std::string PackSummary(std::size_t packed, const std::string& archive);
std::string DeleteSummary(std::size_t deleted, std::size_t left);
std::string ListTotal(std::size_t count);
std::string MadeSfx(const std::string& program, std::size_t members);

// What a self-extracting program says on standard error.
std::string SfxCannotReadSelf(const std::string& why = {});
std::string SfxNoArchive();
std::string SfxUsage(const std::string& program);

}  // namespace arc::msg
