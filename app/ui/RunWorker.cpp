#include "app/ui/RunWorker.h"

namespace pelsok::ui {

TRunWorker::TRunWorker(app::TRunState& state, ArcWnd wnd, app::TRunInput input,
                       std::function<bool()> confirm, QObject* parent)
    : TTaskWorker([this] { Compress(); }, parent),
      state_(state),
      wnd_(wnd),
      input_(std::move(input)),
      confirm_(std::move(confirm)) {}

TRunWorker::~TRunWorker() {
  // The run reads and writes this object's members: it has to end before
  // they go, not only before the base's destructor.
  Cancel();
  Wait();
}

void TRunWorker::Compress() {
  app::TCompressRun run(state_, wnd_);
  result_ = run.Run(input_, [this] {
    bool yes = false;
    if (CancelRequested()) return false;
    QMetaObject::invokeMethod(
        this, [this, &yes] { yes = confirm_(); }, Qt::BlockingQueuedConnection);
    return yes;
  });
}

}  // namespace pelsok::ui
