#include "app/run/RunGrade.h"

namespace pelsok::app {

TRunGrade GradeOfResult(std::int32_t result) {
  if (result == 0) return TRunGrade::Ok;
  if (result > 0 && result < 0x8000) return TRunGrade::Warning;
  return TRunGrade::Failed;
}

}  // namespace pelsok::app
