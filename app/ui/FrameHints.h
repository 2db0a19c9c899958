// What a fixed-size window's frame offers the user: the window menu, the
// minimize box and the close box; no resizing and no maximize box. The
// toolkit always offers resizing to the window manager, and a manager that
// goes by that alone draws a maximize box on a window that cannot grow.
#pragma once

class QWidget;

namespace pelsok::ui {

// Call once the window is created and before it is mapped (its showEvent);
// does nothing where there is no X11 window manager.
void OfferFixedSizeFrame(QWidget& window);

}  // namespace pelsok::ui
