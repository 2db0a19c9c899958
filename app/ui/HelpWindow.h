// The help window: shows the shipped HTML pages of a help file; for a
// keyword search it adds the keyword index with a search field.
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
  QListWidget* Keywords = nullptr;

  // Enter in the search field: shows the first keyword that contains the text.
  void Search();

 private:
  void Filter(const QString& text);
};

// The help engine call of the help menu: help file, command code, data.
// Opens a help window (not modal) and returns it.
THelpWindow* WinHelp(QWidget* owner, const std::string& helpFile, unsigned command,
                     unsigned long data);

}  // namespace pelsok::ui
