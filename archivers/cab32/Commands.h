// The library's commands. Each returns an arc::Result and writes its lines
// into the report; failures that end a command are thrown as arc::Failure.
#pragma once

#include <cstdint>

#include "CabOptions.h"
#include "common/Report.h"

namespace cab {

std::int32_t RunAdd(const CabOptions& o, arc::Report& report);      // -a
std::int32_t RunExtract(const CabOptions& o, arc::Report& report);  // -x
std::int32_t RunTest(const CabOptions& o, arc::Report& report);     // -t
std::int32_t RunMakeSfx(const CabOptions& o, arc::Report& report);  // -f

}  // namespace cab
