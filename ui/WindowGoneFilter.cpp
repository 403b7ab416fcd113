#include "ui/WindowGoneFilter.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <cstdint>

namespace chain {

WindowGoneFilter::WindowGoneFilter(const QWidget& window, void (*gone)())
    : window_(window), gone_(gone) {
  QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowGoneFilter::~WindowGoneFilter() {
  QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool WindowGoneFilter::nativeEventFilter(const QByteArray& eventType, void* message,
                                         qintptr* result) {
  (void)result;
  if (eventType != "xcb_generic_event_t" || !window_.testAttribute(Qt::WA_WState_Created)) {
    return false;
  }
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  const auto ownWindow = static_cast<xcb_window_t>(window_.winId());
  const std::uint8_t type = event->response_type & 0x7Fu;
  if (type == XCB_DESTROY_NOTIFY) {
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    if (destroyed->window == ownWindow) gone_();
  } else if (type == 0) {  // an error reply
    const auto* error = static_cast<const xcb_generic_error_t*>(message);
    if ((error->error_code == XCB_WINDOW || error->error_code == XCB_DRAWABLE) &&
        error->resource_id == ownWindow) {
      gone_();
    }
  }
  return false;
}

}  // namespace chain
