#pragma once
// Helpers for the window tests: a started window, and where the parts of a
// scroll bar lie on the screen.

#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <memory>

#include "ui/Form1.h"

namespace chain::testing {

// A window after start-up, shown and active, before its first pass.
inline std::unique_ptr<Form1> StartedForm() {
  auto form = std::make_unique<Form1>();
  form->StartUp();
  form->activateWindow();
  (void)QTest::qWaitForWindowActive(form.get());
  return form;
}

// The rectangle of one part of a scroll bar (arrows, track either side of the
// thumb, the thumb), in the bar's own coordinates, as its style lays it out now.
inline QRect PartOf(const QScrollBar& bar, QStyle::SubControl part) {
  QStyleOptionSlider opt;
  opt.initFrom(&bar);
  opt.subControls = QStyle::SC_All;
  opt.activeSubControls = QStyle::SC_None;
  opt.orientation = bar.orientation();
  opt.minimum = bar.minimum();
  opt.maximum = bar.maximum();
  opt.sliderPosition = bar.sliderPosition();
  opt.sliderValue = bar.value();
  opt.singleStep = bar.singleStep();
  opt.pageStep = bar.pageStep();
  opt.upsideDown = bar.invertedAppearance();
  if (bar.orientation() == Qt::Horizontal) opt.state |= QStyle::State_Horizontal;
  return bar.style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, &bar);
}

}  // namespace chain::testing
