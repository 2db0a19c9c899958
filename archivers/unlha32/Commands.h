// The library's commands. Each returns an arc::Result and writes its lines
// into the report; failures that end a command are thrown as arc::Failure.
#pragma once

#include <cstdint>

#include "UnlhaOptions.h"
#include "common/Report.h"

namespace unlha {

std::int32_t RunAdd(const UnlhaOptions& o, arc::Report& report);      // a, u
std::int32_t RunDelete(const UnlhaOptions& o, arc::Report& report);   // d
std::int32_t RunExtract(const UnlhaOptions& o, arc::Report& report);  // x, e, t
std::int32_t RunList(const UnlhaOptions& o, arc::Report& report);     // l, v
std::int32_t RunMakeSfx(const UnlhaOptions& o, arc::Report& report);  // s

}  // namespace unlha
