// The worker pool the libraries pack on is the platform's
// (platform/OrderedPool.h), which the program searches archives on too.
#pragma once

#include "platform/OrderedPool.h"

namespace arc {
using OrderedPool = platform::OrderedPool;
}  // namespace arc
