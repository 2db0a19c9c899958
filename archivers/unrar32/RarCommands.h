// The library's commands. Each returns an arc::Result and writes its lines
// into the report; failures that end a command are thrown as arc::Failure.
#pragma once

#include <cstdint>

#include "RarOptions.h"
#include "common/Report.h"

namespace unrar {

std::int32_t RunExtract(const RarOptions& o, arc::Report& report);  // -x, -e, -t
std::int32_t RunList(const RarOptions& o, arc::Report& report);     // -l

}  // namespace unrar
