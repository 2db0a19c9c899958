#include "EntryName.h"

#include "common/SafeText.h"

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
  std::string raw;
  if (!h.dirName.empty()) {
    raw = h.dirName;
    if (!IsSeparator(static_cast<unsigned char>(raw.back()))) raw += '\xFF';
  }
  raw += h.fileName;
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

EntryPath DecodeStoredPath(const std::string& raw) {
  EntryPath path;
  if (!raw.empty() && IsSeparator(static_cast<unsigned char>(raw[0]))) path.absolute = true;
  if (StartsWithDrive(raw)) path.absolute = true;
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
        throw std::runtime_error("name has no Shift-JIS form: " + PrintableName(part));
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
