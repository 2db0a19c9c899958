// The texts a finished or running Compress run shows: sizes, the success
// line ("DR2611.LZH: 30 ファイル, 33.0 MB → 4.6 MB"), the progress counts and
// the message of a run that made no archive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/run/CompressRun.h"

namespace pelsok::app {

// "512 B", "12.3 KB", "33.0 MB", "1.4 GB" (1 KB = 1024 bytes).
std::string SizeText(std::uint64_t bytes);

// The success line of a run: archive name, files packed, their size and the
// archive's size.
std::string SuccessLine(const TRunResult& result, std::uint64_t archiveBytes);

// "3 / 30 ファイル, 12.0 MB / 33.0 MB"
std::string ProgressCounts(std::uint64_t filesDone, std::uint64_t filesTotal,
                           std::uint64_t bytesDone, std::uint64_t bytesTotal);

// Shown after the success line when the check before deletion was cancelled.
inline constexpr const char* kDeletionCancelledText = "削除は中止しました。ログは元のままです。";

// What became of the logs, for after the success line: "30 ファイルを削除しました。",
// the cancelled text, or empty when no deletion was confirmed.
std::string DeletionLine(const TRunResult& result);

// True when the run was stopped by the user (the library's cancel result).
bool WasCancelled(const TRunResult& result);

// Why a run that made no new archive failed, with the library's report when
// there is one, and what to do.
struct TFailureText {
  std::string Why;
  std::string WhatToDo;
};
TFailureText FailureText(const TRunResult& result, const std::string& report);

// A new archive was made but the library's result is a warning.
std::string LibraryWarningLine(const TRunResult& result);

// Everything a finished run has to tell besides its success line, one text
// a line, in the order both fronts tell it: why no archive was made and what
// to do (with the library's report), or the library's warning; the cancelled
// deletion; the logs kept; the old archive kept aside. The window shows the
// same texts in its message boxes and status line.
std::vector<std::string> OutcomeLines(const TRunResult& result);

// What to do about an error that ended a run before it packed anything. A
// missing library gets the folders it may be put in, each on a line of its
// own so that a narrow box never breaks a folder name.
std::string ErrorAdvice(const std::string& message);

}  // namespace pelsok::app
