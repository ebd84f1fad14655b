// For the start-up probes: closes every window as soon as the first one is
// exposed, so that a process's run time is its start-up to a shown window,
// plus closing it.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWindow>

class CloseWhenShown : public QObject {
 public:
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override {
    if (AEvent->type() == QEvent::Expose && !closing_) {
      auto* window = qobject_cast<QWindow*>(AWatched);
      if (window != nullptr && window->isExposed()) {
        closing_ = true;
        QMetaObject::invokeMethod(qApp, &QApplication::closeAllWindows, Qt::QueuedConnection);
      }
    }
    return false;
  }

 private:
  bool closing_ = false;
};
