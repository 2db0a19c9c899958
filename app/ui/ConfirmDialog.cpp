#include "app/ui/ConfirmDialog.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include "app/ui/Fonts.h"

namespace pelsok::ui {

TOKBottomDlg1::TOKBottomDlg1(std::function<void(const std::string&)> answer, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      answer_(std::move(answer)) {
  setObjectName("OKBottomDlg1");
  setWindowTitle(QStringLiteral("ﾀﾞｲｱﾛｸﾞ"));
  setFont(PelsokFont(12));
  setFixedSize(313, 245);
  setModal(true);

  Bevel1 = new QFrame(this);
  Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  Bevel1->setGeometry(8, 8, 297, 49);
  Label = new QLabel(QStringLiteral("本当にファイルを削除しますか？"), this);
  Label->setFont(PelsokFont(16));
  Label->move(44, 27);
  Label->adjustSize();

  Details = new QLabel(this);
  Details->setGeometry(12, 62, 289, 36);
  Details->setWordWrap(true);
  Logs = new QListWidget(this);
  Logs->setObjectName("Logs");
  Logs->setGeometry(12, 100, 289, 100);
  Logs->setSelectionMode(QAbstractItemView::NoSelection);
  // Reached with Tab to scroll by keyboard; a click leaves the focus on OK.
  Logs->setFocusPolicy(Qt::TabFocus);

  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setGeometry(71, 210, 75, 25);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  CancelBtn->setGeometry(159, 210, 75, 25);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TOKBottomDlg1::SetDetails(const std::string& archive, const std::vector<std::string>& logs) {
  const QFontMetrics fm(Details->font());
  const QString name =
      fm.elidedText(QString::fromStdString(archive), Qt::ElideMiddle,
                    Details->width() - fm.horizontalAdvance(QStringLiteral("書庫: ")));
  Details->setText(
      QStringLiteral("書庫: %1\n削除するログ: %2 ファイル").arg(name).arg(logs.size()));
  Logs->clear();
  for (const auto& log : logs) Logs->addItem(QString::fromStdString(log));
}

void TOKBottomDlg1::OKBtnClick() { answer_("Y"); }
void TOKBottomDlg1::CancelBtnClick() { answer_("N"); }

void TOKBottomDlg1::accept() {
  OKBtnClick();
  QDialog::accept();
}

// Cancel, Esc, the close box and Alt+F4 all end here.
void TOKBottomDlg1::reject() {
  CancelBtnClick();
  QDialog::reject();
}

void TOKBottomDlg1::showEvent(QShowEvent* event) {
  // The dialog is reused: the button pressed last time keeps neither the
  // focus nor the default, so Enter always means OK when it opens.
  CancelBtn->setDefault(false);
  OKBtn->setDefault(true);
  OKBtn->setFocus(Qt::OtherFocusReason);
  Logs->scrollToTop();
  if (QScreen* s = screen()) {
    const QRect area = s->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  QDialog::showEvent(event);
}

}  // namespace pelsok::ui
