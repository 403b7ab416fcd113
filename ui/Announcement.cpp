#include "ui/Announcement.h"

#include <QAccessible>

#include "ui/Accessible.h"

namespace chain {

Announcement::Announcement(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setGeometry(0, 0, 0, 0);
  UseAccessibleRole(*this, QAccessible::Notification);
}

void Announcement::Say(const QString& words) {
  setAccessibleName(words);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
  QAccessibleAnnouncementEvent event(this, words);
  QAccessible::updateAccessibility(&event);
#else
  hide();
  show();
#endif
}

}  // namespace chain
