// The library's commands. Each returns an arc::Result and writes its lines
// into the report; failures that end a command are thrown as arc::Failure.
#pragma once

#include <cstdint>

#include "UnarjOptions.h"
#include "common/Report.h"

namespace unarj {

std::int32_t RunExtract(const UnarjOptions& o, arc::Report& report);  // x, e, t
std::int32_t RunList(const UnarjOptions& o, arc::Report& report);     // l, v

}  // namespace unarj
