// The rules of a spin edit's text, kept apart from any widget: which typed
// characters it takes, stepping by one, and pulling into range on leaving.
#pragma once

#include <string>

namespace pelsok::app {

// Digits, '+', '-' and the decimal separator.
bool SpinAcceptsChar(char32_t c, char32_t decimalSeparator);
// The text's value (the minimum when it is not an integer) plus delta,
// pulled into [min, max].
std::string SpinStep(const std::string& text, int delta, int min, int max);
// The text when focus leaves: an integer outside [min, max] becomes the
// nearest bound; an empty or non-integer text stays as it is.
std::string SpinCheckOnExit(const std::string& text, int min, int max);

}  // namespace pelsok::app
