// Text to integer the way the class library converts a field's text:
// leading blanks, an optional sign, decimal digits or "$"/"0x" hexadecimal.
#pragma once

#include <string_view>

namespace pelsok::app {

bool TryStrToInt(std::string_view text, int& value);
// Raises "'%s' は整数ではありません" for text that is not an integer.
int StrToInt(std::string_view text);

}  // namespace pelsok::app
