#include "app/ui/AboutBox.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "app/Version.h"
#include "app/ui/Fonts.h"
#include "app/ui/ProgramIcon.h"

namespace pelsok::ui {

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
  setObjectName("AboutBox");
  setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
  setFont(PelsokFont(12));
  setFixedSize(298, 145);
  setModal(true);

  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setGeometry(8, 8, 282, 100);
  auto* icon = new QLabel(panel);
  icon->setPixmap(ProgramPixmap(32));
  icon->setGeometry(10, 10, 32, 32);
  ProductName = new QLabel(QStringLiteral("ペルソク"), panel);
  ProductName->setFont(PelsokFont(16));
  ProductName->move(56, 10);
  Version = new QLabel(QStringLiteral("バージョン %1").arg(QString::fromLatin1(app::kVersionText)),
                       panel);
  Version->move(56, 34);
  Copyright = new QLabel(QStringLiteral("Copyright (C) 1998-2026 Corvane"), panel);
  Copyright->move(10, 56);
  Comments = new QLabel(QStringLiteral("月ごとのログファイルを 1 つの書庫にまとめます。"), panel);
  Comments->move(10, 76);
  for (QLabel* l : {ProductName, Version, Copyright, Comments}) l->adjustSize();

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setGeometry(111, 116, 75, 25);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::showEvent(QShowEvent* event) {
  if (QScreen* s = screen()) {
    const QRect area = s->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  QDialog::showEvent(event);
}

}  // namespace pelsok::ui
