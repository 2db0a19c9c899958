#include "app/ui/HelpWindow.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include "app/settings/HelpFiles.h"
#include "app/ui/ScreenFit.h"

namespace pelsok::ui {
namespace {

// What a search compares: full-width letters and digits as their plain
// forms, half-width katakana as full-width ones, without case.
QString Comparable(const QString& text) {
  return text.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

// The role that holds what an item's search looks through.
constexpr int kSearchText = Qt::UserRole + 1;

}  // namespace

THelpWindow::THelpWindow(const std::string& folder, const std::string& page, bool search,
                         QWidget* parent)
    : QDialog(parent, Qt::Window) {
  setObjectName("HelpWindow");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("ペルソク ヘルプ"));
  resize(640, 480);
  auto* layout = new QHBoxLayout(this);
  if (search) {
    auto* side = new QVBoxLayout;
    SearchField = new QLineEdit(this);
    SearchField->setPlaceholderText(QStringLiteral("キーワードを入力してください"));
    // Wide enough for the whole prompt.
    SearchField->setMinimumWidth(
        SearchField->fontMetrics().horizontalAdvance(SearchField->placeholderText()) + 32);
    Keywords = new QListWidget(this);
    for (const auto& [word, target] : app::ReadHelpKeywords(folder)) {
      auto* item = new QListWidgetItem(QString::fromStdString(word), Keywords);
      item->setData(Qt::UserRole, QString::fromStdString(folder + target));
      item->setData(kSearchText, Comparable(item->text()));
    }
    // Every page by its title, found by any text it holds.
    const QDir pages(QString::fromStdString(folder));
    for (const QString& name : pages.entryList({QStringLiteral("*.html")}, QDir::Files)) {
      QFile file(pages.filePath(name));
      if (!file.open(QIODevice::ReadOnly)) continue;
      QTextDocument doc;
      doc.setHtml(QString::fromUtf8(file.readAll()));
      const QString title = doc.metaInformation(QTextDocument::DocumentTitle);
      auto* item = new QListWidgetItem(
          QStringLiteral("ページ「%1」").arg(title.isEmpty() ? name : title), Keywords);
      item->setData(Qt::UserRole, pages.filePath(name));
      item->setData(kSearchText, Comparable(item->text() + QLatin1Char('\n') + doc.toPlainText()));
    }
    side->addWidget(SearchField);
    side->addWidget(Keywords);
    layout->addLayout(side, 1);
    connect(SearchField, &QLineEdit::textChanged, this, &THelpWindow::Filter);
    connect(SearchField, &QLineEdit::returnPressed, this, &THelpWindow::Search);
    connect(Keywords, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
      Browser->setSource(QUrl::fromLocalFile(item->data(Qt::UserRole).toString()));
    });
  }
  Browser = new QTextBrowser(this);
  Browser->setOpenLinks(true);
  Browser->setSearchPaths({QString::fromStdString(folder)});
  Browser->setSource(QUrl::fromLocalFile(QString::fromStdString(page)));
  layout->addWidget(Browser, 3);
}

void THelpWindow::Search() {
  Filter(SearchField->text());
  for (int i = 0; i < Keywords->count(); ++i) {
    QListWidgetItem* item = Keywords->item(i);
    if (item->isHidden()) continue;
    Keywords->setCurrentItem(item);
    Browser->setSource(QUrl::fromLocalFile(item->data(Qt::UserRole).toString()));
    // Mark where the page says it, when it says it in these very letters.
    Browser->find(SearchField->text());
    return;
  }
}

void THelpWindow::Filter(const QString& text) {
  const QString wanted = Comparable(text.trimmed());
  for (int i = 0; i < Keywords->count(); ++i) {
    QListWidgetItem* item = Keywords->item(i);
    item->setHidden(!item->data(kSearchText).toString().contains(wanted));
  }
}

// Centred over its owner's frame, then kept whole on the screen, title bar
// included (the owner may stand at the screen's top edge). Placed before it
// is first shown, so the position is taken for the frame's.
void THelpWindow::PlaceOver(const QWidget* owner) {
  layout()->activate();
  QMargins frame;
  QRect over = AvailableScreenAreas().value(0);
  if (owner != nullptr && owner->isVisible()) {
    const QRect f = owner->frameGeometry(), g = owner->geometry();
    frame = QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                     f.bottom() - g.bottom());
    over = f;
  }
  QRect mine = QRect(QPoint(), size()).marginsAdded(frame);
  mine.moveCenter(over.center());
  move(FitOntoScreens(mine, AvailableScreenAreas()).topLeft());
}

THelpWindow* WinHelp(QWidget* owner, const std::string& helpFile, unsigned command,
                     unsigned long /*data*/) {
  const app::THelpRequest request = app::ResolveHelp(helpFile, command);
  auto* window = new THelpWindow(request.Folder, request.Page, request.Search, owner);
  window->PlaceOver(owner);
  window->show();
  return window;
}

}  // namespace pelsok::ui
