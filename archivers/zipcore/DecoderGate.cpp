#include "DecoderGate.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "DictionarySize.h"

namespace zipcore {
namespace {

constexpr std::uint16_t kStored = 0, kDeflate = 8, kLzma = 14, kXz = 95;

// The method in libarchive's description of the entry, "lzma" in
// "ZIP 6.3 (lzma)".
std::string DescribedMethod(const char* description) {
  const std::string d = description ? description : "";
  const auto open = d.rfind('(');
  const auto close = d.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return {};
  return d.substr(open + 1, close - open - 1);
}

std::optional<DictionaryStream> StreamOfMethod(std::uint16_t method) {
  if (method == kLzma) return DictionaryStream::lzma;
  if (method == kXz) return DictionaryStream::xz;
  return std::nullopt;
}

// The first bytes of an entry's stored data; nullopt when they cannot be
// read.
std::optional<std::vector<std::uint8_t>> Head(zip_t* z, const ZipEntry& e) {
  zip_file_t* f = zip_fopen_index(z, e.index, ZIP_FL_COMPRESSED);
  if (f == nullptr) return std::nullopt;
  std::vector<std::uint8_t> head(
      static_cast<std::size_t>(std::min<std::uint64_t>(kDictionaryHeadSize, e.compressedSize)));
  std::size_t got = 0;
  while (got < head.size()) {
    const zip_int64_t n = zip_fread(f, head.data() + got, head.size() - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  zip_fclose(f);
  head.resize(got);
  return head;
}

DecoderRefusal NotDecrypted(const std::string& method) {
  return {"encrypted " + method + " data are not decoded (only stored and deflated are)", false};
}

}  // namespace

DecoderGate::DecoderGate(const OpenedZip& directory) : directory_(directory) {
  for (std::size_t i = 0; i < directory.entries.size(); ++i)
    byName_.emplace(directory.entries[i].name, i);
}

DecoderRefusal DecoderGate::Check(const std::string& name, const char* description,
                                  bool encrypted) const {
  const std::string local = DescribedMethod(description);
  const bool aes = local == "aes";
  const bool dictionary = local == "lzma" || local == "xz";
  if (encrypted && !aes && local != "uncompressed" && local != "deflation")
    return NotDecrypted(local);
  if (!aes && !dictionary) return {};
  const auto [first, last] = byName_.equal_range(name);
  if (first == last)
    return {"its local header and the central directory name it differently", true};
  for (auto it = first; it != last; ++it) {
    const ZipEntry& e = directory_.entries[it->second];
    if (aes) {
      // The method is in the directory's AES extra field.
      if (e.method != kStored && e.method != kDeflate) return NotDecrypted(MethodName(e.method));
      continue;
    }
    const auto stream = StreamOfMethod(e.method);
    if (stream != (local == "xz" ? DictionaryStream::xz : DictionaryStream::lzma))
      return {"its local header and the central directory name different methods", true};
    const auto head = Head(directory_.zip.get(), e);
    if (!head) return {"the start of its data cannot be read", true};
    // libarchive reads on past a directory size too short to hold the
    // stream header, so a header that cannot be read whole is damaged.
    const auto size = DeclaredDictionary(*stream, *head);
    if (!size) return {"its stream header is damaged", true};
    if (*size > kDictionaryLimit)
      return {"its " + std::string(*stream == DictionaryStream::xz ? "XZ" : "LZMA") +
              " stream asks for a " + std::to_string(*size >> 20) +
              " MiB dictionary, more than the " + std::to_string(kDictionaryLimit >> 20) +
              " MiB this library decodes with"};
  }
  return {};
}

}  // namespace zipcore
