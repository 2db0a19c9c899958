// The library's commands. Each returns an arc::Result and writes its lines
// into the report; failures that end a command are thrown as arc::Failure.
#pragma once

#include <cstdint>

#include "TarOptions.h"
#include "common/Progress.h"
#include "common/Report.h"

namespace tar32 {

std::int32_t RunCreate(const TarOptions& o, arc::Report& report, arc::Progress& progress);
std::int32_t RunExtract(const TarOptions& o, arc::Report& report, arc::Progress& progress);  // x, t

}  // namespace tar32
