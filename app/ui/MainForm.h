// TForm1, the main window: the Compress command, continuous compression, the
// kind list commands, the browse, about and help commands; start-up
// (FormCreate) and shutdown (FormClose) with the settings and the placement.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "app/run/CompressRun.h"
#include "app/run/ContinuousSummary.h"
#include "app/run/RunState.h"
#include "platform/DateTime.h"
#include "winplace/WinPlace.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QToolButton;

namespace pelsok::ui {

class TArchiveViewer;
class TFormPlacement;
class TResultList;
class TOKBottomDlg1;
class TRunProgress;
class TRunWorker;
class TSpinEdit;
class TStatusLine;

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  // today gives the date the month and year fields start from.
  explicit TForm1(std::function<platform::TDateTime()> today = platform::Now,
                  QWidget* parent = nullptr);
  ~TForm1() override;

  // Controls; the tab order follows the layout, row by row from the left
  // (Button1 Combo Button4 / Button3 Spin2 Button5 / Check Spin Check2 /
  // Edit1 Button2).
  QPushButton* Button1;  // 圧縮 (Compress): packs the chosen kind's month
  QComboBox* Combo;      // 種類 (kind): the log kind and the kind list
  TSpinEdit* Spin;       // 月 (month)
  QCheckBox* Check;      // 数字６桁用 (6-digit mode)
  TSpinEdit* Spin2;      // 年 (year)
  QLineEdit* Edit1;      // the log folder
  QPushButton* Button2;  // 参照 (Browse): picks the log folder
  QPushButton* Button3;  // 連続圧縮 (continuous compression): every kind in the list
  QPushButton* Button4;  // 種類追加 (add kind), as the A1 menu item
  QPushButton* Button5;  // 種類削除 (remove kind), as the D1 menu item
  QCheckBox* Check2;     // 圧縮後削除 (delete the logs after packing)
  QLabel* PathLabel;
  // The 306 x 149 client area that holds the controls.
  QWidget* ClientArea;
  // Below the controls: the running run's progress (hidden between runs)
  // and the status line with the last run's outcome, which a new run clears;
  // at its right the archive format the next run writes ("形式: LZH").
  TRunProgress* Progress;
  TStatusLine* StatusLine;
  QLabel* FormatLabel;
  // At the status line's right after a run: opens the result list.
  QToolButton* ResultsBtn;
  // Menu items.
  QAction* OpenArchive1;  // ﾌｧｲﾙ → 書庫を開く (open an archive in the viewer)
  QAction* Results1;      // ﾌｧｲﾙ → 実行結果の一覧 (the last run's result list)
  QAction* Exit1;         // ﾌｧｲﾙ → 終了 (Exit)
  QAction* A1;            // ｵﾌﾟｼｮﾝ → 種類追加 (add kind)
  QAction* D1;            // ｵﾌﾟｼｮﾝ → 種類削除 (remove kind)
  QAction* ShiftJis1;     // ｵﾌﾟｼｮﾝ → Shift-JIS の名前で格納 (stored at once)
  QAction* Contents1;     // ﾍﾙﾌﾟ → 目次 (contents)
  QAction* SearchforHelpOn1;  // ﾍﾙﾌﾟ → ﾄﾋﾟｯｸの検索 (search for help on)
  QAction* HowtoUseHelp1;     // ﾍﾙﾌﾟ → ﾍﾙﾌﾟの使い方 (how to use help)
  QAction* About1;            // ﾍﾙﾌﾟ → ﾊﾞｰｼﾞｮﾝ情報 (about)

  // Working fields: Edit2, ListBox1, ListBox2 in the run state, and Edit3.
  app::TRunState State;
  // Edit3: the stored 6-digit mode ("Yes"/"No"), and the deletion dialog's answer ("Y").
  std::string Edit3 = "Edit3";
  // The last run's outcome, for the window's own use and tests.
  app::TRunResult LastRun;

  // A Compress run (or a continuous series) is going on a worker thread.
  bool Running() const { return worker_ != nullptr || !pendingKinds_.empty(); }
  // Asks the running run to stop; the old archive and the logs stay.
  void CancelRun();

  TOKBottomDlg1* ConfirmDialog() const { return confirm_; }
  winplace::TWinPlace& WinPlace1() { return *winPlace_; }

  // Handlers; each raises its errors, the connections show them.
  void FormCreate();
  void FormClose();
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void A1Click();
  void D1Click();
  void Button4Click() { A1Click(); }
  void Button5Click() { D1Click(); }
  void Exit1Click();
  // A file dialog that starts in the log folder; the chosen archive opens.
  void OpenArchive1Click();
  void Results1Click();
  // Opens an archive in a viewer window of its own (also for a dropped file
  // and the command line's argument); an archive it cannot read shows why there.
  TArchiveViewer* OpenArchive(const std::string& archiveName);
  // The program's arguments (the program first): each archive named opens.
  void OpenCommandLine(const QStringList& arguments);
  // The result list of the last run, or null before any run.
  TResultList* ResultList() const { return results_; }
  void Contents1Click();
  void SearchforHelpOn1Click();
  void HowtoUseHelp1Click();
  void About1Click();

  // The kind list and the item chosen from the drop-down list (-1 for none).
  std::vector<std::string> Kinds() const;
  void SetKinds(const std::vector<std::string>& kinds);
  int SelectedKind() const { return selectedKind_; }
  void SelectKind(int index);
  std::string KindText() const;
  void SetKindText(const std::string& text);

 signals:
  // The window closed for good (shutdown ran); the program ends.
  void Closed();
  // A Compress run ended (after its messages were shown).
  void RunEnded();
  // A continuous series ended, or a single run when none is going.
  void Idle();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // An archive dropped on the window opens in the viewer.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildControls();
  void BuildMenu();
  // Starts one run; false when it could not start (its problem was shown).
  bool StartRun();
  void RunFinished();
  void NextKind();
  void SetRunning(bool running);
  void ShowProblem(const std::string& why, const std::string& whatToDo, bool critical = false);
  // The folder field's text with its trailing delimiter added, as the run
  // and the browse dialog take it.
  void CompleteFolder();
  // In 6-digit mode the names carry no folder: the status line names the
  // current folder the next run packs in.
  void ShowSixDigitFolder();
  void ShowFormat();
  // Records how the running kind of a continuous series ended.
  void Record(app::TContinuousKind::TOutcome outcome, const std::string& problem = std::string());
  // The run is over: the result list can be seen.
  void OfferResults();
  void EndSeries();
  QString NotesText() const;
  template <typename Sender, typename Signal>
  void Handle(Sender* sender, Signal signal, void (TForm1::*handler)());

  std::function<platform::TDateTime()> today_;
  bool focusFrameShown_ = false;  // the focus frame was shown after the first activation
  std::unique_ptr<TFormPlacement> placement_;
  std::unique_ptr<winplace::TWinPlace> winPlace_;
  TOKBottomDlg1* confirm_ = nullptr;
  int selectedKind_ = -1;
  TRunWorker* worker_ = nullptr;
  // The kinds a continuous series has still to run and the first kind to
  // set at its end.
  std::vector<std::string> pendingKinds_;
  std::string firstKind_;
  bool continuous_ = false;
  // How each kind of the continuous series went, for its summary.
  std::vector<app::TContinuousKind> series_;
  std::string runningKind_;
  // What the runs put right or want known, for the status line's tool tip.
  std::vector<std::string> notes_;
  TResultList* results_ = nullptr;
};

}  // namespace pelsok::ui
