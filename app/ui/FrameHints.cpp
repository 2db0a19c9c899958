#include "app/ui/FrameHints.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstdint>
#include <cstdlib>

#ifdef PELSOK_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace pelsok::ui {

void OfferFixedSizeFrame([[maybe_unused]] QWidget& window) {
#ifdef PELSOK_HAVE_XCB
  if (QGuiApplication::platformName() != QStringLiteral("xcb")) return;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* c = x11 != nullptr ? x11->connection() : nullptr;
  if (c == nullptr) return;
  static constexpr char kName[] = "_MOTIF_WM_HINTS";
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof kName - 1, kName), nullptr);
  if (reply == nullptr) return;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  // The Motif window manager hints: which fields count, the functions, the
  // decorations, the input mode and the status.
  enum : std::uint32_t {
    kFunctionsField = 1u << 0,
    kDecorationsField = 1u << 1,
    kMove = 1u << 2,
    kMinimize = 1u << 3,
    kClose = 1u << 5,
    kBorder = 1u << 1,
    kTitle = 1u << 3,
    kMenu = 1u << 4,
    kMinimizeBox = 1u << 5,
  };
  const std::uint32_t hints[5] = {kFunctionsField | kDecorationsField, kMove | kMinimize | kClose,
                                  kBorder | kTitle | kMenu | kMinimizeBox, 0, 0};
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()), atom,
                      atom, 32, 5, hints);
  xcb_flush(c);
#endif
}

}  // namespace pelsok::ui
