#include "ui/Accessible.h"

#include <QAccessibleWidget>
#include <QHash>
#include <functional>

#include "ui/QuantityBar.h"

namespace chain {

namespace {

using Maker = std::function<QAccessibleInterface*(QWidget*)>;

// The widgets and what makes their interfaces. None has a class of its own for
// Qt's meta-object system, so the factory is asked about the object itself.
QHash<const QObject*, Maker>& Makers() {
  static QHash<const QObject*, Maker> makers;
  return makers;
}

QAccessibleInterface* Factory(const QString& className, QObject* object) {
  (void)className;
  const auto it = Makers().constFind(object);
  if (it == Makers().constEnd() || !object->isWidgetType()) return nullptr;
  return (*it)(static_cast<QWidget*>(object));
}

void Use(QWidget& widget, const Maker& maker) {
  static const bool installed = [] {
    QAccessible::installFactory(Factory);
    return true;
  }();
  (void)installed;
  const bool known = Makers().contains(&widget);
  Makers().insert(&widget, maker);
  if (!known) {
    QObject::connect(&widget, &QObject::destroyed, [](QObject* gone) { Makers().remove(gone); });
  }
  // An interface Qt made before is replaced by the factory's on the next query.
  if (QAccessibleInterface* const made = QAccessible::queryAccessibleInterface(&widget)) {
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
  }
}

}  // namespace

void UseAccessibleRole(QWidget& widget, QAccessible::Role role) {
  Use(widget, [role](QWidget* w) { return new QAccessibleWidget(w, role); });
}

void UseAccessibleRoles(QWidget& window, QWidget& surface) {
  UseAccessibleRole(window, QAccessible::Window);
  UseAccessibleRole(surface, QAccessible::Animation);
}

void UseQuantityValue(QScrollBar& bar, double perUnit) {
  Use(bar, [perUnit](QWidget* w) { return new QuantityBar(static_cast<QScrollBar*>(w), perUnit); });
}

}  // namespace chain
