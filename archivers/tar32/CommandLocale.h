// Every entry runs its work in a UTF-8 locale for the calling thread only,
// so libarchive keeps names as UTF-8 whatever the host program's locale is.
#pragma once

#include <locale.h>
#include <clocale>

namespace tar32 {

class CommandLocale {
 public:
  CommandLocale() {
    static locale_t utf8 = ::newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (utf8 != static_cast<locale_t>(0)) old_ = ::uselocale(utf8);
  }
  ~CommandLocale() {
    if (old_ != static_cast<locale_t>(0)) ::uselocale(old_);
  }
  CommandLocale(const CommandLocale&) = delete;
  CommandLocale& operator=(const CommandLocale&) = delete;

 private:
  locale_t old_ = static_cast<locale_t>(0);
};

}  // namespace tar32
