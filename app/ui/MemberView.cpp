#include "app/ui/MemberView.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

namespace pelsok::ui {

TMemberView::TMemberView(const app::TMemberContext& context, std::uint64_t line, QWidget* parent)
    : QDialog(parent) {
  setObjectName("MemberView");
  setWindowTitle(QStringLiteral("検索した行 - 書庫ビューア"));
  resize(760, 480);
  auto* column = new QVBoxLayout(this);
  Note = new QLabel(QString::fromStdString(context.Note), this);
  Note->setWordWrap(true);
  Note->setTextFormat(Qt::PlainText);
  Note->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addWidget(Note);
  Text = new QPlainTextEdit(this);
  Text->setReadOnly(true);
  Text->setLineWrapMode(QPlainTextEdit::NoWrap);
  Text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  Text->setPlainText(QString::fromStdString(context.Text));
  column->addWidget(Text, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  column->addWidget(buttons);

  // The found line: selected, highlighted and in the middle of the view.
  if (context.Found && line >= context.FirstLine) {
    const QTextBlock block =
        Text->document()->findBlockByNumber(static_cast<int>(line - context.FirstLine));
    const QTextCursor cursor(block);
    QTextEdit::ExtraSelection mark;
    mark.cursor = cursor;
    mark.format.setBackground(QColor(0xff, 0xf3, 0xb0));
    mark.format.setProperty(QTextFormat::FullWidthSelection, true);
    Text->setExtraSelections({mark});
    Text->setTextCursor(cursor);
    // Centred once the view has its size.
    QTimer::singleShot(0, Text, [text = Text] { text->centerCursor(); });
  }
}

}  // namespace pelsok::ui
