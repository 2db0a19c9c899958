// Names and messages shown in a report or on standard output: every
// control character (C0, DEL, and the C1 range U+0080-U+009F written as
// UTF-8) becomes '?', so a name can neither start a terminal escape nor
// forge a report line. Every library we ship shows names through this.
#pragma once

#include <string>
#include <string_view>

namespace arc {

std::string SafeText(std::string_view text);

}  // namespace arc
