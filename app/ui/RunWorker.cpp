#include "app/ui/RunWorker.h"

#include <QThread>
#include <exception>

#include "backends/ProgressHook.h"

namespace pelsok::ui {

TRunWorker::TRunWorker(app::TRunState& state, ArcWnd wnd, app::TRunInput input,
                       std::function<bool()> confirm, QObject* parent)
    : QObject(parent),
      state_(state),
      wnd_(wnd),
      input_(std::move(input)),
      confirm_(std::move(confirm)) {}

TRunWorker::~TRunWorker() {
  Cancel();
  Wait();
}

void TRunWorker::Start() {
  thread_ = QThread::create([this] { Body(); });
  connect(thread_, &QThread::finished, this, &TRunWorker::Finished, Qt::QueuedConnection);
  thread_->start();
}

void TRunWorker::Wait() {
  if (thread_ == nullptr) return;
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
}

void TRunWorker::Body() {
  // Nothing may unwind into Qt's frames: every error ends here.
  try {
    const TProgressScope scope([this](const ArcProgress& p) {
      TRunProgressInfo info{p.filesDone, p.filesTotal, p.bytesDone, p.bytesTotal,
                            QString::fromUtf8(p.current)};
      QMetaObject::invokeMethod(
          this, [this, info] { emit Progressed(info); }, Qt::QueuedConnection);
      return !cancel_.load();
    });
    app::TCompressRun run(state_, wnd_);
    result_ = run.Run(input_, [this] {
      bool yes = false;
      if (cancel_) return false;
      QMetaObject::invokeMethod(
          this, [this, &yes] { yes = confirm_(); }, Qt::BlockingQueuedConnection);
      return yes;
    });
  } catch (const std::exception& e) {
    error_ = e.what();
  } catch (...) {
    error_ = "予期しないエラーが起きました。";
  }
}

}  // namespace pelsok::ui
