// What assistive technology learns from the window in-process: roles, the
// bars' descriptions, the surface's description and how often it is announced,
// and the focus frames.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QElapsedTimer>
#include <QTest>
#include <cmath>
#include <vector>

#include "ui/FocusFrame.h"
#include "ui_test_support.h"

namespace chain {
namespace {

QAccessible::Role RoleOf(QWidget* w) { return QAccessible::queryAccessibleInterface(w)->role(); }

TEST(AccessibleTest, RolesAndBarDescriptionsFollowTheValues) {
  auto form = testing::StartedForm();
  EXPECT_EQ(RoleOf(form.get()), QAccessible::Window);
  EXPECT_EQ(RoleOf(form->Picture1), QAccessible::Animation);
  EXPECT_EQ(RoleOf(form->HScroll1), QAccessible::ScrollBar);
  struct Row {
    QScrollBar* bar;
    int value;
    const char* description;
  };
  const Row rows[] = {{form->HScroll1, -1, "centre mass 1"},
                      {form->HScroll2, -1, "colour scale 5 of 40"},
                      {form->HScroll1, 510, "centre mass 51"},
                      {form->HScroll1, 20000, "centre mass 2000"},
                      {form->HScroll2, 6, "colour scale 6 of 40"}};
  for (const Row& row : rows) {
    if (row.value >= 0) row.bar->setValue(row.value);
    EXPECT_EQ(row.bar->accessibleDescription(), row.description);
  }
}

// The description over the loop's passes. (Qt sends accessibility events only
// to a platform that takes them, which the offscreen one does not: the
// end-to-end test sees them arrive.)
TEST(AccessibleTest, TheSurfaceIsDescribedAtMostTwiceASecond) {
  auto form = testing::StartedForm();
  std::vector<QString> seen{form->Picture1->accessibleDescription()};
  EXPECT_TRUE(
      seen[0].startsWith("Chain of 41 masses between two fixed ends, at rest, not sagging"));
  // Passes for `ms` of wall-clock time, or until the words hold `text`.
  const auto run = [&](int ms, const QString& text) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms && !seen.back().contains(text)) {
      form->Pass();
      const QString now = form->Picture1->accessibleDescription();
      if (now != seen.back()) seen.push_back(now);
    }
    return clock.elapsed();
  };
  const qint64 falling = run(1600, "never");  // the chain falls and swings
  EXPECT_GE(seen.size(), 2u);
  EXPECT_LE(seen.size(), static_cast<std::size_t>(2 + 2 * falling / 1000));
  form->Command3_Click();
  run(3000, "after a nudge to the right");
  EXPECT_TRUE(seen.back().contains("swinging after a nudge to the right, sagging about"))
      << seen.back().toStdString();
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
