// One Compress run on a thread of its own, so the window keeps answering.
// The deletion confirmation is asked on the window's thread while the run
// waits; the thread, progress, cancel and errors are TTaskWorker's.
#pragma once

#include <functional>

#include "app/run/CompressRun.h"
#include "app/run/RunState.h"
#include "app/ui/TaskWorker.h"

namespace pelsok::ui {

class TRunWorker : public TTaskWorker {
  Q_OBJECT
 public:
  // confirm runs on the thread that owns this object (the window's).
  TRunWorker(app::TRunState& state, ArcWnd wnd, app::TRunInput input, std::function<bool()> confirm,
             QObject* parent = nullptr);
  ~TRunWorker() override;

  // Valid after Finished: the run's result.
  const app::TRunResult& Result() const { return result_; }

 private:
  void Compress();

  app::TRunState& state_;
  ArcWnd wnd_;
  app::TRunInput input_;
  std::function<bool()> confirm_;
  app::TRunResult result_;
};

}  // namespace pelsok::ui
