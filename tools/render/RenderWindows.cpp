// Renders the main window, the confirmation dialog, the browse dialog and
// the about box to PNG files in the folder given as the first argument.
// Run it on the offscreen platform (render.sh does).
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>
#include <cstdio>
#include <exception>

#include "app/core/RunSummary.h"
#include "app/ui/AboutBox.h"
#include "app/ui/Application.h"
#include "app/ui/BrowseDialog.h"
#include "app/ui/ConfirmDialog.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/MainForm.h"
#include "app/ui/RunProgress.h"
#include "app/ui/RunWorker.h"

namespace {

bool Save(QWidget& w, const QString& file) {
  w.show();
  QCoreApplication::processEvents();
  const bool ok = w.grab().save(file);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", file.toLocal8Bit().constData());
  w.hide();
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: pelsok-render OUTDIR\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  pelsok::ui::TApplication::Initialize();

  pelsok::ui::TForm1 form;
  // Shown and active, as at start: the focus frame on 圧縮 must show.
  form.show();
  form.activateWindow();
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  if (!form.Button1->hasFocus()) std::fprintf(stderr, "圧縮 does not have the focus at start\n");
  // The focused button, four times as large, to see its focus frame.
  const QPixmap button = form.Button1->grab();
  bool ok = button.scaled(button.size() * 4).save(out + "/focus-at-start.png");
  ok = Save(form, out + "/main-window.png") && ok;
  // The format menu, with the stored (default) format ticked.
  for (QMenu* menu : form.findChildren<QMenu*>()) {
    if (menu->title() != QStringLiteral("書庫の形式(&F)")) continue;
    menu->adjustSize();
    ok = Save(*menu, out + "/format-menu.png") && ok;
  }
  // A run under way: the progress display below the controls.
  form.Progress->Begin(QStringLiteral("DR2611.LZH"));
  form.Progress->Show({12, 30, 13u << 20, 33u << 20, QStringLiteral("/var/log/app/DR1112.log")});
  form.Progress->show();
  form.Button1->setEnabled(false);
  form.Button3->setEnabled(false);
  ok = Save(form, out + "/main-window-running.png") && ok;
  // Deletion confirmed: the new archive is checked before any log goes.
  form.Progress->Checking(QStringLiteral("DR2611.ZIP"));
  form.Progress->Show({7, 30, 8u << 20, 33u << 20, QStringLiteral("var/log/app/DR1107.log")});
  ok = Save(form, out + "/main-window-checking.png") && ok;
  form.Progress->hide();
  form.Button1->setEnabled(true);
  form.Button3->setEnabled(true);
  form.StatusLine->setText(QStringLiteral("DR2611.LZH: 30 ファイル, 33.0 MB → 4.6 MB"));
  ok = Save(form, out + "/main-window-done.png") && ok;
  pelsok::ui::TOKBottomDlg1 confirm([](const std::string&) {}, &form);
  confirm.SetDetails("/var/log/app/DR2611.LZH", 30);
  ok = Save(confirm, out + "/confirm-dialog.png") && ok;
  pelsok::ui::TOKBottomDlg browse([](const std::string&) {}, &form);
  ok = Save(browse, out + "/browse-dialog.png") && ok;
  pelsok::ui::TAboutBox about(&form);
  ok = Save(about, out + "/about-box.png") && ok;
  QMessageBox error(QMessageBox::Critical, QStringLiteral("ペルソク"),
                    QStringLiteral("Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。"),
                    QMessageBox::Ok, &form);
  error.setInformativeText(
      QString::fromStdString(pelsok::app::ErrorAdvice("UNLHA32.DLL が 必要です。")));
  ok = Save(error, out + "/error-message.png") && ok;
  QMessageBox noLogs(
      QMessageBox::Warning, QStringLiteral("ペルソク"),
      QStringLiteral("フォルダ '/var/log/app/' に DR11*.log に当たるファイルがありません。"),
      QMessageBox::Ok, &form);
  noLogs.setInformativeText(QStringLiteral("種類・年・月とフォルダを確かめてください。"));
  ok = Save(noLogs, out + "/no-logs-message.png") && ok;
  // The help pages are found beside the executable once the pelsok target was built.
  try {
    pelsok::ui::THelpWindow* help = pelsok::ui::WinHelp(&form, "Pelsok1.hlp", 257, 0);
    ok = Save(*help, out + "/help-search.png") && ok;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "help window not rendered: %s\n", e.what());
  }
  return ok ? 0 : 1;
}
