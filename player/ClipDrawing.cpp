#include "player/ClipDrawing.h"

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <utility>

namespace {

// Shared by every drawing, so that a version never repeats from one drawing to another.
std::atomic<quint64> LastVersion{0};

} // namespace

void ClipDrawing::Changed() {
  FVersion = ++LastVersion;
}

// The bounds take in the strokes' half widths, as the clip's size does.
void ClipDrawing::Include(std::initializer_list<QPointF> points) {
  const double half = FLine ? FLine->Width / 2 : 0;
  for (const QPointF point : points) {
    QRectF& bounds = FShape.Bounds;
    if (!std::exchange(FBounded, true))
      bounds = QRectF(point, point);
    bounds.setCoords(
        std::min(bounds.left(), point.x() - half), std::min(bounds.top(), point.y() - half),
        std::max(bounds.right(), point.x() + half), std::max(bounds.bottom(), point.y() + half));
  }
}

void ClipDrawing::Clear() {
  FShape = {};
  FLine.reset();
  FOpenFill.reset();
  FOpenStroke.reset();
  FPen = {};
  FLayer = 0;
  FSegments = 0;
  FBounded = false;
  Changed();
}

void ClipDrawing::SetLineStyle(std::optional<SwfLineStyle> style) {
  FLine = std::move(style);
  FOpenStroke.reset();
}

void ClipDrawing::SetLineFill(const SwfFillStyle& fill) {
  if (!FLine)
    return;
  FLine->Fill = fill;
  FOpenStroke.reset();
}

void ClipDrawing::BeginFill(std::optional<SwfFillStyle> style) {
  EndFill();
  if (!style)
    return;
  // A fill covers what was drawn before it, its own lines lie over it.
  ++FLayer;
  FShape.Fills.push_back({std::move(*style), {}, FLayer});
  FShape.Fills.back().Path.setFillRule(Qt::OddEvenFill);
  FShape.Fills.back().Path.moveTo(FPen);
  FOpenFill = FShape.Fills.size() - 1;
  FFillStart = FPen;
  FOpenStroke.reset();
}

void ClipDrawing::EndFill() {
  if (!FOpenFill)
    return;
  QPainterPath& path = FShape.Fills[*FOpenFill].Path;
  // Ending a fill draws the line back to its start with the line style of the moment.
  if (FPen != FFillStart)
    LineTo(FFillStart);
  path.closeSubpath();
  FOpenFill.reset();
  Changed();
}

void ClipDrawing::StartStroke() {
  if (FOpenStroke)
    return;
  FShape.Strokes.push_back({*FLine, {}, FLayer});
  FShape.Strokes.back().Path.moveTo(FPen);
  FOpenStroke = FShape.Strokes.size() - 1;
}

void ClipDrawing::MoveTo(QPointF to) {
  FPen = to;
  if (FOpenFill) {
    QPainterPath& path = FShape.Fills[*FOpenFill].Path;
    path.closeSubpath();
    path.moveTo(to);
    FFillStart = to;
  }
  if (FOpenStroke)
    FShape.Strokes[*FOpenStroke].Path.moveTo(to);
}

void ClipDrawing::LineTo(QPointF to) {
  Include({FPen, to});
  ++FSegments;
  if (FOpenFill)
    FShape.Fills[*FOpenFill].Path.lineTo(to);
  if (FLine) {
    StartStroke();
    FShape.Strokes[*FOpenStroke].Path.lineTo(to);
  }
  FPen = to;
  Changed();
}

void ClipDrawing::CurveTo(QPointF control, QPointF to) {
  Include({FPen, control, to});
  ++FSegments;
  if (FOpenFill)
    FShape.Fills[*FOpenFill].Path.quadTo(control, to);
  if (FLine) {
    StartStroke();
    FShape.Strokes[*FOpenStroke].Path.quadTo(control, to);
  }
  FPen = to;
  Changed();
}
