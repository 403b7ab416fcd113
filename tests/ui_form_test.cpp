// The window on the offscreen platform: layout, keyboard, the scroll bars' change
// notification, the handlers, the frame on the surface, and the ways the program ends.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <cmath>

#include "ui/Form1.h"
#include "ui_test_support.h"

namespace chain {
namespace {

const QSize kClientSize(kClientArea.width, kClientArea.height);

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.StartUp();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }
  Spring& Centre() { return form.springs(20); }
  Form1 form;
};

TEST_F(FormTest, ControlsSitWhereTheLayoutPutsThem) {
  struct Row {
    QWidget* widget;
    QRect geometry;
    QString caption;
  };
  const Row rows[] = {
      {form.Picture1, testing::PlaceOf("surface"), {}},
      {form.Command2, testing::PlaceOf("exit"), "E&xit"},
      {form.HScroll1, testing::PlaceOf("mass"), {}},
      {form.Label1[0], testing::PlaceOf("mass-label"), "Mass of Center:"},
      {form.Command1, testing::PlaceOf("nudge-left"), "Nudge Left"},
      {form.Command3, testing::PlaceOf("nudge-right"), "Nudge Right"},
      {form.HScroll2, testing::PlaceOf("scale"), {}},
      {form.Label1[1], testing::PlaceOf("scale-label"), "FEA Color Scale:"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.widget->geometry(), row.geometry) << row.caption.toStdString();
    EXPECT_TRUE(row.widget->isVisible());
    if (auto* button = qobject_cast<QPushButton*>(row.widget)) {
      EXPECT_EQ(button->text(), row.caption);
      EXPECT_FALSE(button->isDefault());
    }
    if (auto* label = qobject_cast<QLabel*>(row.widget)) {
      EXPECT_EQ(label->text(), row.caption);
      EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width())
          << "the caption fits its label";
    }
  }
  EXPECT_EQ(form.size(), kClientSize);
  EXPECT_EQ(form.windowTitle(), "Brenmo Quillet - Varnholt");
  EXPECT_EQ(form.HScroll1->accessibleName(), "Mass of Center");
  EXPECT_EQ(form.HScroll2->accessibleName(), "FEA Color Scale");
  EXPECT_FALSE(form.Picture1->accessibleName().isEmpty());
  // The layout is fixed: the window cannot be given another size.
  form.resize(900, 900);
  EXPECT_EQ(form.size(), kClientSize);
  EXPECT_EQ(form.Picture1->geometry(), testing::PlaceOf("surface"));
}

// A request to maximize the window is undone, so it keeps its one size; the
// other states stay as asked.
TEST_F(FormTest, MaximizeIsUndoneOtherStatesAreKept) {
  struct Row {
    Qt::WindowStates asked;
    Qt::WindowStates kept;
  };
  const Row rows[] = {
      {Qt::WindowMaximized, Qt::WindowNoState},
      {Qt::WindowMaximized | Qt::WindowActive, Qt::WindowActive},
      {Qt::WindowFullScreen, Qt::WindowFullScreen},
      {Qt::WindowMinimized, Qt::WindowMinimized},
  };
  for (const Row& row : rows) {
    form.setWindowState(row.asked);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.windowState(), row.kept) << row.asked.toInt();
    if (!(row.kept & Qt::WindowFullScreen)) {
      EXPECT_EQ(form.size(), kClientSize);
    }
    form.setWindowState(Qt::WindowNoState);
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form)) << row.asked.toInt();
  }
}

TEST_F(FormTest, ScrollBarSettings) {
  struct Row {
    QScrollBar* bar;
    int min, max, arrow, page, value;
  };
  for (const Row& r :
       {Row{form.HScroll1, 10, 20000, 500, 1000, 10}, Row{form.HScroll2, 1, 40, 1, 1, 5}}) {
    EXPECT_EQ(r.bar->orientation(), Qt::Horizontal);
    EXPECT_EQ(r.bar->minimum(), r.min);
    EXPECT_EQ(r.bar->maximum(), r.max);
    EXPECT_EQ(r.bar->singleStep(), r.arrow);
    EXPECT_EQ(r.bar->pageStep(), r.page);
    EXPECT_EQ(r.bar->value(), r.value);
    EXPECT_FALSE(r.bar->hasTracking());
  }
  // Setting the start values ran no handler.
  form.Pass();
  EXPECT_EQ(Centre().Mass, 1.0);
  for (int i = 0; i <= 40; ++i) EXPECT_EQ(form.springs(i).ColScale, 1.0);
}

TEST_F(FormTest, FocusStartsOnTheSurfaceAndTabCyclesTheControls) {
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), form.Picture1);
  const QWidget* cycle[] = {form.Command2, form.HScroll1, form.Command1,
                            form.Command3, form.HScroll2, form.Picture1};
  for (const QWidget* expected : cycle) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), expected) << expected->metaObject()->className();
  }
  for (QLabel* label : form.Label1) EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
}

TEST_F(FormTest, ScrollBarKeysRunTheWayTheyPoint) {
  QScrollBar* bar = form.HScroll1;
  bar->setFocus();
  struct Step {
    Qt::Key key;
    int value;
  };
  const Step steps[] = {{Qt::Key_Right, 510},     {Qt::Key_Down, 1010},   {Qt::Key_Left, 510},
                        {Qt::Key_PageDown, 1510}, {Qt::Key_Up, 1010},     {Qt::Key_PageUp, 10},
                        {Qt::Key_End, 20000},     {Qt::Key_Right, 20000}, {Qt::Key_Home, 10},
                        {Qt::Key_Left, 10}};
  for (const Step& s : steps) {
    QTest::keyClick(bar, s.key);
    EXPECT_EQ(bar->value(), s.value) << QKeySequence(s.key).toString().toStdString();
    EXPECT_EQ(Centre().Mass, s.value / 10.0);
  }
}

// Where the parts of a scroll bar are, as the style draws them.
QRect PartOf(QScrollBar* bar, QStyle::SubControl part) {
  QStyleOptionSlider opt;
  opt.initFrom(bar);
  opt.subControls = QStyle::SC_All;
  opt.orientation = bar->orientation();
  opt.minimum = bar->minimum();
  opt.maximum = bar->maximum();
  opt.sliderPosition = bar->sliderPosition();
  opt.sliderValue = bar->value();
  opt.singleStep = bar->singleStep();
  opt.pageStep = bar->pageStep();
  return bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar);
}

TEST_F(FormTest, ScrollBarsReportChangesOnlyWhenTheUserIsDone) {
  QScrollBar* bar = form.HScroll1;
  QSignalSpy changes(bar, &QScrollBar::valueChanged);

  QTest::mouseClick(bar, Qt::LeftButton, {}, PartOf(bar, QStyle::SC_ScrollBarAddLine).center());
  EXPECT_EQ(bar->value(), 510);
  EXPECT_EQ(Centre().Mass, 51.0) << "one arrow click";

  QTest::mouseClick(bar, Qt::LeftButton, {}, PartOf(bar, QStyle::SC_ScrollBarAddPage).center());
  EXPECT_EQ(bar->value(), 1510);
  EXPECT_EQ(Centre().Mass, 151.0) << "one click in the track";
  EXPECT_EQ(changes.count(), 2);

  // A click on the thumb without moving changes nothing.
  const QPoint thumb = PartOf(bar, QStyle::SC_ScrollBarSlider).center();
  QTest::mouseClick(bar, Qt::LeftButton, {}, thumb);
  EXPECT_EQ(changes.count(), 2);

  // A drag changes nothing until the release, then once.
  QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
  for (int dx = 10; dx <= 120; dx += 10) QTest::mouseMove(bar, thumb + QPoint(dx, 0));
  EXPECT_EQ(changes.count(), 2);
  EXPECT_EQ(Centre().Mass, 151.0);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb + QPoint(120, 0));
  EXPECT_EQ(changes.count(), 3);
  EXPECT_GT(bar->value(), 1510);
  EXPECT_EQ(Centre().Mass, bar->value() / 10.0);

  // The left arrow of the colour scale: every node, ends included.
  QTest::mouseClick(form.HScroll2, Qt::LeftButton, {},
                    PartOf(form.HScroll2, QStyle::SC_ScrollBarSubLine).center());
  for (int i = 0; i <= 40; ++i) EXPECT_EQ(form.springs(i).ColScale, 0.01);
  QTest::mouseClick(form.HScroll2, Qt::LeftButton, {},
                    PartOf(form.HScroll2, QStyle::SC_ScrollBarAddLine).center());
  QTest::mouseClick(form.HScroll2, Qt::LeftButton, {},
                    PartOf(form.HScroll2, QStyle::SC_ScrollBarAddLine).center());
  for (int i = 0; i <= 40; ++i) EXPECT_EQ(form.springs(i).ColScale, 0.015);
}

TEST_F(FormTest, NudgesSetTheCentreVelocityAndTouchNothingElse) {
  form.Pass();
  form.springs(20).Vx = 30;
  const double vy = Centre().Vy;
  QTest::mouseClick(form.Command1, Qt::LeftButton);
  EXPECT_EQ(Centre().Vx, -50.0);
  EXPECT_EQ(Centre().Vy, vy);
  QTest::mouseClick(form.Command3, Qt::LeftButton);
  QTest::mouseClick(form.Command3, Qt::LeftButton);
  EXPECT_EQ(Centre().Vx, 50.0) << "replaced, never added";
  for (int i = 0; i <= 40; ++i) {
    if (i == 20) continue;
    EXPECT_EQ(form.springs(i).Vx, 0.0) << i;
    EXPECT_EQ(form.springs(i).Mass, 1.0) << i;
  }
  const double x = Centre().xPos;
  form.Pass();
  EXPECT_NEAR(Centre().xPos - x, 14.97, 0.5) << "the nudge acts from the next pass on";
}

TEST_F(FormTest, MassBarEndsAndTheCentreCircle) {
  form.HScroll1->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(Centre().Mass, 2000.0);
  form.HScroll1->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(Centre().Mass, 1.0);
  for (int i = 0; i < 40; ++i) form.HScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(form.HScroll1->value(), 20000) << "the last step is cut at the maximum";
  EXPECT_EQ(form.springs(19).Mass, 1.0);
}

// Lines and circles are antialiased: look for a pixel of the wanted hue within a couple
// of pixels of a point given in twips.
enum class Hue { kRed, kBlue };

bool Is(QRgb c, Hue hue) {
  const int r = qRed(c), g = qGreen(c), b = qBlue(c);
  switch (hue) {
    case Hue::kRed:
      return r > 120 && g < 60 && b < 60;
    case Hue::kBlue:
      return b > 120 && r < 60 && g < 60;
  }
  return false;
}

bool HueNear(Picture1& surface, double xTwips, double yTwips, Hue hue) {
  const QImage& image = surface.Image();
  const qreal dpr = image.devicePixelRatio();
  const int cx = static_cast<int>(xTwips / 15 * dpr), cy = static_cast<int>(yTwips / 15 * dpr);
  for (int dy = -2; dy <= 2; ++dy) {
    for (int dx = -2; dx <= 2; ++dx) {
      const QPoint p(cx + dx, cy + dy);
      if (image.rect().contains(p) && Is(image.pixel(p), hue)) return true;
    }
  }
  return false;
}

TEST_F(FormTest, AFrameShowsBlueEndsRedNodesOnTheBackground) {
  form.HScroll1->triggerAction(QAbstractSlider::SliderToMaximum);  // a big centre circle
  form.Pass();
  Picture1& surface = *form.Picture1;
  EXPECT_TRUE(HueNear(surface, 200, 2000 - 20, Hue::kBlue)) << "top of node 0's circle";
  EXPECT_TRUE(HueNear(surface, 8200, 2000 - 20, Hue::kBlue));
  const Spring& c = Centre();
  EXPECT_TRUE(HueNear(surface, c.xPos, c.yPos - 60, Hue::kRed)) << "the centre circle, radius 60";
  EXPECT_FALSE(HueNear(surface, c.xPos, c.yPos - 60, Hue::kBlue));
  EXPECT_EQ(surface.Image().pixel(300, 400), Picture1::kBackground);
  EXPECT_EQ(surface.Image().pixel(10, 10), Picture1::kBackground);
  // No trace of an earlier frame: move the chain far, draw, and the old place is clear.
  const double oldY = c.yPos;
  for (int i = 1; i < 40; ++i) form.springs(i).yPos += 3000;
  form.Pass();
  EXPECT_FALSE(HueNear(surface, c.xPos, oldY - 60, Hue::kRed));
  EXPECT_TRUE(HueNear(surface, c.xPos, c.yPos - 60, Hue::kRed));
}

TEST_F(FormTest, DivergedChainKeepsDrawingAndTheControlsWork) {
  form.HScroll1->triggerAction(QAbstractSlider::SliderToMaximum);
  for (int pass = 0; pass < 10000; ++pass) form.Pass();
  bool diverged = false;
  for (int i = 1; i < 40; ++i) diverged |= !(std::fabs(form.springs(i).yPos) < 1e100);
  EXPECT_TRUE(diverged) << "a centre mass of 2000 makes the step diverge";
  QTest::mouseClick(form.Command3, Qt::LeftButton);
  EXPECT_EQ(Centre().Vx, 50.0);
  form.Pass();
  EXPECT_EXIT(QTest::mouseClick(form.Command2, Qt::LeftButton), ::testing::ExitedWithCode(0), "");
}

using FormDeathTest = FormTest;

TEST_F(FormDeathTest, ExitAltXAndEveryCloseRequestEndTheProcess) {
  EXPECT_EXIT(QTest::mouseClick(form.Command2, Qt::LeftButton), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        QTest::keyClick(&form, Qt::Key_X, Qt::AltModifier);
        for (int i = 0; i < 100; ++i) form.Pass();  // the mnemonic click comes a little later
        QTest::qWait(500);
        std::fprintf(stderr, "still running");
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(form.close(), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        QCloseEvent close;
        QApplication::sendEvent(&form, &close);
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace chain
