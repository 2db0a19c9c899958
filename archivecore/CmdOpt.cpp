#include "archivecore/CmdOpt.h"

#include "archivecore/NoValue.h"
#include "platform/Paths.h"

namespace pelsok {

void TCmdOpt::AddText(const std::string& piece) {
  Text += ' ';
  Text += piece;
}

void TCmdOpt::AddSwitch(const std::string& name, const std::string& value) {
  if (IsNoValue(value)) return;
  if (name.empty()) {
    AddText("\"" + value + "\"");
  } else {
    AddText("\"-" + name + value + "\"");
  }
}

void TCmdOpt::AddNumber(const std::string& name, std::int32_t number) {
  if (number == -1) return;
  AddText("-" + name + std::to_string(number));
}

void TCmdOpt::AddString(const std::string& name, const std::string& value) {
  AddSwitch(name, value);
}

void TCmdOpt::AddList(const std::string& name, const platform::TStringList& list) {
  for (const auto& line : list) AddString(name, line);
}

void TCmdOpt::AddDir(const std::string& name, const std::string& value) {
  if (value.empty() || IsNoValue(value)) return;
  // The last byte decides: a trail byte equal to the delimiter counts.
  if (value.back() != platform::kPathDelim) {
    AddString(name, value + platform::kPathDelim);
  } else {
    AddString(name, value);
  }
}

}  // namespace pelsok
