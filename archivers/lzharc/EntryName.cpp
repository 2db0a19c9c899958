#include "EntryName.h"

#include "common/SafeText.h"

#include <optional>
#include <stdexcept>

#include "platform/CodePage.h"
#include "platform/TextConvert.h"

namespace lzh {
namespace {

enum class NameCoding { utf8, cp932, raw };

bool IsSeparator(unsigned char c) { return c == '\\' || c == '/' || c == 0xFF; }

NameCoding Classify(const std::string& raw) {
  std::string probe = raw;
  for (auto& c : probe)
    if (static_cast<unsigned char>(c) == 0xFF) c = '/';
  if (platform::IsValidUtf8(probe)) return NameCoding::utf8;
  if (platform::IsValidCp932(probe)) return NameCoding::cp932;
  return NameCoding::raw;
}

// Splits at separators that are whole characters of the coding.
std::vector<std::string> SplitRaw(const std::string& raw, NameCoding coding) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const auto c = static_cast<unsigned char>(raw[i]);
    if (coding == NameCoding::cp932 && platform::IsLeadByte(c, platform::CodePage::Cp932) &&
        i + 1 < raw.size()) {
      parts.back() += raw.substr(i, 2);
      ++i;
      continue;
    }
    if (IsSeparator(c)) {
      parts.emplace_back();
      continue;
    }
    parts.back() += raw[i];
  }
  return parts;
}

bool StartsWithDrive(const std::string& s) {
  return s.size() >= 2 && s[1] == ':' &&
         ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'));
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// A UTF-16LE name as UTF-8 with '/' between folders (0xFFFF and '\'
// separate them). It ends at a NUL; a lone surrogate becomes U+FFFD.
std::string WidePathToUtf8(const std::string& wide) {
  std::string out;
  const auto unit = [&](std::size_t i) -> char16_t {
    return static_cast<char16_t>(static_cast<unsigned char>(wide[i]) |
                                 (static_cast<unsigned char>(wide[i + 1]) << 8));
  };
  for (std::size_t i = 0; i + 1 < wide.size(); i += 2) {
    const char16_t u = unit(i);
    if (u == 0) break;
    if (u == 0xFFFF || u == u'\\') {
      out += '/';
    } else if (u >= 0xD800 && u <= 0xDBFF && i + 3 < wide.size() && unit(i + 2) >= 0xDC00 &&
               unit(i + 2) <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((char32_t{u} - 0xD800) << 10) + (unit(i + 2) - 0xDC00));
      i += 2;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

// Stored name bytes as UTF-8 with '/' between folders, for joining with a
// UTF-16 part; bytes that are neither UTF-8 nor cp932 stay as they are.
std::string StoredPathToUtf8(const std::string& raw) {
  const NameCoding coding = Classify(raw);
  std::string out;
  const auto parts = SplitRaw(raw, coding);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out += '/';
    std::optional<std::string> utf8;
    if (coding == NameCoding::cp932) utf8 = platform::Cp932ToUtf8(parts[i]);
    out += utf8 ? *utf8 : parts[i];
  }
  return out;
}

// The stored name with its folder: folder bytes, a separator, the name. A
// UTF-16 name or folder, when present, stands for its stored-bytes
// counterpart, and the whole is then UTF-8.
std::string RawPath(const EntryHeader& h) {
  const bool wide = h.wideFileName || h.wideDirName;
  std::string dir = h.wideDirName ? WidePathToUtf8(*h.wideDirName)
                    : wide        ? StoredPathToUtf8(h.dirName)
                                  : h.dirName;
  const std::string file = h.wideFileName ? WidePathToUtf8(*h.wideFileName)
                           : wide         ? StoredPathToUtf8(h.fileName)
                                          : h.fileName;
  if (!dir.empty() && !IsSeparator(static_cast<unsigned char>(dir.back())))
    dir += wide ? '/' : '\xFF';
  return dir + file;
}

}  // namespace

std::string EntryPath::Joined(char delim) const {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out += delim;
    out += parts[i];
  }
  return out;
}

EntryPath DecodeEntryPath(const EntryHeader& h) {
  EntryPath path;
  std::string raw = RawPath(h);
  if (h.unixMode && (*h.unixMode & 0xF000) == 0xA000) {
    // Unix links are stored as "name|target".
    path.symlink = true;
    auto bar = raw.find('|');
    if (bar != std::string::npos) raw.resize(bar);
  }
  EntryPath decoded = DecodeStoredPath(raw);
  decoded.symlink = path.symlink;
  return decoded;
}

EntryPath DecodeStoredPath(std::string raw) {
  EntryPath path;
  if (!raw.empty() && IsSeparator(static_cast<unsigned char>(raw[0]))) path.absolute = true;
  if (StartsWithDrive(raw)) {
    // Extracted with its root removed, the drive goes too.
    path.absolute = true;
    raw.erase(0, 2);
  }
  const NameCoding coding = Classify(raw);
  for (auto& part : SplitRaw(raw, coding)) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      path.hasParent = true;
      continue;
    }
    if (coding == NameCoding::cp932) {
      if (auto utf8 = platform::Cp932ToUtf8(part)) part = *utf8;
    }
    path.parts.push_back(std::move(part));
  }
  return path;
}

StoredName EncodeStoredName(const std::vector<std::string>& parts, bool cp932) {
  StoredName out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    std::string part = parts[i];
    if (cp932) {
      auto converted = platform::Utf8ToCp932(part);
      if (!converted)
        throw std::runtime_error("名前をシフト JIS で表せません: " + PrintableName(part));
      part = *converted;
    }
    if (i + 1 == parts.size()) {
      out.fileName = part;
    } else {
      out.dirName += part;
      out.dirName += '\xFF';
    }
  }
  return out;
}

std::vector<std::string> SplitPath(const std::string& name) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : name + "/") {
    if (c == '/') {
      if (!cur.empty() && cur != ".") parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  return parts;
}

std::string PrintableName(const std::string& name) { return arc::SafeText(name); }

}  // namespace lzh
