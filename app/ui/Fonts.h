// The windows' font: "ＭＳ Ｐゴシック", falling back to IPAPGothic (same
// metrics, installed by fonts-ipafont-gothic) where the first is missing.
#pragma once

#include <QFont>

namespace pelsok::ui {

QFont PelsokFont(int pixelSize);

}  // namespace pelsok::ui
