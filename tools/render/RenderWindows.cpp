// Renders the main window, the confirmation dialog, the browse dialog, the
// about box, the archive viewer and the result list to PNG files in the
// folder given as the first argument.
// Run it on the offscreen platform (render.sh does).
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "app/run/CompressRun.h"
#include "app/run/ContinuousSummary.h"
#include "app/run/Manifest.h"
#include "app/run/MemberExtraction.h"
#include "app/run/MemberHashes.h"
#include "app/run/ResultRows.h"
#include "app/run/RunSummary.h"
#include "app/run/Sha256.h"
#include "app/settings/ArchiveFormat.h"
#include "app/ui/AboutBox.h"
#include "app/ui/Application.h"
#include "app/ui/ArchiveViewer.h"
#include "app/ui/BrowseDialog.h"
#include "app/ui/ConfirmDialog.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/ListingTable.h"
#include "app/ui/MainForm.h"
#include "app/ui/MemberView.h"
#include "app/ui/ResultList.h"
#include "app/ui/RunProgress.h"
#include "app/ui/SearchResults.h"
#include "app/ui/StatusLine.h"
#include "app/ui/TaskWorker.h"

namespace {

bool Save(QWidget& w, const QString& file) {
  w.show();
  QCoreApplication::processEvents();
  const bool ok = w.grab().save(file);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", file.toLocal8Bit().constData());
  w.hide();
  return ok;
}

// A month of logs below root/var/log/app, packed as the window packs them;
// returns the archive's name.
std::string PackSampleMonth(const std::string& root) {
  const std::string folder = root + "/var/log/app/";
  std::filesystem::create_directories(folder);
  for (int d = 1; d <= 30; ++d) {
    const std::string name = "DR11" + std::string(d < 10 ? "0" : "") + std::to_string(d) + ".log";
    std::ofstream log(folder + name);
    for (int line = 0; line < 400 + d * 37; ++line) {
      log << "2026-11-" << d << " 10:" << line % 60 << " request " << line * 7919 % 10007
          << " served in " << line % 13 << " ms\n";
      // A bad day a week, for the search.
      if (d % 7 == 0 && line % 150 == 123)
        log << "2026-11-" << d << " 10:" << line % 60 << " ERROR timeout talking to db01 after "
            << 30000 + line << " ms\n";
    }
  }
  pelsok::app::TRunInput in;
  in.Folder = folder;
  in.Kind = "DR";
  in.Year = "26";
  in.Month = "11";
  in.Format = pelsok::app::ArchiveFormats().front();
  pelsok::app::TRunState state;
  return pelsok::app::TCompressRun(state).Run(in, [] { return false; }).Names.ArchiveName;
}

// The manifest beside archive, as the run writes it (no chain).
void WriteManifest(const std::string& archive) {
  pelsok::app::TManifest m;
  m.Written = pelsok::app::ManifestTime(std::time(nullptr));
  m.Host = pelsok::app::ManifestHost();
  m.User = pelsok::app::ManifestUser();
  m.Format = "LZH";
  m.Archive = {pelsok::app::FileSha256(archive).value_or(""),
               std::filesystem::path(archive).filename().string()};
  pelsok::TArchiveFile file(nullptr);
  file.SetFileName(archive);
  for (const auto& [name, hash] : pelsok::app::HashMembers(file).Hashes)
    m.Members.push_back({hash, name});
  std::ofstream(pelsok::app::ManifestName(archive), std::ios::binary)
      << pelsok::app::FormatManifest(m);
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
  form.StatusLine->Show(QStringLiteral("DR2611.LZH: 30 ファイル, 33.0 MB → 4.6 MB"));
  ok = Save(form, out + "/main-window-done.png") && ok;
  // After 連続圧縮: the whole series in one line, shortened, whole in the tool tip.
  using TOutcome = pelsok::app::TContinuousKind::TOutcome;
  form.StatusLine->Show(QString::fromStdString(pelsok::app::ContinuousSummary({
      {"DR", TOutcome::Packed, 30, 30},
      {"DD", TOutcome::Packed, 28, 28},
      {"NA", TOutcome::NoLogs},
      {"TR", TOutcome::Failed},
      {"GA", TOutcome::NoLogs},
  })));
  ok = Save(form, out + "/status-after-continuous.png") && ok;
  form.StatusLine->Show(
      QStringLiteral("DR2611.LZH: 30 ファイル, 33.0 MB → 4.6 MB  30 ファイルを削除しました。"));
  ok = Save(form, out + "/status-long-elided.png") && ok;
  {
    // The tool tip of the shortened line, drawn under the window.
    form.show();
    QCoreApplication::processEvents();
    const QPixmap window = form.grab();
    QLabel tip(form.StatusLine->toolTip());
    tip.setFont(form.StatusLine->font());
    tip.setFrameStyle(QFrame::Box);
    tip.setMargin(3);
    tip.adjustSize();
    QPixmap both(std::max(window.width(), tip.width()), window.height() + tip.height() + 4);
    both.fill(Qt::white);
    QPainter p(&both);
    p.drawPixmap(0, 0, window);
    p.drawPixmap(0, window.height() + 4, tip.grab());
    p.end();
    const bool saved = both.save(out + "/status-long-tooltip.png");
    std::printf("%s %s\n", saved ? "wrote" : "FAILED",
                (out + "/status-long-tooltip.png").toLocal8Bit().constData());
    ok = saved && ok;
    form.hide();
  }
  form.StatusLine->Clear();
  pelsok::ui::TOKBottomDlg1 confirm([](const std::string&) {}, &form);
  std::vector<std::string> logs;
  for (int d = 1; d <= 30; ++d)
    logs.push_back("/var/log/app/DR11" + std::string(d < 10 ? "0" : "") + std::to_string(d) +
                   ".log");
  confirm.SetDetails("/var/log/app/DR2611.LZH", logs);
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
  // The window moved to 300,200, closed and started three times: the screen
  // with the window where it was left, the stored frame rectangle below it.
  {
    pelsok::ui::TForm1* last = nullptr;
    std::vector<std::unique_ptr<pelsok::ui::TForm1>> starts;
    for (int start = 0; start < 4; ++start) {
      auto f = std::make_unique<pelsok::ui::TForm1>();
      f->show();
      if (start == 0) f->move(300, 200);
      QCoreApplication::processEvents();
      if (start < 3) f->close();
      last = f.get();
      starts.push_back(std::move(f));
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    QPixmap shot(screen->geometry().size());
    shot.fill(QColor(0x3a, 0x6e, 0xa5));
    QPainter p(&shot);
    const QRect frame = last->frameGeometry();
    p.fillRect(frame, Qt::darkGray);
    p.drawPixmap(last->geometry().topLeft(), last->grab());
    p.setPen(Qt::white);
    p.drawText(10, shot.height() - 10,
               QStringLiteral("after three restarts: frame at %1,%2 (moved to 300,200)")
                   .arg(frame.x())
                   .arg(frame.y()));
    p.end();
    const bool saved = shot.save(out + "/placement-after-restarts.png");
    std::printf("%s %s (frame %d,%d)\n", saved ? "wrote" : "FAILED",
                (out + "/placement-after-restarts.png").toLocal8Bit().constData(), frame.x(),
                frame.y());
    ok = saved && ok;
    last->hide();
  }
  // The archive viewer on a month's archive, sorted by size, largest first.
  QTemporaryDir work;
  const std::string archive = PackSampleMonth(work.path().toStdString());
  WriteManifest(archive);
  {
    // The status line tells the manifest's check once it ended.
    auto* viewer = new pelsok::ui::TArchiveViewer(&form);
    viewer->Open(archive);
    viewer->resize(820, 520);
    while (viewer->Verifying()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ok = Save(*viewer, out + "/viewer-listing.png") && ok;
    viewer->Table->sortByColumn(1, Qt::DescendingOrder);
    viewer->FilterEdit->setText(QStringLiteral("DR111*"));
    viewer->Table->selectRow(0);
    ok = Save(*viewer, out + "/viewer-filtered.png") && ok;
    // An extraction under way: the progress panel and its Cancel under the table.
    viewer->FilterEdit->clear();
    viewer->Table->sortByColumn(-1, Qt::AscendingOrder);
    viewer->Progress->BeginTask(QStringLiteral("/home/user/restore/ に展開しています…"),
                                QStringLiteral("展開: "));
    viewer->Progress->show();
    viewer->show();
    QCoreApplication::processEvents();
    viewer->Progress->Show(
        {12, 30, 410u << 10, 1020u << 10, QStringLiteral("var/log/app/DR1112.log")});
    viewer->ExtractAction->setEnabled(false);
    viewer->ExtractAllAction->setEnabled(false);
    viewer->TestAction->setEnabled(false);
    viewer->SearchAction->setEnabled(false);
    ok = Save(*viewer, out + "/viewer-extracting.png") && ok;
    // What an extraction with a refused name reports at its end.
    pelsok::app::TExtractOutcome done;
    done.Extracted = {"a", "b", "c"};
    done.Refused = {"../../etc/cron.d/evil"};
    QMessageBox summary(
        QMessageBox::Warning, QStringLiteral("ペルソク"),
        QString::fromStdString(pelsok::app::ExtractSummary(done, "/home/user/restore/")),
        QMessageBox::Ok, &form);
    summary.setInformativeText(QStringLiteral(
        "フォルダの外を指す名前は、選んだフォルダの外に書かないよう展開しませんでした。"));
    ok = Save(summary, out + "/viewer-extract-result.png") && ok;
    delete viewer;
  }
  {
    // 検索: the lines of the members that hold ERROR, and one in its context.
    auto* viewer = new pelsok::ui::TArchiveViewer(&form);
    viewer->Open(archive);
    viewer->resize(820, 560);
    viewer->show();
    viewer->SearchEdit->setText(QStringLiteral("ERROR"));
    viewer->StartSearch();
    while (viewer->Busy()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    viewer->Results->selectRow(2);
    ok = Save(*viewer, out + "/viewer-search.png") && ok;
    viewer->show();
    viewer->ShowContext(2);
    while (viewer->Busy()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (pelsok::ui::TMemberView* view = viewer->LastContextView()) {
      ok = Save(*view, out + "/viewer-context.png") && ok;
    } else {
      std::printf("FAILED %s\n", (out + "/viewer-context.png").toLocal8Bit().constData());
      ok = false;
    }
    delete viewer;
  }
  {
    // A damaged archive: the viewer says what is wrong and what to do.
    const std::string damaged = work.path().toStdString() + "/DR2610.LZH";
    std::ofstream(damaged) << "-lh5- this is not an archive any more";
    auto* viewer = new pelsok::ui::TArchiveViewer(&form);
    viewer->Open(damaged);
    viewer->resize(820, 360);
    ok = Save(*viewer, out + "/viewer-error.png") && ok;
    delete viewer;
  }
  {
    // After 連続圧縮: one row per kind, the archive, what was packed, deleted and kept.
    using TOutcome = pelsok::app::TContinuousKind::TOutcome;
    std::vector<pelsok::app::TContinuousKind> series(5);
    series[0] = {"DR", TOutcome::Packed, 30, 30};
    series[0].Archive = archive;
    series[1] = {"DD", TOutcome::Packed, 28, 27};
    // DD's archive changed after its manifest was written: 不一致.
    const std::string changed = work.path().toStdString() + "/var/log/app/DD2611.LZH";
    std::filesystem::copy_file(archive, changed);
    WriteManifest(changed);
    std::fstream(changed, std::ios::in | std::ios::out | std::ios::binary).seekp(4000).put('x');
    series[1].Archive = changed;
    series[1].Kept = {"/var/log/app/DD1130.log (圧縮後に変更されました)"};
    series[2] = {"NA", TOutcome::NoLogs};
    series[3] = {"TR", TOutcome::Failed};
    series[3].Problem = "書庫 '/var/log/app/TR2611.LZH' を作れません: 書き込みが許可されていません";
    series[4] = {"GA", TOutcome::NoLogs};
    pelsok::ui::TResultList list([](const std::string&) {}, &form);
    list.SetRows(pelsok::app::ResultRows(series));
    while (list.Verifying()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    // The failed kind chosen: its reason in full below the list.
    list.List->setCurrentItem(list.List->topLevelItem(3));
    ok = Save(list, out + "/result-list.png") && ok;
    // The changed archive chosen: what its manifest check found.
    list.List->setCurrentItem(list.List->topLevelItem(1));
    ok = Save(list, out + "/result-list-verify.png") && ok;
    auto* viewer = new pelsok::ui::TArchiveViewer(&form);
    viewer->Open(changed);
    viewer->resize(820, 360);
    while (viewer->Verifying()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ok = Save(*viewer, out + "/viewer-manifest-differs.png") && ok;
    delete viewer;
    form.StatusLine->Show(QString::fromStdString(pelsok::app::ContinuousSummary(series)));
    form.ResultsBtn->show();
    ok = Save(form, out + "/main-window-results.png") && ok;
  }
  return ok ? 0 : 1;
}
