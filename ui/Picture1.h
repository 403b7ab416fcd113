#pragma once
// The drawing surface: a persistent off-screen image that nodes draw on in
// twips with colour words, presented in one piece when the widget repaints.

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QRegion>
#include <QWidget>
#include <optional>
#include <utility>
#include <vector>

#include "render/Clip.h"
#include "render/Controls.h"
#include "render/DrawTarget.h"

namespace chain {

class Picture1 : public QWidget, public DrawTarget {
 public:
  static constexpr QRgb kBackground = 0xFF000000u | kSurfaceBackgroundRgb;

  explicit Picture1(QWidget* parent = nullptr);
  ~Picture1() override;
  Picture1(const Picture1&) = delete;
  Picture1& operator=(const Picture1&) = delete;

  // Erases everything drawn: afterwards the whole image is background. Only
  // the tiles drawn on since the last clear are filled; the rest already is.
  void Clear() override;
  void Line(double x1, double y1, double x2, double y2, ColourWord colour) override;
  void Circle(double x, double y, double radius, ColourWord colour) override;
  // Finishes the frame and asks for a repaint of the tiles that changed since
  // the last Present (cleared or drawn on), which shows the frame in one piece.
  void Present();

  // The frame as drawn so far (finished first), in device pixels.
  [[nodiscard]] const QImage& Image();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPainter& Painter();
  void UsePen(ColourWord colour);
  void FlushLines();
  void Finish();
  void EnsureImage();
  const QPen& PenFor(ColourWord colour);
  // Tiles touched by a primitive whose ink lies within `bounds` (logical pixels).
  void MarkDrawn(const QRectF& bounds);
  // The runs of flagged tiles along each tile row, as rectangles (logical pixels).
  const std::vector<QRect>& TileRuns(const std::vector<unsigned char>& tiles);
  void FillTiles(const std::vector<unsigned char>& tiles);
  [[nodiscard]] QRegion TileRegion(const std::vector<unsigned char>& tiles);

  // The surface is cut into square tiles; one flag per tile, row by row.
  static constexpr int kTile = 16;
  int tilesX_ = 0;
  int tilesY_ = 0;
  std::vector<unsigned char> drawn_;    // may hold something other than background
  std::vector<unsigned char> changed_;  // may differ from what was last presented
  std::vector<QRect> runs_;             // TileRuns' result, its memory kept

  std::vector<std::pair<ColourWord, QPen>> pens_;  // made once per colour

  QImage image_;
  QPainter painter_;
  std::optional<ColourWord> penColour_;
  std::vector<QLineF> pendingLines_;  // consecutive lines of the current colour
  Area clipArea_;                     // the surface, a little enlarged
};

}  // namespace chain
