#pragma once
// A scroll bar as assistive technology sees it, whose value is the quantity
// the bar sets rather than the bar's own steps: the bar's value divided by a
// fixed number of steps per unit. Setting the value sets the bar. Where Qt
// tells orientation as an attribute (6.11 on: 6.8 has the attributes but no
// orientation among them), the bar's is told, as Qt's own scroll bars tell
// theirs.

#include <QAccessibleWidget>
#include <QScrollBar>

namespace chain {

class QuantityBar : public QAccessibleWidget,
#if QT_VERSION >= QT_VERSION_CHECK(6, 11, 0)
                    public QAccessibleAttributesInterface,
#endif
                    public QAccessibleValueInterface {
 public:
  QuantityBar(QScrollBar* bar, double perUnit);

  void* interface_cast(QAccessible::InterfaceType type) override;
  [[nodiscard]] QString text(QAccessible::Text t) const override;

  [[nodiscard]] QVariant currentValue() const override;
  void setCurrentValue(const QVariant& value) override;
  [[nodiscard]] QVariant maximumValue() const override;
  [[nodiscard]] QVariant minimumValue() const override;
  [[nodiscard]] QVariant minimumStepSize() const override;

#if QT_VERSION >= QT_VERSION_CHECK(6, 11, 0)
  [[nodiscard]] QList<QAccessible::Attribute> attributeKeys() const override;
  [[nodiscard]] QVariant attributeValue(QAccessible::Attribute key) const override;
#endif

 private:
  [[nodiscard]] QScrollBar* Bar() const;
  [[nodiscard]] double Quantity(int barValue) const;

  double perUnit_;
};

}  // namespace chain
