// What stands in for the Windows window calls the back ends make. Windows
// belong to the user interface, so it registers how each call is done; with
// nothing registered a call does nothing.
#pragma once

namespace platform {

using WindowHandle = void*;
using ForegroundHandler = void (*)(WindowHandle wnd);

// SetForegroundWindow: brings the window to the front (the handler decides how).
void SetForegroundWindow(WindowHandle wnd);
// Registers the handler (null: none); gives the previous one.
ForegroundHandler SetForegroundHandler(ForegroundHandler handler);

}  // namespace platform
