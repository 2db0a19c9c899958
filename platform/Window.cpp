#include "platform/Window.h"

namespace platform {
namespace {

ForegroundHandler& Handler() {
  static ForegroundHandler handler = nullptr;
  return handler;
}

}  // namespace

void SetForegroundWindow(WindowHandle wnd) {
  if (ForegroundHandler h = Handler()) h(wnd);
}

ForegroundHandler SetForegroundHandler(ForegroundHandler handler) {
  ForegroundHandler old = Handler();
  Handler() = handler;
  return old;
}

}  // namespace platform
