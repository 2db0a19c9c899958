#include "app/ui/Fonts.h"

#include <QStringList>

namespace pelsok::ui {

QFont PelsokFont(int pixelSize) {
  QFont font;
  font.setFamilies(QStringList{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
  font.setPixelSize(pixelSize);
  return font;
}

}  // namespace pelsok::ui
