#pragma once
// The focus indicator of the controls that draw none of their own: a frame in
// the highlight colour on the widget's outermost pixels.

#include <QPainter>
#include <QWidget>

namespace chain {

inline constexpr int kFocusFrameWidth = 2;  // logical pixels

// Paints the frame over whatever `painter` (on `widget`) has drawn.
inline void DrawFocusFrame(QPainter& painter, const QWidget& widget) {
  const QColor colour = widget.palette().color(QPalette::Active, QPalette::Highlight);
  const int w = widget.width();
  const int h = widget.height();
  const int f = kFocusFrameWidth;
  painter.fillRect(0, 0, w, f, colour);
  painter.fillRect(0, h - f, w, f, colour);
  painter.fillRect(0, f, f, h - 2 * f, colour);
  painter.fillRect(w - f, f, f, h - 2 * f, colour);
}

}  // namespace chain
