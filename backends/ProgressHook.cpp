#include "backends/ProgressHook.h"

namespace pelsok {
namespace {

thread_local const ProgressListener* tListener = nullptr;

std::int32_t Trampoline(void* user, const ArcProgress* progress) {
  const auto* listener = static_cast<const ProgressListener*>(user);
  if (listener == nullptr || progress == nullptr) return 0;
  try {
    return (*listener)(*progress) ? 0 : 1;
  } catch (...) {
    return 1;  // a listener that fails stops the command rather than the process
  }
}

}  // namespace

TProgressScope::TProgressScope(ProgressListener listener)
    : previous_(tListener), listener_(std::move(listener)) {
  tListener = listener_ ? &listener_ : nullptr;
}

TProgressScope::~TProgressScope() { tListener = previous_; }

const ProgressListener* TProgressScope::Current() { return tListener; }

TProgressHook::TProgressHook(LibraryBinding& library, const char* entryName, std::size_t lib) {
  const ProgressListener* listener = TProgressScope::Current();
  if (listener == nullptr || !library.Loaded(lib)) return;
  auto set = reinterpret_cast<ArcSetProgressProc>(
      platform::GetProcAddress(library.Handle(lib), entryName));
  if (set == nullptr) return;
  if (set(&Trampoline, const_cast<ProgressListener*>(listener)) != 0) return;
  set_ = set;
}

TProgressHook::~TProgressHook() {
  if (set_ != nullptr) set_(nullptr, nullptr);
}

}  // namespace pelsok
