// The setting that makes LZH and ZIP runs store names as Shift-JIS (cp932)
// for Windows users of the archives (stored in the hive under
// "ShiftJisNames"; off when nothing is stored).
#pragma once

namespace pelsok::app {

bool LoadShiftJisNames();
void SaveShiftJisNames(bool on);

}  // namespace pelsok::app
