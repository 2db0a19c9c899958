#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "Registry.h"
#include "TextConvert.h"

namespace platform {

namespace {

constexpr std::string_view kRoot = "HKEY_CURRENT_USER";

std::string Lower(std::string_view s) {
  std::string out(s);
  for (auto& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// "a\\b\\" -> "a\b": no empty parts.
std::string NormalizePath(std::string_view path) {
  std::string out;
  std::size_t pos = 0;
  while (pos <= path.size()) {
    std::size_t next = path.find('\\', pos);
    if (next == std::string_view::npos) next = path.size();
    if (next > pos) {
      if (!out.empty()) out += '\\';
      out += path.substr(pos, next - pos);
    }
    pos = next + 1;
  }
  return out;
}

std::string Quote(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

std::string Hex(const std::vector<std::uint8_t>& data, std::size_t prefixLength) {
  std::string out;
  std::size_t column = prefixLength;
  char buf[4];
  for (std::size_t i = 0; i < data.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%02x", data[i]);
    out += buf;
    column += 2;
    if (i + 1 < data.size()) {
      out += ',';
      ++column;
      if (column > 76) {
        out += "\\\n  ";
        column = 2;
      }
    }
  }
  return out;
}

// A REG_SZ that can be written as a quoted string: one final NUL, no other
// NUL, no control characters, valid UTF-8.
bool PlainString(const RegistryValue& v) {
  if (v.type != REG_SZ || v.data.empty() || v.data.back() != 0) return false;
  std::string text(v.data.begin(), v.data.end() - 1);
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F) return false;
  }
  return IsValidUtf8(text);
}

class HiveParser {
 public:
  explicit HiveParser(const std::string& text) : text_(text) {}

  RegistryHive Parse() {
    RegistryHive hive;
    RegistryHive::Key* key = nullptr;
    bool sawHeader = false;
    std::string line;
    while (NextLogicalLine(line)) {
      const std::string trimmed = Trim(line);
      if (trimmed.empty() || trimmed[0] == ';') continue;
      if (!sawHeader) {
        if (trimmed != "REGEDIT4" && trimmed != "Windows Registry Editor Version 5.00") {
          Fail("the first line is not REGEDIT4");
        }
        sawHeader = true;
        continue;
      }
      if (trimmed[0] == '[') {
        if (trimmed.back() != ']') Fail("unterminated key name");
        std::string path = trimmed.substr(1, trimmed.size() - 2);
        if (Lower(path.substr(0, kRoot.size())) != Lower(kRoot))
          Fail("key outside HKEY_CURRENT_USER");
        path = path.substr(kRoot.size());
        key = &hive.CreateKey(path);
        continue;
      }
      if (key == nullptr) Fail("value before any key");
      ParseValue(trimmed, *key);
    }
    if (!sawHeader && !text_.empty()) Fail("the first line is not REGEDIT4");
    return hive;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw EHiveCorrupt("line " + std::to_string(lineNumber_) + ": " + what);
  }

  static std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return std::string();
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
  }

  // A line, with hex continuations ("\" at the end of a hex list) joined.
  bool NextLogicalLine(std::string& out) {
    if (pos_ >= text_.size()) return false;
    out.clear();
    lineNumber_ = physicalLine_ + 1;
    while (pos_ < text_.size()) {
      std::size_t end = text_.find('\n', pos_);
      if (end == std::string::npos) end = text_.size();
      std::string part = text_.substr(pos_, end - pos_);
      pos_ = end + 1;
      ++physicalLine_;
      if (!part.empty() && part.back() == '\r') part.pop_back();
      const std::string t = Trim(part);
      const bool inHex = !out.empty() || t.find("=hex") != std::string::npos;
      if (inHex && !t.empty() && t.back() == '\\') {
        out += t.substr(0, t.size() - 1);
        continue;
      }
      out += out.empty() ? part : t;
      break;
    }
    return true;
  }

  // Reads a quoted string at s[pos] (pos at the opening quote).
  std::string ReadQuoted(const std::string& s, std::size_t& pos) const {
    if (pos >= s.size() || s[pos] != '"') Fail("expected a quoted text");
    ++pos;
    std::string out;
    while (true) {
      if (pos >= s.size()) Fail("unterminated quoted text");
      const char c = s[pos++];
      if (c == '"') break;
      if (c == '\\') {
        if (pos >= s.size()) Fail("unterminated quoted text");
        out += s[pos++];
      } else {
        out += c;
      }
    }
    return out;
  }

  std::vector<std::uint8_t> ReadHexBytes(const std::string& s) const {
    std::vector<std::uint8_t> out;
    std::size_t pos = 0;
    while (pos < s.size()) {
      while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t' || s[pos] == ',')) ++pos;
      if (pos >= s.size()) break;
      std::size_t end = pos;
      while (end < s.size() && std::isxdigit(static_cast<unsigned char>(s[end]))) ++end;
      if (end == pos || end - pos > 2) Fail("bad hex byte");
      out.push_back(static_cast<std::uint8_t>(std::stoul(s.substr(pos, end - pos), nullptr, 16)));
      pos = end;
      while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
      if (pos < s.size() && s[pos] != ',') Fail("bad hex list");
    }
    return out;
  }

  void ParseValue(const std::string& line, RegistryHive::Key& key) {
    std::size_t pos = 0;
    std::string name;
    if (line[0] == '@') {
      pos = 1;
    } else {
      name = ReadQuoted(line, pos);
    }
    if (pos >= line.size() || line[pos] != '=') Fail("expected '=' after the value name");
    ++pos;
    const std::string rest = line.substr(pos);
    if (rest == "-") return;  // a deletion line: nothing to keep
    if (!rest.empty() && rest[0] == '"') {
      std::size_t p = 0;
      std::string text = ReadQuoted(rest, p);
      if (Trim(rest.substr(p)) != "") Fail("text after the quoted value");
      std::vector<std::uint8_t> data(text.begin(), text.end());
      data.push_back(0);
      RegistryHive::SetValue(key, name, REG_SZ, std::move(data));
    } else if (rest.rfind("dword:", 0) == 0) {
      const std::string digits = Trim(rest.substr(6));
      if (digits.empty() || digits.size() > 8 ||
          digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        Fail("bad dword");
      }
      const auto v = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
      std::vector<std::uint8_t> data{
          static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
      RegistryHive::SetValue(key, name, REG_DWORD, std::move(data));
    } else if (rest.rfind("hex:", 0) == 0) {
      RegistryHive::SetValue(key, name, REG_BINARY, ReadHexBytes(rest.substr(4)));
    } else if (rest.rfind("hex(", 0) == 0) {
      const auto close = rest.find("):");
      if (close == std::string::npos || close == 4) Fail("bad hex(type)");
      const std::string t = rest.substr(4, close - 4);
      if (t.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos || t.size() > 8) {
        Fail("bad hex(type)");
      }
      const auto type = static_cast<std::uint32_t>(std::stoul(t, nullptr, 16));
      RegistryHive::SetValue(key, name, type, ReadHexBytes(rest.substr(close + 2)));
    } else {
      Fail("unknown value syntax");
    }
  }

  const std::string& text_;
  std::size_t pos_ = 0;
  int lineNumber_ = 0;
  int physicalLine_ = 0;
};

}  // namespace

bool RegistryHive::HasKey(const std::string& path) const { return FindKey(path) != nullptr; }

RegistryHive::Key* RegistryHive::FindKey(const std::string& path) {
  auto it = keys_.find(Lower(NormalizePath(path)));
  return it == keys_.end() ? nullptr : &it->second;
}

const RegistryHive::Key* RegistryHive::FindKey(const std::string& path) const {
  auto it = keys_.find(Lower(NormalizePath(path)));
  return it == keys_.end() ? nullptr : &it->second;
}

RegistryHive::Key& RegistryHive::CreateKey(const std::string& path) {
  const std::string norm = NormalizePath(path);
  // Parents exist as keys of their own, as in a real hive.
  std::size_t pos = 0;
  while (true) {
    const std::size_t next = norm.find('\\', pos);
    const std::string prefix = norm.substr(0, next);
    auto [it, inserted] = keys_.try_emplace(Lower(prefix));
    if (inserted) it->second.name = prefix;
    if (next == std::string::npos) return it->second;
    pos = next + 1;
  }
}

RegistryValue* RegistryHive::FindValue(Key& key, const std::string& name) {
  const std::string lower = Lower(name);
  for (auto& v : key.values) {
    if (Lower(v.name) == lower) return &v;
  }
  return nullptr;
}

const RegistryValue* RegistryHive::FindValue(const Key& key, const std::string& name) {
  return FindValue(const_cast<Key&>(key), name);
}

void RegistryHive::SetValue(Key& key, const std::string& name, std::uint32_t type,
                            std::vector<std::uint8_t> data) {
  if (RegistryValue* v = FindValue(key, name)) {
    v->type = type;
    v->data = std::move(data);
    return;
  }
  key.values.push_back(RegistryValue{name, type, std::move(data)});
}

std::string RegistryHive::Serialize() const {
  std::ostringstream out;
  out << "REGEDIT4\n";
  for (const auto& [lower, key] : keys_) {
    out << "\n[" << kRoot;
    if (!key.name.empty()) out << '\\' << key.name;
    out << "]\n";
    for (const auto& v : key.values) {
      const std::string name = v.name.empty() ? std::string("@") : Quote(v.name);
      out << name << '=';
      if (PlainString(v)) {
        out << Quote(std::string(v.data.begin(), v.data.end() - 1));
      } else if (v.type == REG_BINARY) {
        out << "hex:" << Hex(v.data, name.size() + 5);
      } else if (v.type == REG_DWORD && v.data.size() == 4) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%08x",
                      v.data[0] | v.data[1] << 8 | v.data[2] << 16 |
                          static_cast<std::uint32_t>(v.data[3]) << 24);
        out << "dword:" << buf;
      } else {
        char buf[16];
        std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
        out << buf << Hex(v.data, name.size() + std::string(buf).size() + 1);
      }
      out << '\n';
    }
  }
  return out.str();
}

RegistryHive RegistryHive::Parse(const std::string& text) { return HiveParser(text).Parse(); }

}  // namespace platform
