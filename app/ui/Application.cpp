#include "app/ui/Application.h"

#include <QApplication>
#include <QMessageBox>

#include "app/ui/Fonts.h"
#include "app/ui/ProgramIcon.h"

namespace pelsok::ui {
namespace {

std::string& TitleText() {
  static std::string t = TApplication::kTitle;
  return t;
}

std::string& HelpFileText() {
  static std::string f;
  return f;
}

}  // namespace

const std::string& TApplication::Title() { return TitleText(); }
void TApplication::SetTitle(const std::string& title) {
  TitleText() = title;
  QApplication::setApplicationDisplayName(QString());
  QApplication::setApplicationName(QString::fromStdString(title));
}
const std::string& TApplication::HelpFile() { return HelpFileText(); }
void TApplication::SetHelpFile(const std::string& file) { HelpFileText() = file; }

void TApplication::Initialize() {
  // The launcher's pelsok.desktop, so the desktop ties the window to it.
  QApplication::setDesktopFileName(QStringLiteral("pelsok"));
  QApplication::setFont(PelsokFont(12));
  QApplication::setWindowIcon(ProgramIcon());
  SetTitle(kTitle);
}

void TApplication::HandleException(const std::exception& e, QWidget* parent) {
  if (!parent) parent = QApplication::activeWindow();
  QMessageBox box(QMessageBox::Critical, QString::fromStdString(Title()),
                  QString::fromUtf8(e.what()), QMessageBox::Ok, parent);
  box.exec();
}

bool TApplication::Guarded(const std::function<void()>& handler, QWidget* parent) {
  try {
    handler();
    return true;
  } catch (const std::exception& e) {
    HandleException(e, parent);
  } catch (...) {
    HandleException(std::runtime_error("不明なエラーです"), parent);
  }
  return false;
}

}  // namespace pelsok::ui
