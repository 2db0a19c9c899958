// Names on the command-line front's output lines: one line per name, and
// no name can forge another line or reach the terminal as a control
// sequence. Bytes below 0x20, 0x7F, the C1 controls U+0080-U+009F and the
// backslash itself are written as \xHH; everything else as it is.
#pragma once

#include <string>
#include <string_view>

namespace pelsok::app {

std::string OutputName(std::string_view name);

}  // namespace pelsok::app
