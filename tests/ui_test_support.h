#pragma once
// Helpers for the window tests: a started window, a drawing surface of the
// window's size, and where the parts of a scroll bar lie on the screen.

#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <memory>
#include <optional>
#include <string_view>

#include "ui/Form1.h"
#include "ui/Picture1.h"

namespace chain::testing {

// Where the controls' description puts the control `id`, as Qt has rectangles.
inline QRect PlaceOf(std::string_view id) {
  const std::optional<Control> c = FindControl(id);
  if (!c) return {};  // an id the description lacks: nowhere
  return {c->place.x, c->place.y, c->place.width, c->place.height};
}

// A window after start-up, shown and active, before its first pass.
inline std::unique_ptr<Form1> StartedForm() {
  auto form = std::make_unique<Form1>();
  form->StartUp();
  form->activateWindow();
  (void)QTest::qWaitForWindowActive(form.get());
  return form;
}

// A surface at the window's size, cleared.
struct Surface {
  Picture1 picture;
  Surface() {
    picture.resize(PlaceOf("surface").size());
    picture.Clear();
  }
  // The colour at logical pixel (x, y), whatever the device pixel ratio.
  QRgb At(int x, int y) {
    const QImage& image = picture.Image();
    const double dpr = image.devicePixelRatio();
    return image.pixel(static_cast<int>(x * dpr), static_cast<int>(y * dpr)) & 0xFFFFFFu;
  }
  int CountNotBackground() {
    const QImage& image = picture.Image();
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if ((image.pixel(x, y) & 0xFFFFFFu) != (Picture1::kBackground & 0xFFFFFFu)) ++n;
      }
    }
    return n;
  }
};

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
