// One archive task of the viewer (extract, test) on a thread of its own, so
// that the viewer and the main window keep answering. The library's
// progress arrives as Progressed signals on the owner's thread; Cancel asks
// the library to stop at its next member or block. The task's errors end up
// in Error(), never in Qt's frames.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "app/ui/RunWorker.h"

class QThread;

namespace pelsok::ui {

class TTaskWorker : public QObject {
  Q_OBJECT
 public:
  explicit TTaskWorker(std::function<void()> task, QObject* parent = nullptr);
  ~TTaskWorker() override;

  void Start();
  void Cancel() { cancel_ = true; }
  bool CancelRequested() const { return cancel_; }
  // Blocks until the thread has ended.
  void Wait();
  // Valid after Finished: the message of the task's error, if it raised one.
  const std::optional<std::string>& Error() const { return error_; }

 signals:
  void Progressed(const pelsok::ui::TRunProgressInfo& info);
  void Finished();

 private:
  void Body();

  std::function<void()> task_;
  std::atomic<bool> cancel_{false};
  std::optional<std::string> error_;
  QThread* thread_ = nullptr;
};

}  // namespace pelsok::ui
