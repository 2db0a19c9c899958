// Answering modal windows in tests: the action runs inside the modal loop as
// soon as a modal widget is active.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

namespace apptest {

// Parent of the waiting timers; owned by the application object.
inline QObject& WatchRoot() {
  static QObject* root = new QObject(qApp);
  return *root;
}

// Stops every wait still pending (the test runner calls it after each test,
// so no wait outlives its test).
inline void CancelModalWatches() {
  const auto timers = WatchRoot().findChildren<QTimer*>();
  for (QTimer* t : timers) delete t;
}

inline void WhenModal(std::function<void(QWidget*)> action) {
  auto* timer = new QTimer(&WatchRoot());
  // Runs go on a worker thread, so the modal may come a while later.
  auto since = std::make_shared<QElapsedTimer>();
  since->start();
  QObject::connect(timer, &QTimer::timeout, [timer, action, since] {
    QWidget* w = QApplication::activeModalWidget();
    if (!w && since->elapsed() < 30000) return;
    timer->stop();
    timer->deleteLater();
    if (w) action(w);
  });
  timer->start(1);
}

// Runs the event loop until idle() is true, or at most timeoutMs.
inline bool SpinUntil(const std::function<bool()>& idle, int timeoutMs = 60000) {
  QElapsedTimer t;
  t.start();
  while (!idle()) {
    if (t.elapsed() > timeoutMs) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// What an error message box showed.
struct ShownMessage {
  bool shown = false;
  std::string title;
  std::string text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  std::string informative;  // what to do, below the message
};

// Closes the next message box with OK and records it.
inline std::shared_ptr<ShownMessage> AcceptNextMessage() {
  auto msg = std::make_shared<ShownMessage>();
  WhenModal([msg](QWidget* w) {
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      msg->shown = true;
      msg->title = box->windowTitle().toStdString();
      msg->text = box->text().toStdString();
      msg->icon = box->icon();
      msg->informative = box->informativeText().toStdString();
    }
    w->close();
  });
  return msg;
}

}  // namespace apptest
