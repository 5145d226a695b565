#include "player/render/ShapePainter.h"

#include "player/render/BitmapPaint.h"
#include "player/render/GradientPaint.h"
#include "player/render/SolidPaint.h"
#include "player/swf/SwfMovie.h"

#include <QPainter>
#include <cmath>

namespace {

// Strokes narrower than this on the device are drawn this wide, as hairlines are.
constexpr double ThinnestStroke = 1;
// The widest pen the painter accepts, in its own units.
constexpr double WidestPen = 32767;

QBrush FillBrush(const SwfFillStyle& fill, const SwfColorTransform& colors) {
  switch (fill.Type) {
  case SwfFillStyle::Kind::Solid:
    return SolidBrush(fill.Color, colors);
  case SwfFillStyle::Kind::LinearGradient:
  case SwfFillStyle::Kind::RadialGradient:
  case SwfFillStyle::Kind::FocalGradient:
    return GradientBrush(fill, colors);
  case SwfFillStyle::Kind::Bitmap:
    return BitmapBrush(fill, colors);
  }
  return Qt::NoBrush;
}

bool Scales(const SwfLineStyle& style) {
  return style.ScalesHorizontally && style.ScalesVertically;
}

// The stroke's width in device pixels through transform, as its style asks for it. A stroke
// that scales along one axis only takes that axis's scale: the one across the edges it keeps.
double ExactDeviceWidth(const SwfLineStyle& style, const QTransform& transform, double stageScale) {
  if (Scales(style))
    return style.Width * std::sqrt(std::abs(transform.determinant()));
  if (style.ScalesVertically)
    return style.Width * std::hypot(transform.m21(), transform.m22());
  if (style.ScalesHorizontally)
    return style.Width * std::hypot(transform.m11(), transform.m12());
  return style.Width / TwipsPerPixel * stageScale;
}

// The width the stroke is drawn with, never thinner than a hairline.
double DeviceWidth(const SwfLineStyle& style, const QTransform& transform, double stageScale) {
  return std::max(ExactDeviceWidth(style, transform, stageScale), ThinnestStroke);
}

// Moves every point of a device path onto the pixel grid, so that a stroke of deviceWidth
// covers whole pixels: odd widths centre on pixel centres, even widths on pixel edges.
QPainterPath Hinted(const QPainterPath& devicePath, double deviceWidth) {
  const double offset = std::lround(deviceWidth) % 2 ? 0.5 : 0;
  QPainterPath path = devicePath;
  for (int i = 0; i < path.elementCount(); ++i) {
    const QPainterPath::Element element = path.elementAt(i);
    path.setElementPositionAt(i, std::floor(element.x) + offset, std::floor(element.y) + offset);
  }
  return path;
}

// Segments of the half circle that closes a round cap.
constexpr int RoundCapSegments = 12;

// Adds the cap at point, where a stroke of width ends heading outward (a unit vector).
void AddCap(QPainterPath& caps, Qt::PenCapStyle cap, QPointF point, QPointF outward, double width) {
  const QPointF normal(-outward.y(), outward.x());
  const double half = width / 2;
  if (cap == Qt::SquareCap) {
    caps.addPolygon(QPolygonF{point + normal * half, point + (normal + outward) * half,
                              point + (outward - normal) * half, point - normal * half});
    caps.closeSubpath();
  } else if (cap == Qt::RoundCap) {
    QPolygonF halfCircle;
    for (int step = 0; step <= RoundCapSegments; ++step) {
      const double angle = M_PI * step / RoundCapSegments;
      halfCircle << point + (normal * std::cos(angle) + outward * std::sin(angle)) * half;
    }
    caps.addPolygon(halfCircle);
    caps.closeSubpath();
  }
}

QPointF UnitVector(QPointF vector) {
  const double length = std::hypot(vector.x(), vector.y());
  return length > 0 ? vector / length : QPointF();
}

// The caps of every open subpath of a device path: start at its first point, end at its last.
QPainterPath Caps(const QPainterPath& path, Qt::PenCapStyle start, Qt::PenCapStyle end,
                  double width) {
  QPainterPath caps;
  caps.setFillRule(Qt::WindingFill);
  int first = 0;
  while (first < path.elementCount()) {
    int last = first + 1;
    while (last < path.elementCount() && !path.elementAt(last).isMoveTo())
      ++last;
    --last;
    const QPointF from = path.elementAt(first);
    const QPointF to = path.elementAt(last);
    if (last > first && from != to) {
      const QPointF startOutward = UnitVector(from - QPointF(path.elementAt(first + 1)));
      const QPointF endOutward = UnitVector(to - QPointF(path.elementAt(last - 1)));
      if (!startOutward.isNull())
        AddCap(caps, start, from, startOutward, width);
      if (!endOutward.isNull())
        AddCap(caps, end, to, endOutward, width);
    }
    first = last + 1;
  }
  return caps;
}

// How far beyond its path a stroke can reach, in the stroke's own units.
double StrokeReach(const SwfLineStyle& style, double width) {
  const double join = style.Join == Qt::MiterJoin ? std::max(style.MiterLimit, 1.0) : 1.0;
  return width / 2 * std::max(join, M_SQRT2);
}

} // namespace

void ShapePainter::Paint(const SwfShape& shape, const SwfColorTransform& colors) {
  auto fill = shape.Fills.begin();
  auto stroke = shape.Strokes.begin();
  while (fill != shape.Fills.end() || stroke != shape.Strokes.end()) {
    const int layer = std::min(fill != shape.Fills.end() ? fill->Layer : INT_MAX,
                               stroke != shape.Strokes.end() ? stroke->Layer : INT_MAX);
    for (; fill != shape.Fills.end() && fill->Layer == layer; ++fill)
      Fill(*fill, colors);
    for (; stroke != shape.Strokes.end() && stroke->Layer == layer; ++stroke)
      Stroke(*stroke, colors);
  }
}

void ShapePainter::Fill(const SwfShape::Fill& fill, const SwfColorTransform& colors) {
  if (fill.Style.Type == SwfFillStyle::Kind::Bitmap)
    PaintBitmapFill(FPainter, fill.Path, fill.Style, colors);
  else
    FPainter.fillPath(fill.Path, FillBrush(fill.Style, colors));
}

void ShapePainter::Stroke(const SwfShape::Stroke& stroke, const SwfColorTransform& colors) {
  const SwfLineStyle& style = stroke.Style;
  const QTransform transform = FPainter.transform();
  const double exactWidth = ExactDeviceWidth(style, transform, FStageScale);
  const double deviceWidth = std::max(exactWidth, ThinnestStroke);
  if (!std::isfinite(deviceWidth))
    return; // a transform that overflows leaves nothing to draw
  QPen pen(style.Fill ? FillBrush(*style.Fill, colors) : SolidBrush(style.Color, colors), 0);
  pen.setCapStyle(style.Cap);
  pen.setJoinStyle(style.Join);
  pen.setMiterLimit(style.MiterLimit);
  if (style.PixelHinting || style.Cap != style.EndCap) {
    // Hinting and caps of their own work on device pixels: the path and the brush move to
    // device coordinates.
    QBrush brush = pen.brush();
    brush.setTransform(brush.transform() * transform);
    pen.setBrush(brush);
    const double width =
        std::min(style.PixelHinting ? std::round(deviceWidth) : deviceWidth, WidestPen);
    pen.setWidthF(width);
    QPainterPath path = transform.map(stroke.Path);
    if (style.PixelHinting)
      path = Hinted(path, deviceWidth);
    FPainter.save();
    FPainter.resetTransform();
    if (style.Cap != style.EndCap) {
      pen.setCapStyle(Qt::FlatCap);
      FPainter.fillPath(Caps(path, style.Cap, style.EndCap, width), brush);
    }
    FPainter.strokePath(path, pen);
    FPainter.restore();
    return;
  }
  // A scaling stroke keeps its width in the shape's units; hairlines and non-scaling
  // strokes keep theirs on the device.
  if (Scales(style) && exactWidth >= ThinnestStroke) {
    pen.setWidthF(std::min(style.Width, WidestPen));
  } else {
    pen.setCosmetic(true);
    pen.setWidthF(std::min(deviceWidth, WidestPen));
  }
  FPainter.strokePath(stroke.Path, pen);
}

QRectF ShapePainter::DeviceBounds(const SwfShape& shape, const QTransform& transform,
                                  double stageScale) {
  QRectF bounds = transform.mapRect(shape.Bounds);
  for (const SwfShape::Fill& fill : shape.Fills)
    bounds |= transform.mapRect(fill.Path.controlPointRect());
  for (const SwfShape::Stroke& stroke : shape.Strokes) {
    const double reach = StrokeReach(stroke.Style, stroke.Style.Width);
    const double deviceReach =
        StrokeReach(stroke.Style, DeviceWidth(stroke.Style, transform, stageScale));
    bounds |=
        transform.mapRect(stroke.Path.controlPointRect().adjusted(-reach, -reach, reach, reach))
            .adjusted(-deviceReach, -deviceReach, deviceReach, deviceReach);
  }
  // Antialiasing and pixel hinting may touch one more pixel on each side.
  return bounds.adjusted(-1, -1, 1, 1);
}
