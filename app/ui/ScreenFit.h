// Pulls a window's frame onto the available area of a screen, so a stored
// placement from a screen that is gone (or a smaller one) never opens the
// window out of reach.
#pragma once

#include <QList>
#include <QRect>

namespace pelsok::ui {

// The frame moved into the area it overlaps most (the nearest area when it
// overlaps none); its top-left corner stays visible when it is larger than
// the area. An empty list leaves it as it is.
QRect FitOntoScreens(const QRect& frame, const QList<QRect>& areas);

// The available areas of the current screens.
QList<QRect> AvailableScreenAreas();

}  // namespace pelsok::ui
