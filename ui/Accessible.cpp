#include "ui/Accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>

namespace chain {

namespace {

// The widgets and their roles. Neither has a class of its own for Qt's
// meta-object system, so the factory is asked about the object itself.
QHash<const QObject*, QAccessible::Role>& Roles() {
  static QHash<const QObject*, QAccessible::Role> roles;
  return roles;
}

QAccessibleInterface* RoleFactory(const QString& className, QObject* object) {
  (void)className;
  const auto it = Roles().constFind(object);
  if (it == Roles().constEnd() || !object->isWidgetType()) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), *it);
}

void Use(QWidget& widget, QAccessible::Role role) {
  Roles().insert(&widget, role);
  QObject::connect(&widget, &QObject::destroyed, [](QObject* gone) { Roles().remove(gone); });
  QAccessibleInterface* const made = QAccessible::queryAccessibleInterface(&widget);
  if (made != nullptr && made->role() != role) {
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
  }
}

}  // namespace

void UseAccessibleRoles(QWidget& window, QWidget& surface) {
  static const bool installed = [] {
    QAccessible::installFactory(RoleFactory);
    return true;
  }();
  (void)installed;
  Use(window, QAccessible::Window);
  Use(surface, QAccessible::Animation);
}

}  // namespace chain
