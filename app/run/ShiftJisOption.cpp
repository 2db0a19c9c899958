#include "app/run/ShiftJisOption.h"

namespace pelsok::app {

bool StoresShiftJisNames(TArchiverType type) { return type == atLha || type == atZip; }

void StoreShiftJisNames(TArchiverOptions& options, TArchiverType type) {
  if (type == atLha)
    options.UserOptions += options.UserOptions.empty() ? "-k1" : " -k1";
  else if (type == atZip)
    options.ji = 1;
}

}  // namespace pelsok::app
