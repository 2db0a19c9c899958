#include "app/run/Manifest.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <ctime>
#include <sstream>

#include "app/run/Sha256.h"

namespace pelsok::app {
namespace {

const char* const kHeading = "# pelsok manifest 1";

// sha256sum's escaping: a name holding a backslash or a line break is
// written with them escaped and the line starts with a backslash.
bool NeedsEscape(const std::string& name) {
  return name.find_first_of("\\\n\r") != std::string::npos;
}

std::string Escaped(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

std::optional<std::string> Unescaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    if (text[i] == '\\')
      out += '\\';
    else if (text[i] == 'n')
      out += '\n';
    else if (text[i] == 'r')
      out += '\r';
    else
      return std::nullopt;
  }
  return out;
}

std::string HashLine(const TManifestLine& line) {
  if (NeedsEscape(line.Name)) return "\\" + line.Hash + "  " + Escaped(line.Name) + "\n";
  return line.Hash + "  " + line.Name + "\n";
}

// A comment's value, the rest of the line kept on one line.
std::string Comment(const std::string& key, const std::string& value) {
  return "# " + key + (value.empty() ? "" : " " + Escaped(value)) + "\n";
}

bool IsHash(const std::string& text) {
  if (text.size() != 64) return false;
  for (char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

// "<hash>  <name>" (or sha256sum's binary form "<hash> *<name>").
std::optional<TManifestLine> ParseHashLine(const std::string& text) {
  std::string line = text;
  bool escaped = false;
  if (!line.empty() && line[0] == '\\') {
    escaped = true;
    line.erase(0, 1);
  }
  if (line.size() < 67 || !IsHash(line.substr(0, 64)) || line[64] != ' ' ||
      (line[65] != ' ' && line[65] != '*'))
    return std::nullopt;
  std::string name = line.substr(66);
  if (escaped) {
    const auto plain = Unescaped(name);
    if (!plain) return std::nullopt;
    name = *plain;
  }
  return TManifestLine{line.substr(0, 64), name};
}

// "key value" of a comment line's text after "# ".
bool Key(const std::string& text, const std::string& key, std::string& value) {
  if (text.compare(0, key.size(), key) != 0) return false;
  if (text.size() == key.size()) {
    value.clear();
    return true;
  }
  if (text[key.size()] != ' ') return false;
  value = Unescaped(text.substr(key.size() + 1)).value_or(text.substr(key.size() + 1));
  return true;
}

}  // namespace

std::string FormatManifest(const TManifest& m) {
  std::string text = std::string(kHeading) + "\n";
  text += Comment("written", m.Written);
  text += Comment("host", m.Host);
  text += Comment("user", m.User);
  text += Comment("format", m.Format);
  if (m.Replaces) {
    text += Comment("replaces", m.Replaces->Hash + " " + m.Replaces->Name);
    if (!m.ReplacesWritten.empty()) text += Comment("replaced-written", m.ReplacesWritten);
  }
  text += HashLine(m.Archive);
  for (const auto& line : m.Members) text += HashLine(line);
  for (const auto& name : m.Unhashed) text += Comment("unhashed", name);
  if (m.Previous) {
    text += "# previous\n";
    text += HashLine(*m.Previous);
  }
  for (const auto& d : m.Deleted) text += Comment("deleted", d.When + " " + d.Log);
  text += "# seal " + TextSha256(text) + "\n";
  return text;
}

std::optional<TParsedManifest> ParseManifest(const std::string& text) {
  if (text.compare(0, std::char_traits<char>::length(kHeading), kHeading) != 0) return std::nullopt;
  TParsedManifest parsed;
  TManifest& m = parsed.Manifest;
  bool haveArchive = false;
  bool previousNext = false;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    const std::size_t lineStart = at;
    at = end + 1;
    if (line.empty()) continue;
    if (line[0] == '#') {
      const std::string body = line.size() > 2 ? line.substr(2) : std::string();
      std::string value;
      if (Key(body, "seal", value)) {
        parsed.Sealed = true;
        parsed.SealMatches = value == TextSha256(text.substr(0, lineStart)) && at >= text.size();
      } else if (Key(body, "written", value)) {
        m.Written = value;
      } else if (Key(body, "host", value)) {
        m.Host = value;
      } else if (Key(body, "user", value)) {
        m.User = value;
      } else if (Key(body, "format", value)) {
        m.Format = value;
      } else if (Key(body, "replaces", value)) {
        const std::size_t space = value.find(' ');
        m.Replaces = TManifestLine{value.substr(0, space),
                                   space == std::string::npos ? "" : value.substr(space + 1)};
      } else if (Key(body, "replaced-written", value)) {
        m.ReplacesWritten = value;
      } else if (Key(body, "unhashed", value)) {
        m.Unhashed.push_back(value);
      } else if (Key(body, "previous", value)) {
        previousNext = true;
      } else if (Key(body, "deleted", value)) {
        const std::size_t space = value.find(' ');
        m.Deleted.push_back(
            {value.substr(0, space), space == std::string::npos ? "" : value.substr(space + 1)});
      }
      continue;
    }
    const auto hashLine = ParseHashLine(line);
    if (!hashLine) {
      parsed.BadLines.push_back(line);
      continue;
    }
    if (previousNext) {
      m.Previous = *hashLine;
      previousNext = false;
    } else if (!haveArchive) {
      m.Archive = *hashLine;
      haveArchive = true;
    } else {
      m.Members.push_back(*hashLine);
    }
  }
  return parsed;
}

std::string ManifestName(const std::string& archiveName) { return archiveName + ".sha256"; }

std::string ManifestTime(long long unixSeconds) {
  const std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm local{};
  localtime_r(&t, &local);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
  // "+0900" -> "+09:00", as ISO 8601 writes the offset.
  std::string out = text;
  if (out.size() >= 5) out.insert(out.size() - 2, ":");
  return out;
}

std::string ManifestHost() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0) return "?";
  return name;
}

std::string ManifestUser() {
  const uid_t uid = geteuid();
  if (const passwd* pw = getpwuid(uid); pw != nullptr && pw->pw_name != nullptr) return pw->pw_name;
  return std::to_string(uid);
}

}  // namespace pelsok::app
