// The window driven through its event processing as the running program meets
// it: events queued during a pass, what the platform reports about the window,
// the wheel, and the whole frame read back pixel by pixel.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ui/Form1.h"
#include "ui_test_support.h"

namespace chain {
namespace {

using testing::PartOf;
using testing::StartedForm;

// What a child prints when the process went on after the ending action.
::testing::Matcher<const std::string&> NotStillRunning() {
  return ::testing::Not(::testing::HasSubstr("still running"));
}

// Passes as the program runs them, for at most `ms` milliseconds.
void RunPasses(Form1& form, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) form.Pass();
}

void PostClick(QWidget* w) {
  const QPointF at = QRectF(w->rect()).center();
  const QPointF global = w->mapToGlobal(at);
  QApplication::postEvent(w, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                             Qt::LeftButton, Qt::NoModifier));
  QApplication::postEvent(w, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                             Qt::NoButton, Qt::NoModifier));
}

TEST(LoopEventsTest, ClicksQueuedDuringAPassAreHandledInItsEventProcessing) {
  auto form = StartedForm();
  form->Pass();
  PostClick(form->Command3);
  EXPECT_EQ(form->springs(20).Vx, 0.0) << "nothing runs before the event processing";
  form->Pass();
  // The handler ran after this pass's drawing: the next pass starts from 50.
  EXPECT_EQ(form->springs(20).Vx, 50.0);
  const double x = form->springs(20).xPos;
  form->Pass();
  EXPECT_NEAR(form->springs(20).xPos - x, 14.97, 0.5);
}

TEST(LoopEventsDeathTest, AnExitClickQueuedDuringAPassEndsTheProcessThere) {
  EXPECT_EXIT(
      {
        auto form = StartedForm();
        form->Pass();
        PostClick(form->Command2);
        form->Pass();
        std::fputs("still running", stderr);
      },
      ::testing::ExitedWithCode(0), NotStillRunning());
}

TEST(LoopEventsDeathTest, AQueuedCloseRequestEndsTheRunningLoop) {
  EXPECT_EXIT(
      {
        auto form = StartedForm();
        QApplication::postEvent(form.get(), new QCloseEvent);
        RunPasses(*form, 3000);
        std::fputs("still running", stderr);
      },
      ::testing::ExitedWithCode(0), NotStillRunning());
}

// An X event or error of 32 bytes as the server sends them, with a few fields
// set: the type, and a window at byte 8 (events) or a resource at byte 4 (errors).
struct XMessage {
  unsigned char bytes[36] = {};
  static XMessage Event(std::uint8_t type, std::uint32_t window) {
    XMessage m;
    m.bytes[0] = type;
    std::memcpy(m.bytes + 4, &window, sizeof window);  // the event window
    std::memcpy(m.bytes + 8, &window, sizeof window);  // the window it is about
    return m;
  }
  static XMessage Error(std::uint8_t code, std::uint32_t resource) {
    XMessage m;
    m.bytes[1] = code;
    std::memcpy(m.bytes + 4, &resource, sizeof resource);
    return m;
  }
};

// Hands a message to the application's native event filters, as the X11
// platform does with every event it receives.
void Deliver(XMessage message) {
  qintptr result = 0;
  QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", message.bytes,
                                                          &result);
}

std::uint32_t IdOf(Form1& form) { return static_cast<std::uint32_t>(form.winId()); }

TEST(WindowGoneTest, OtherReportsLeaveTheProgramRunning) {
  auto form = StartedForm();
  form->Pass();
  const std::uint32_t ours = IdOf(*form), other = ours + 7;
  Deliver(XMessage::Event(XCB_UNMAP_NOTIFY, ours));  // minimised
  Deliver(XMessage::Event(XCB_MAP_NOTIFY, ours));
  Deliver(XMessage::Event(XCB_DESTROY_NOTIFY, other));
  Deliver(XMessage::Error(XCB_WINDOW, other));
  Deliver(XMessage::Error(XCB_MATCH, ours));
  form->Pass();
  SUCCEED() << "still running";
}

TEST(WindowGoneDeathTest, TheWindowDestroyedFromOutsideEndsTheProcess) {
  struct Case {
    const char* name;
    bool error;
    std::uint8_t code;
  };
  for (const Case& c :
       {Case{"DestroyNotify", false, XCB_DESTROY_NOTIFY}, Case{"BadWindow", true, XCB_WINDOW},
        Case{"BadDrawable", true, XCB_DRAWABLE}}) {
    EXPECT_EXIT(
        {
          auto form = StartedForm();
          form->Pass();
          const std::uint32_t id = IdOf(*form);
          Deliver(c.error ? XMessage::Error(c.code, id) : XMessage::Event(c.code, id));
          std::fputs("still running", stderr);
        },
        ::testing::ExitedWithCode(0), NotStillRunning())
        << c.name;
  }
}

void Wheel(QScrollBar& bar, int delta) {
  const QPointF at = QRectF(bar.rect()).center();
  QWheelEvent event(at, bar.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&bar, &event);
}

TEST(ScrollBarEventsTest, WheelDownRaisesAndEachNotchReportsOnce) {
  auto form = StartedForm();
  struct Case {
    QScrollBar* bar;
    int delta, value;
  };
  // One notch scrolls three arrow steps, at most one page.
  for (const Case& c : {Case{form->HScroll1, -120, 1010}, Case{form->HScroll1, 120, 10},
                        Case{form->HScroll1, 120, 10}, Case{form->HScroll2, -120, 6},
                        Case{form->HScroll2, 120, 5}}) {
    QSignalSpy spy(c.bar, &QScrollBar::valueChanged);
    const int before = c.bar->value();
    Wheel(*c.bar, c.delta);
    EXPECT_EQ(c.bar->value(), c.value);
    EXPECT_EQ(spy.count(), before == c.value ? 0 : 1);
  }
  EXPECT_EQ(form->springs(20).Mass, 1.0);
  for (int i = 0; i <= 40; ++i) EXPECT_EQ(form->springs(i).ColScale, 5.0 / 400) << i;
}

TEST(ScrollBarEventsTest, ArrowsAtTheEndsReportNothing) {
  auto form = StartedForm();
  QScrollBar& bar = *form->HScroll1;
  QSignalSpy spy(&bar, &QScrollBar::valueChanged);
  QTest::mouseClick(&bar, Qt::LeftButton, {}, PartOf(bar, QStyle::SC_ScrollBarSubLine).center());
  EXPECT_EQ(spy.count(), 0);
  for (int k = 0; k < 41; ++k) {
    QTest::mouseClick(&bar, Qt::LeftButton, {}, PartOf(bar, QStyle::SC_ScrollBarAddLine).center());
  }
  EXPECT_EQ(bar.value(), 20000);
  EXPECT_EQ(spy.count(), 40) << "the 41st click meets the right end";
  EXPECT_EQ(form->springs(20).Mass, 2000.0);
}

TEST(ScrollBarEventsTest, PassesGoOnWhileTheThumbIsHeldAndChangeNothing) {
  auto form = StartedForm();
  QScrollBar& bar = *form->HScroll2;
  QSignalSpy spy(&bar, &QScrollBar::valueChanged);
  const QPoint start = PartOf(bar, QStyle::SC_ScrollBarSlider).center();
  QTest::mousePress(&bar, Qt::LeftButton, {}, start);
  for (int dx = 10; dx <= 150; dx += 10) {
    QTest::mouseMove(&bar, start + QPoint(dx, 0));
    form->Pass();
  }
  EXPECT_GT(bar.sliderPosition(), 5) << "the thumb did move";
  EXPECT_EQ(spy.count(), 0);
  for (int i = 0; i <= 40; ++i) EXPECT_EQ(form->springs(i).ColScale, 1.0) << i;
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, start + QPoint(150, 0));
  EXPECT_EQ(spy.count(), 1);
  for (int i = 0; i <= 40; ++i) EXPECT_EQ(form->springs(i).ColScale, bar.value() / 400.0) << i;
}

TEST(KeyboardTest, BacktabRunsTheCycleBackwardsAndAltXIsExitsKey) {
  auto form = StartedForm();
  ASSERT_EQ(QApplication::focusWidget(), form->Picture1);
  const std::vector<QWidget*> backwards = {form->HScroll2, form->Command3, form->Command1,
                                           form->HScroll1, form->Command2, form->Picture1};
  for (QWidget* expected : backwards) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), expected) << expected->metaObject()->className();
  }
  EXPECT_EQ(form->Command2->shortcut(), QKeySequence(Qt::ALT | Qt::Key_X));
  EXPECT_TRUE(form->Command1->shortcut().isEmpty());
  EXPECT_TRUE(form->Command3->shortcut().isEmpty());
}

// The whole frame after the first pass, pixel by pixel.
bool IsBackground(QRgb c) { return (c & 0xFFFFFFu) == (Picture1::kBackground & 0xFFFFFFu); }
bool IsLit(QRgb c) { return !IsBackground(c); }
bool IsBlue(QRgb c) { return qBlue(c) > 120 && qRed(c) < qBlue(c) / 2 && qGreen(c) < 80; }
bool IsRed(QRgb c) { return qRed(c) > 120 && qBlue(c) < 40 && qGreen(c) < 120; }

// Counts the pixels of a logical square around a point in twips that pass a test.
int CountAround(const QImage& image, double xTwips, double yTwips, int half, bool (*test)(QRgb)) {
  const double dpr = image.devicePixelRatio();
  const int cx = static_cast<int>(xTwips / kTwipsPerPixel * dpr);
  const int cy = static_cast<int>(yTwips / kTwipsPerPixel * dpr);
  const int h = static_cast<int>(half * dpr);
  int n = 0;
  for (int y = cy - h; y <= cy + h; ++y) {
    for (int x = cx - h; x <= cx + h; ++x) {
      if (image.valid(x, y) && test(image.pixel(x, y))) ++n;
    }
  }
  return n;
}

TEST(FrameTest, EveryNodeInItsColourAndNothingButBackgroundAwayFromTheChain) {
  auto form = StartedForm();
  form->Pass();
  const QImage& image = form->Picture1->Image();
  for (int i = 0; i <= 40; ++i) {
    const Spring& s = form->springs(i);
    SCOPED_TRACE(i);
    const bool end = i == 0 || i == 40;
    EXPECT_EQ(CountAround(image, s.xPos, s.yPos, 3, IsBlue) > 0, end);
    if (!end) {
      EXPECT_GT(CountAround(image, s.xPos, s.yPos, 3, IsRed), 0);
    }
  }
  const double dpr = image.devicePixelRatio();
  const double row = form->springs(20).yPos / kTwipsPerPixel;
  int stray = 0;
  for (int y = 0; y < image.height(); ++y) {
    if (std::abs(y / dpr - row) < 5) continue;
    for (int x = 0; x < image.width(); ++x) stray += IsLit(image.pixel(x, y)) ? 1 : 0;
  }
  EXPECT_EQ(stray, 0);
  // The links join the nodes: the row is lit halfway between nodes 9 and 10.
  EXPECT_GT(CountAround(image, 2100, form->springs(10).yPos, 1, IsLit), 0);
  // And the widget presents exactly this image (without the focus frame).
  form->Command2->setFocus();
  const QImage shown = form->Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(shown == image.convertToFormat(QImage::Format_RGB32));
}

}  // namespace
}  // namespace chain
