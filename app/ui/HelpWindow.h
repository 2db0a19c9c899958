// The help window: shows the shipped HTML pages of a help file; for a
// keyword search it adds the keyword index and the pages with a search
// field. The search finds a text in the keywords and in the pages' own text,
// anywhere in a word, without regard to case or to full- and half-width
// forms ("zip" finds ZIP, "6桁" finds 数字６桁用).
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace pelsok::ui {

class THelpWindow : public QDialog {
  Q_OBJECT
 public:
  THelpWindow(const std::string& folder, const std::string& page, bool search,
              QWidget* parent = nullptr);

  QTextBrowser* Browser;
  QLineEdit* SearchField = nullptr;  // only for a keyword search
  // The keywords, then one item per page (its title), each opening its page.
  QListWidget* Keywords = nullptr;

  // Enter in the search field: shows the first item that matches the text.
  void Search();
  // Before the first show: centred over owner, the whole frame on the screen.
  void PlaceOver(const QWidget* owner);

 private:
  void Filter(const QString& text);
};

// The help engine call of the help menu: help file, command code, data.
// Opens a help window (not modal) and returns it.
THelpWindow* WinHelp(QWidget* owner, const std::string& helpFile, unsigned command,
                     unsigned long data);

}  // namespace pelsok::ui
