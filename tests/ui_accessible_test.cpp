// What assistive technology learns from the window in-process: roles, the
// bars' values and descriptions, the labels' names, the surface's description,
// the announcements, and the focus frames.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QElapsedTimer>
#include <QTest>
#include <cmath>
#include <functional>
#include <vector>

#include "ui/FocusFrame.h"
#include "ui_test_support.h"

namespace chain {
namespace {

QAccessible::Role RoleOf(QWidget* w) { return QAccessible::queryAccessibleInterface(w)->role(); }

TEST(AccessibleTest, RolesAndNoDescriptionOnTheBars) {
  auto form = testing::StartedForm();
  EXPECT_EQ(RoleOf(form.get()), QAccessible::Window);
  EXPECT_EQ(RoleOf(form->Picture1), QAccessible::Animation);
  EXPECT_EQ(RoleOf(form->HScroll1), QAccessible::ScrollBar);
  // A bar says its value; a description changed at each step too would be
  // one more event each for a screen reader to queue.
  for (QScrollBar* bar : {form->HScroll1, form->HScroll2}) {
    bar->setValue(bar->value() + bar->singleStep());
    EXPECT_EQ(bar->accessibleDescription(), "");
  }
}

TEST(AccessibleTest, BarsReadAndSetTheirQuantity) {
  auto form = testing::StartedForm();
  struct Row {
    QScrollBar* bar;
    double minimum, maximum, step, start;
    double set;    // through the value interface
    int barValue;  // what the bar then holds
  };
  const Row rows[] = {{form->HScroll1, 1, 2000, 50, 1, 51, 510},
                      {form->HScroll1, 1, 2000, 50, 51, 101.04, 1010},
                      {form->HScroll2, 1, 40, 1, 5, 6, 6}};
  for (const Row& row : rows) {
    QAccessibleValueInterface* value =
        QAccessible::queryAccessibleInterface(row.bar)->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->minimumValue().toDouble(), row.minimum);
    EXPECT_EQ(value->maximumValue().toDouble(), row.maximum);
    EXPECT_EQ(value->minimumStepSize().toDouble(), row.step);
    EXPECT_EQ(value->currentValue().toDouble(), row.start);
    value->setCurrentValue(row.set);
    EXPECT_EQ(row.bar->value(), row.barValue);
  }
  EXPECT_EQ(form->springs(20).Mass, 101);
  // What is not a number sets nothing.
  QAccessible::queryAccessibleInterface(form->HScroll2)->valueInterface()->setCurrentValue("six");
  EXPECT_EQ(form->HScroll2->value(), 6);
}

TEST(AccessibleTest, LabelsAreNamedWithoutTheirColon) {
  auto form = testing::StartedForm();
  for (QLabel* label : form->Label1) {
    EXPECT_TRUE(label->text().endsWith(':'));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name) + ':',
              label->text());
  }
}

// The words over the loop's passes. (Qt sends accessibility events only to a
// platform that takes them, which the offscreen one does not: the end-to-end
// tests hear them.)
TEST(AccessibleTest, WordsFollowThePassesAndTheChanges) {
  auto form = testing::StartedForm();
  QAccessibleInterface* notification = nullptr;
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(form.get());
  for (int i = 0; i < window->childCount(); ++i) {
    if (window->child(i)->role() == QAccessible::Notification) notification = window->child(i);
  }
  ASSERT_NE(notification, nullptr);
  const auto surface = [&] { return form->Picture1->accessibleDescription(); };
  const auto said = [&] { return notification->text(QAccessible::Name); };
  // Passes for up to `ms` of wall-clock time, until `done`.
  const auto run = [&](int ms, const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms && !done()) form->Pass();
    return done();
  };
  // The news is the notification's to say while the focus is off the surface.
  form->Command2->setFocus();
  // Never the words of a chain that has not yet started to fall.
  form->Pass();
  EXPECT_EQ(surface(), "Falling, centre mass 1, colour scale 400 until the bar is moved");
  EXPECT_EQ(said(), "chain of 41 masses falling");
  EXPECT_TRUE(run(60000, [&] { return said().startsWith("at rest"); }));
  form->Command3_Click();
  form->Pass();
  EXPECT_EQ(said(), "swinging after a nudge to the right") << "in the pass after the nudge";
  EXPECT_TRUE(run(3000, [&] {
    return surface().startsWith("Swinging after a nudge to the right");
  })) << surface().toStdString();
  // Keys on a bar: once they are still, a run of steps is summed up.
  form->HScroll1->setFocus();
  for (int i = 0; i < 3; ++i) QTest::keyClick(form->HScroll1, Qt::Key_Right);
  EXPECT_TRUE(run(3000, [&] { return said() == "centre mass 151"; })) << said().toStdString();
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
  // Where Qt sends the focused surface's new description with it, the news,
  // which begins it, is not said a second time.
  form->Picture1->setFocus();
  form->Command1_Click();
  form->Pass();
  EXPECT_TRUE(surface().startsWith("Swinging after a nudge to the left"))
      << surface().toStdString();
  EXPECT_EQ(said(), "centre mass 151");
#endif
}

// A focused control shows a frame on its outermost pixels; the picture within,
// and the surface's image, stay as they are.
TEST(AccessibleTest, FocusShowsAFrame) {
  auto form = testing::StartedForm();
  for (int i = 0; i < 50; ++i) form->Pass();
  for (QWidget* w : std::vector<QWidget*>{form->Picture1, form->HScroll1, form->HScroll2}) {
    form->Command2->setFocus();
    QCoreApplication::processEvents();
    const QImage before = w->grab().toImage();
    const QImage frame = form->Picture1->Image().copy();
    w->setFocus();
    QCoreApplication::processEvents();
    const QImage after = w->grab().toImage();
    EXPECT_TRUE(form->Picture1->Image() == frame);
    const int f = static_cast<int>(std::ceil(kFocusFrameWidth * after.devicePixelRatio()));
    int edge = 0;
    for (int y = 0; y < after.height(); ++y) {
      for (int x = 0; x < after.width(); ++x) {
        const bool outer = x < f || y < f || x >= after.width() - f || y >= after.height() - f;
        if (outer) {
          edge += after.pixel(x, y) != before.pixel(x, y) ? 1 : 0;
        } else if (w == form->Picture1) {
          ASSERT_EQ(after.pixel(x, y), before.pixel(x, y)) << x << "," << y;
        }
      }
    }
    EXPECT_GT(edge, after.width()) << w->accessibleName().toStdString();
  }
}

}  // namespace
}  // namespace chain
