// Collects the pieces of an archiver command line: one blank before every
// piece, string pieces quoted, numeric switches bare, -1 and NoValue skipped.
#pragma once

#include <cstdint>
#include <string>

#include "platform/StringList.h"

namespace pelsok {

class TCmdOpt {
 public:
  std::string Text;

  void AddText(const std::string& piece);
  void AddSwitch(const std::string& name, const std::string& value);
  void AddNumber(const std::string& name, std::int32_t number);
  void AddString(const std::string& name, const std::string& value);
  void AddList(const std::string& name, const platform::TStringList& list);
  void AddDir(const std::string& name, const std::string& value);
};

}  // namespace pelsok
