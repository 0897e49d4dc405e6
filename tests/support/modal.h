#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace testsupport {

// Runs f on the next modal window that opens (a dialog started with exec() blocks the test
// until something closes it).
inline void onNextModal(std::function<void(QWidget*)> f, int attempts = 200) {
  QTimer::singleShot(10, [f = std::move(f), attempts]() mutable {
    QWidget* w = QApplication::activeModalWidget();
    if (w && w->isVisible()) {
      f(w);
    } else if (attempts > 0) {
      onNextModal(std::move(f), attempts - 1);
    }
  });
}

// Runs a modal window's Execute (run) and calls f while it is shown; leaves nothing open.
template <typename Window, typename Run>
int whileShown(Window& w, Run run, std::function<void()> f) {
  onNextModal([&](QWidget*) {
    w.activateWindow();
    f();
    if (w.isVisible()) w.reject();
  });
  return run();
}

}  // namespace testsupport
