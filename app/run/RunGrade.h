// How a run ended, worst first at the bottom.
#pragma once

#include <cstdint>

namespace pelsok::app {

enum class TRunGrade { Ok = 0, Warning = 1, Failed = 2, Fatal = 3 };

// Grade of an archiver library's result code: 0 ok, below 0x8000 a warning,
// from 0x8000 on an error.
TRunGrade GradeOfResult(std::int32_t result);

inline TRunGrade Worse(TRunGrade a, TRunGrade b) { return a > b ? a : b; }

}  // namespace pelsok::app
