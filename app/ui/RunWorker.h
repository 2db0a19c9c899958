// One Compress run on a thread of its own, so the window keeps answering.
// The library's progress arrives as Progressed signals on the window's
// thread; Cancel asks the library to stop at its next file or block. The
// deletion confirmation is asked on the window's thread while the run waits.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "app/run/CompressRun.h"
#include "app/run/RunState.h"

class QThread;

namespace pelsok::ui {

struct TRunProgressInfo {
  quint64 FilesDone = 0;
  quint64 FilesTotal = 0;
  quint64 BytesDone = 0;
  quint64 BytesTotal = 0;
  QString Current;
};

class TRunWorker : public QObject {
  Q_OBJECT
 public:
  // confirm runs on the thread that owns this object (the window's).
  TRunWorker(app::TRunState& state, ArcWnd wnd, app::TRunInput input, std::function<bool()> confirm,
             QObject* parent = nullptr);
  ~TRunWorker() override;

  void Start();
  void Cancel() { cancel_ = true; }
  bool CancelRequested() const { return cancel_; }
  // Blocks until the thread has ended (after Finished was queued).
  void Wait();

  // Valid after Finished: the run's result, or the message of its error.
  const app::TRunResult& Result() const { return result_; }
  const std::optional<std::string>& Error() const { return error_; }

 signals:
  void Progressed(const pelsok::ui::TRunProgressInfo& info);
  void Finished();

 private:
  void Body();

  app::TRunState& state_;
  ArcWnd wnd_;
  app::TRunInput input_;
  std::function<bool()> confirm_;
  std::atomic<bool> cancel_{false};
  app::TRunResult result_;
  std::optional<std::string> error_;
  QThread* thread_ = nullptr;
};

}  // namespace pelsok::ui
