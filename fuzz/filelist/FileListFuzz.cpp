// Date stamps and list items as the expansion reads them: any bytes, in both
// code pages. Parsing either gives a value or the conversion error; splitting
// an item and joining the parts again gives the item back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "archivecore/FileListDate.h"
#include "archivecore/FileListPath.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  platform::SetActiveCodePage((data[0] & 1) ? platform::CodePage::Cp932 : platform::CodePage::Utf8);
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  try {
    const double t = pelsok::filelist::ParseDateTime(text);
    if (t < 0) std::abort();
  } catch (const platform::EConvertError&) {
  }
  const auto parts = pelsok::filelist::SplitItem(text);
  if (parts.Dir.size() + parts.Mask.size() > text.size()) std::abort();
  if (!text.empty()) (void)pelsok::filelist::LastChar(text);
  return 0;
}
