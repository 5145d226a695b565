#include "player/ClipHitTest.h"

#include "player/ClipDrawing.h"
#include "player/MovieClip.h"
#include "player/swf/SwfMovie.h"
#include "player/swf/SwfShape.h"

#include <QPainterPathStroker>
#include <algorithm>

namespace {

// The thinnest line still hit: a hairline counts as one pixel wide.
constexpr double ThinnestLine = TwipsPerPixel;

bool ShapeHits(const SwfShape& shape, const QTransform& world, QPointF point) {
  if (!world.isInvertible())
    return false;
  const QPointF local = world.inverted().map(point);
  for (const SwfShape::Fill& fill : shape.Fills)
    if (fill.Path.contains(local))
      return true;
  for (const SwfShape::Stroke& stroke : shape.Strokes) {
    QPainterPathStroker outline;
    outline.setWidth(std::max(stroke.Style.Width, ThinnestLine));
    outline.setCapStyle(stroke.Style.Cap);
    outline.setJoinStyle(stroke.Style.Join);
    if (outline.createStroke(stroke.Path).contains(local))
      return true;
  }
  return false;
}

} // namespace

bool ClipHitsShape(const MovieClip& clip, const QTransform& world, QPointF point) {
  if (const ClipDrawing* drawing = clip.Drawing(); drawing && !drawing->IsEmpty())
    if (ShapeHits(drawing->Shape(), world, point))
      return true;
  for (const MovieClip::DisplayEntry& entry : clip.DisplayList()) {
    if (entry.Clip) {
      if (ClipHitsShape(*entry.Clip, entry.Clip->Transform() * world, point))
        return true;
    } else if (entry.Shape) {
      if (ShapeHits(*entry.Shape, entry.Matrix * world, point))
        return true;
    } else if (entry.Bounds.isValid()) {
      // Text and other characters are hit anywhere in their box.
      const QTransform placed = entry.Matrix * world;
      if (placed.isInvertible() && entry.Bounds.contains(placed.inverted().map(point)))
        return true;
    }
  }
  return false;
}
