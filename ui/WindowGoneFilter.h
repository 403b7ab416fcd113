#pragma once
// Notices the window being destroyed from outside (an X client killing it, not
// a close request): the loop would otherwise go on with nothing on the screen.

#include <QAbstractNativeEventFilter>
#include <QWidget>

namespace chain {

class WindowGoneFilter : public QAbstractNativeEventFilter {
 public:
  // Calls `gone` when `window`'s X window is destroyed or no longer exists.
  // Installed on the application for as long as the filter lives.
  WindowGoneFilter(const QWidget& window, void (*gone)());
  ~WindowGoneFilter() override;
  WindowGoneFilter(const WindowGoneFilter&) = delete;
  WindowGoneFilter& operator=(const WindowGoneFilter&) = delete;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  const QWidget& window_;
  void (*gone_)();
};

}  // namespace chain
