#include "CommandLine.h"

#include <fstream>
#include <sstream>

#include "ArchiverApi.h"
#include "Delimiters.h"
#include "common/Messages.h"

namespace arc {
namespace {

struct Piece {
  std::string text;
  bool quoted = false;  // began with a double quote
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Splits at blanks; double quotes group (and are removed). The front end
// never escapes a quote inside a name, so inside quotes a double quote
// closes them only before a blank or the end: "/log/a"b/x.log" is one name.
std::optional<CommandLineError> SplitPieces(std::string_view text, std::vector<Piece>& pieces) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsBlank(text[i])) {
      ++i;
      continue;
    }
    Piece p;
    p.quoted = text[i] == '"';
    bool inQuote = false;
    while (i < text.size() && (inQuote || !IsBlank(text[i]))) {
      const bool closes = i + 1 == text.size() || IsBlank(text[i + 1]);
      if (text[i] == '"' && (!inQuote || closes)) {
        inQuote = !inQuote;
      } else {
        p.text += text[i];
      }
      ++i;
    }
    if (inQuote) return CommandLineError{kBadCommand, "二重引用符 (\") が閉じていません"};
    pieces.push_back(std::move(p));
  }
  return std::nullopt;
}

Switch ReadSwitch(const std::string& text, const std::vector<std::string>& known) {
  Switch sw;
  const std::string body = text.substr(1);
  std::size_t best = 0;
  for (const auto& name : known) {
    if (name.size() > best && body.compare(0, name.size(), name) == 0) {
      best = name.size();
      sw.name = name;
      sw.known = true;
    }
  }
  if (sw.known) {
    sw.value = body.substr(best);
  } else {
    sw.name = body;
  }
  return sw;
}

}  // namespace

const Switch* CommandLine::Find(std::string_view name) const {
  for (auto it = switches.rbegin(); it != switches.rend(); ++it)
    if (it->known && it->name == name) return &*it;
  return nullptr;
}

std::optional<std::string> ReadResponseFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text;
  char buf[65536];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    text.append(buf, static_cast<std::size_t>(in.gcount()));
    if (text.size() > (64u << 20)) return std::nullopt;
  }
  if (in.bad()) return std::nullopt;
  return text;
}

std::vector<std::string> ParseResponseText(std::string_view text) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    start = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.pop_back();
    std::size_t lead = 0;
    while (lead < line.size() && (line[lead] == ' ' || line[lead] == '\t')) ++lead;
    line.erase(0, lead);
    if (!line.empty() && line.front() == '"') {
      std::size_t close = line.find('"', 1);
      line = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    if (!line.empty()) names.push_back(std::move(line));
  }
  return names;
}

std::optional<CommandLineError> ParseCommandLine(std::string_view text,
                                                 const std::vector<std::string>& knownSwitches,
                                                 const ResponseReader& readResponse,
                                                 CommandLine& out) {
  out = CommandLine{};
  std::vector<Piece> pieces;
  if (auto err = SplitPieces(text, pieces)) return err;
  if (pieces.empty()) return CommandLineError{kBadCommand, "コマンドラインが空です"};
  out.command = pieces.front().text;
  bool baseDirPossible = false;
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    const Piece& p = pieces[i];
    if (p.text.empty()) {
      // "" names an empty archive (refused by the caller) or an empty operand (skipped).
      if (!out.archive) out.archive = std::string();
      baseDirPossible = false;
      continue;
    }
    const bool looksLikeSwitch = p.text.size() > 1 && p.text[0] == '-';
    // Before the archive name every '-' piece is a switch; after it only the
    // unquoted ones are, since the front end quotes every file name.
    if (looksLikeSwitch && (!out.archive || !p.quoted)) {
      out.switches.push_back(ReadSwitch(p.text, knownSwitches));
      continue;
    }
    if (!out.archive) {
      out.archive = p.text;
      baseDirPossible = true;
      continue;
    }
    if (p.text.size() > 1 && p.text[0] == '@') {
      const std::string name = p.text.substr(1);
      auto content = readResponse ? readResponse(name) : std::nullopt;
      if (!content)
        return CommandLineError{kCannotRead,
                                msg::CannotRead("レスポンスファイル " + msg::Quoted(name))};
      for (auto& n : ParseResponseText(*content)) out.files.push_back(std::move(n));
      baseDirPossible = false;
      continue;
    }
    if (baseDirPossible && EndsWithDelimiter(p.text)) {
      out.baseDir = p.text;
      baseDirPossible = false;
      continue;
    }
    baseDirPossible = false;
    out.files.push_back(p.text);
  }
  return std::nullopt;
}

}  // namespace arc
