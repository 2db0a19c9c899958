#include "app/ui/TaskWorker.h"

#include <QThread>
#include <exception>

#include "backends/ProgressHook.h"

namespace pelsok::ui {

TTaskWorker::TTaskWorker(std::function<void()> task, QObject* parent)
    : QObject(parent), task_(std::move(task)) {}

TTaskWorker::~TTaskWorker() {
  Cancel();
  Wait();
}

void TTaskWorker::Start() {
  thread_ = QThread::create([this] { Body(); });
  connect(thread_, &QThread::finished, this, &TTaskWorker::Finished, Qt::QueuedConnection);
  thread_->start();
}

void TTaskWorker::Wait() {
  if (thread_ == nullptr) return;
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
}

void TTaskWorker::Body() {
  // Nothing may unwind into Qt's frames: every error ends here.
  try {
    const TProgressScope scope([this](const ArcProgress& p) {
      TRunProgressInfo info{p.filesDone, p.filesTotal, p.bytesDone, p.bytesTotal,
                            QString::fromUtf8(p.current)};
      QMetaObject::invokeMethod(
          this, [this, info] { emit Progressed(info); }, Qt::QueuedConnection);
      return !cancel_.load();
    });
    task_();
  } catch (const std::exception& e) {
    error_ = e.what();
  } catch (...) {
    error_ = "予期しないエラーが起きました。";
  }
}

}  // namespace pelsok::ui
