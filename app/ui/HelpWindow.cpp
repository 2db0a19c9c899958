#include "app/ui/HelpWindow.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/core/HelpFiles.h"

namespace pelsok::ui {

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
    return;
  }
}

void THelpWindow::Filter(const QString& text) {
  for (int i = 0; i < Keywords->count(); ++i) {
    QListWidgetItem* item = Keywords->item(i);
    item->setHidden(!item->text().contains(text, Qt::CaseInsensitive));
  }
}

THelpWindow* WinHelp(QWidget* owner, const std::string& helpFile, unsigned command,
                     unsigned long /*data*/) {
  const app::THelpRequest request = app::ResolveHelp(helpFile, command);
  auto* window = new THelpWindow(request.Folder, request.Page, request.Search, owner);
  window->show();
  return window;
}

}  // namespace pelsok::ui
