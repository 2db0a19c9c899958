// The exception of the archive front end and the back ends: a message only.
#pragma once

#include "platform/Exceptions.h"

namespace pelsok {

class EArchiver : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

}  // namespace pelsok
