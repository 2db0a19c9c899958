#include "Progress.h"

#include "MemberReading.h"

namespace arc {
namespace {

thread_local ArcProgressCallback tCallback = nullptr;
thread_local void* tUser = nullptr;

// Bytes between two calls inside one file; every file start and end calls.
constexpr std::uint64_t kStep = 1 << 20;

}  // namespace

std::int32_t SetProgressCallback(ArcProgressCallback callback, void* user) {
  tCallback = callback;
  tUser = callback ? user : nullptr;
  return kOk;
}

Progress::Progress() : callback_(tCallback), user_(tUser) { state_.current = ""; }

void Progress::SetTotals(std::uint64_t files, std::uint64_t bytes) {
  state_.filesTotal = files;
  state_.bytesTotal = bytes;
}

bool Progress::StartFile(const std::string& name) {
  current_ = name;
  return Tell();
}

bool Progress::AddBytes(std::uint64_t n) {
  state_.bytesDone += n;
  if (ReadingStopped()) cancelled_ = true;
  if (state_.bytesDone - lastTold_ < kStep) return !cancelled_;
  return Tell();
}

bool Progress::FinishFile() {
  ++state_.filesDone;
  return Tell();
}

bool Progress::Tell() {
  // A read walk the caller stopped ends the command as a cancel would.
  if (ReadingStopped()) cancelled_ = true;
  if (cancelled_) return false;
  if (!callback_) return true;
  lastTold_ = state_.bytesDone;
  state_.current = current_.c_str();
  if (callback_(user_, &state_) != 0) cancelled_ = true;
  return !cancelled_;
}

}  // namespace arc
