#include "app/ui/EnterKey.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace pelsok::ui {
namespace {

class TEnterFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button == nullptr || !button->isEnabled()) return false;
    button->animateClick();
    return true;
  }
};

}  // namespace

void ClickOnEnter(QPushButton* button) { button->installEventFilter(new TEnterFilter(button)); }

}  // namespace pelsok::ui
