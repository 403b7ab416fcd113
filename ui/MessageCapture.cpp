#include "ui/MessageCapture.h"

#include <QMessageLogContext>
#include <cassert>
#include <mutex>
#include <utility>

namespace chain {

namespace {

// One capture at a time; Qt's handler is a plain function.
struct Held {
  std::mutex mutex;
  QtMessageHandler previous = nullptr;
  MessageCapture::FatalHook onFatal = nullptr;
  std::vector<CapturedMessage> messages;
  bool active = false;
};

Held& State() {
  static Held held;
  return held;
}

void PassOn(QtMessageHandler to, const std::vector<CapturedMessage>& messages) {
  for (const CapturedMessage& m : messages) {
    const QByteArray category = m.category.toUtf8();
    const QMessageLogContext context(nullptr, 0, nullptr, category.constData());
    to(m.type, context, m.text);
  }
}

void Handler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  Held& held = State();
  std::unique_lock lock(held.mutex);
  if (type != QtFatalMsg) {
    held.messages.push_back({type, QString::fromUtf8(context.category), text});
    return;
  }
  // Fatal: the hook may end the process here; otherwise Qt's way, with
  // everything that came before it.
  std::vector<CapturedMessage> messages = std::exchange(held.messages, {});
  const MessageCapture::FatalHook onFatal = held.onFatal;
  const QtMessageHandler previous = held.previous;
  lock.unlock();
  if (onFatal != nullptr) onFatal(messages, text);
  PassOn(previous, messages);
  previous(type, context, text);
}

}  // namespace

MessageCapture::MessageCapture(FatalHook onFatal) {
  Held& held = State();
  const std::lock_guard lock(held.mutex);
  assert(!held.active && "one message capture at a time");
  held.active = true;
  held.onFatal = onFatal;
  held.messages.clear();
  held.previous = qInstallMessageHandler(Handler);
}

MessageCapture::~MessageCapture() {
  Held& held = State();
  std::vector<CapturedMessage> messages;
  QtMessageHandler previous = nullptr;
  {
    const std::lock_guard lock(held.mutex);
    qInstallMessageHandler(held.previous);
    previous = held.previous;
    messages = std::exchange(held.messages, {});
    held.active = false;
  }
  PassOn(previous, messages);
}

void MessageCapture::Discard() {
  Held& held = State();
  const std::lock_guard lock(held.mutex);
  held.messages.clear();
}

}  // namespace chain
