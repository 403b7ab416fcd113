#include "ui/QuantityBar.h"

#include <cmath>

namespace chain {

QuantityBar::QuantityBar(QScrollBar* bar, double perUnit)
    : QAccessibleWidget(bar, QAccessible::ScrollBar), perUnit_(perUnit) {}

void* QuantityBar::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
#if QT_VERSION >= QT_VERSION_CHECK(6, 11, 0)
  if (type == QAccessible::AttributesInterface) {
    return static_cast<QAccessibleAttributesInterface*>(this);
  }
#endif
  return QAccessibleWidget::interface_cast(type);
}

QString QuantityBar::text(QAccessible::Text t) const {
  if (t == QAccessible::Value) return QString::number(Quantity(Bar()->value()));
  return QAccessibleWidget::text(t);
}

QVariant QuantityBar::currentValue() const { return Quantity(Bar()->value()); }

void QuantityBar::setCurrentValue(const QVariant& value) {
  bool ok = false;
  const double quantity = value.toDouble(&ok);
  const double steps = quantity * perUnit_;
  // A value that is no number, or lies far off the bar, sets nothing.
  if (!ok || !std::isfinite(steps) || std::fabs(steps) > 1e9) return;
  Bar()->setValue(static_cast<int>(std::lround(steps)));
}

QVariant QuantityBar::maximumValue() const { return Quantity(Bar()->maximum()); }
QVariant QuantityBar::minimumValue() const { return Quantity(Bar()->minimum()); }
QVariant QuantityBar::minimumStepSize() const { return Quantity(Bar()->singleStep()); }

#if QT_VERSION >= QT_VERSION_CHECK(6, 11, 0)
QList<QAccessible::Attribute> QuantityBar::attributeKeys() const {
  return {QAccessible::Attribute::Orientation};
}

QVariant QuantityBar::attributeValue(QAccessible::Attribute key) const {
  if (key != QAccessible::Attribute::Orientation) return {};
  return QVariant::fromValue(Bar()->orientation());
}
#endif

QScrollBar* QuantityBar::Bar() const { return static_cast<QScrollBar*>(widget()); }

double QuantityBar::Quantity(int barValue) const { return barValue / perUnit_; }

}  // namespace chain
