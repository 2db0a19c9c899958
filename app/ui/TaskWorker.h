// One task on a thread of its own, so that the window and the viewer keep
// answering: the viewer's extract, test, search and manifest check, and the
// window's run (TRunWorker). The library's progress arrives as Progressed
// signals on the owner's thread; Cancel asks the library to stop at its next
// member or block. The task's errors end up in Error(), never in Qt's frames.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>
#include <string>

class QThread;

namespace pelsok::ui {

struct TRunProgressInfo {
  quint64 FilesDone = 0;
  quint64 FilesTotal = 0;
  quint64 BytesDone = 0;
  quint64 BytesTotal = 0;
  QString Current;
};

class TTaskWorker : public QObject {
  Q_OBJECT
 public:
  explicit TTaskWorker(std::function<void()> task, QObject* parent = nullptr);
  ~TTaskWorker() override;

  void Start();
  void Cancel() { cancel_ = true; }
  bool CancelRequested() const { return cancel_; }
  // Blocks until the thread has ended (after Finished was queued).
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
