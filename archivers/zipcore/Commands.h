// The commands of the two libraries. Each returns an arc::Result and writes
// its lines into the report; failures that end a command are thrown as
// arc::Failure.
#pragma once

#include <cstdint>

#include "ZipOptions.h"
#include "common/Report.h"

namespace zipcore {

std::int32_t RunAdd(const ZipOptions& o, arc::Report& report);      // "Zip" without -d
std::int32_t RunRemove(const ZipOptions& o, arc::Report& report);   // "Zip" -d
std::int32_t RunExtract(const ZipOptions& o, arc::Report& report);  // "UnZip" -x, -t, -l

// The body of the "Zip" (unzip false) and "UnZip" (unzip true) entries:
// reads the line, runs it, copies the report into the caller's buffer.
std::int32_t RunCommandLine(const char* cmdLine, char* output, std::uint32_t size, bool unzip);

}  // namespace zipcore
