#pragma once
// Holds back Qt's messages while a start-up step runs, so that a failure the
// program recognises can be told in plain words instead of Qt's own. What is
// held is passed on, in order, when the capture ends, unless it is discarded.

#include <QString>
#include <QtGlobal>
#include <vector>

namespace chain {

struct CapturedMessage {
  QtMsgType type;
  QString category;
  QString text;
};

class MessageCapture {
 public:
  // Called with what is held so far and the text of a fatal message; it may
  // end the process. When it returns, everything goes on to the handler that
  // was installed before, which ends the process as Qt does.
  using FatalHook = void (*)(const std::vector<CapturedMessage>& held, const QString& fatal);

  explicit MessageCapture(FatalHook onFatal = nullptr);
  ~MessageCapture();
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;
  MessageCapture(MessageCapture&&) = delete;
  MessageCapture& operator=(MessageCapture&&) = delete;

  // Drops what is held so far.
  void Discard();
};

}  // namespace chain
