// What to do about an error the viewer shows: a missing library (with the
// folders it may be put in, as a run advises), an archive that is damaged
// or of no format we read, a missing file, a folder that cannot be written.
#pragma once

#include <string>

namespace pelsok::app {

std::string ViewerAdvice(const std::string& message);

}  // namespace pelsok::app
