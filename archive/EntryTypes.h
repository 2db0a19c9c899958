// The window handle, listing handle and entry record that pass through the
// archive component to the archiver libraries. The application takes them
// from here, not from the libraries' own header.
#pragma once

#include "archivers/common/ArchiverApi.h"
