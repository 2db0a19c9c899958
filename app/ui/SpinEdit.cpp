#include "app/ui/SpinEdit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>

#include "app/text/SpinRules.h"

namespace pelsok::ui {

TSpinEdit::TSpinEdit(int minValue, int maxValue, QWidget* parent)
    : QWidget(parent), min_(minValue), max_(maxValue) {
  edit_ = new QLineEdit(this);
  up_ = new QToolButton(this);
  down_ = new QToolButton(this);
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {up_, down_}) {
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRepeat(true);
  }
  setFocusProxy(edit_);
  edit_->installEventFilter(this);
  connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
  connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

QString TSpinEdit::text() const { return edit_->text(); }
void TSpinEdit::setText(const QString& text) { edit_->setText(text); }

void TSpinEdit::stepBy(int delta) {
  edit_->setText(
      QString::fromStdString(app::SpinStep(edit_->text().toStdString(), delta, min_, max_)));
}

bool TSpinEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_) {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
        stepBy(key->key() == Qt::Key_Up ? 1 : -1);
        return true;
      }
      const QString typed = key->text();
      if (!typed.isEmpty() && typed.at(0).isPrint()) {
        const QString sep = QLocale().decimalPoint();
        const char32_t sepChar = sep.isEmpty() ? U'.' : sep.at(0).unicode();
        for (const QChar c : typed)
          if (!app::SpinAcceptsChar(c.unicode(), sepChar)) return true;  // refused
      }
    } else if (event->type() == QEvent::FocusOut) {
      const std::string t = edit_->text().toStdString();
      const std::string checked = app::SpinCheckOnExit(t, min_, max_);
      if (checked != t) edit_->setText(QString::fromStdString(checked));
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TSpinEdit::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int bw = 15;
  const int h = height();
  edit_->setGeometry(0, 0, width() - bw, h);
  up_->setGeometry(width() - bw, 0, bw, h / 2);
  down_->setGeometry(width() - bw, h / 2, bw, h - h / 2);
}

}  // namespace pelsok::ui
