// pelsok-cli grep [-i] [-F|-E] [-c] [-l] [--member MASK] PATTERN ARCHIVE|FOLDER...:
// the lines of archive members that match, as "grep -H -n" writes them,
// with the archive and the member ("DR2611.LZH:DR1105.log:1234:text"),
// names escaped as every output line escapes them. Exit status as grep's:
// 0 a line matched, 1 none did, 2 an error (a bad pattern or option, an
// archive or member that could not be read).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pelsok::app {

bool IsGrepCommand(const std::vector<std::string>& args);

int RunGrepCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace pelsok::app
