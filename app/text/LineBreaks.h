// Counting the line breaks of a text, sixteen bytes at a time: grep numbers
// every line of every member, so this runs over all the data it searches.
#pragma once

#include <cstdint>
#include <string_view>

namespace pelsok::app {

// How many '\n' bytes text holds.
std::uint64_t CountLineBreaks(std::string_view text);

}  // namespace pelsok::app
