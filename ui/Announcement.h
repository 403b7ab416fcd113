#pragma once
// Words for a screen reader to speak at once, wherever the focus is. Where Qt
// has an announcement event (6.8 and later), it is sent; before that, this
// widget, which takes no room and draws nothing, has the notification role:
// its name becomes the words and it is hidden and shown again, which screen
// readers speak as a notification.

#include <QString>
#include <QWidget>

namespace chain {

class Announcement : public QWidget {
 public:
  explicit Announcement(QWidget* parent);

  void Say(const QString& words);
};

}  // namespace chain
