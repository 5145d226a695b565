#include "player/render/BitmapPaint.h"

#include "player/swf/SwfLimits.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

// How far, in bitmap pixels, the edges of a bitmap shown once are repeated outward at most;
// beyond that the bitmap starts over. Two pixels are always added for smoothing.
constexpr int ClampReach = 256;
constexpr int SmoothingMargin = 2;

// The bitmap's pixels under a colour transform, computed on straight colour.
QImage Recoloured(const QImage& bitmap, const SwfColorTransform& colors) {
  if (colors.IsIdentity())
    return bitmap;
  QImage image(bitmap.size(), QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < bitmap.height(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(bitmap.constScanLine(y));
    auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < bitmap.width(); ++x) {
      const QRgb pixel = qUnpremultiply(from[x]);
      to[x] =
          qPremultiply(qRgba(colors.Channel(0, qRed(pixel)), colors.Channel(1, qGreen(pixel)),
                             colors.Channel(2, qBlue(pixel)), colors.Channel(3, qAlpha(pixel))));
    }
  }
  return image;
}

// The bitmap with its edge pixels repeated outward by margins.
QImage WithClampedEdges(const QImage& bitmap, const QMargins& margins) {
  QImage padded(bitmap.size().grownBy(margins), QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < padded.height(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(
        bitmap.constScanLine(std::clamp(y - margins.top(), 0, bitmap.height() - 1)));
    auto* to = reinterpret_cast<QRgb*>(padded.scanLine(y));
    for (int x = 0; x < padded.width(); ++x)
      to[x] = from[std::clamp(x - margins.left(), 0, bitmap.width() - 1)];
  }
  return padded;
}

// How far beyond each edge of the bitmap the shape reaches, in bitmap pixels, within
// ClampReach and as far as the padded bitmap stays within the size of one bitmap.
QMargins ClampMargins(const SwfFillStyle& fill, const QPainterPath& path) {
  bool invertible = false;
  const QRectF reach = fill.Matrix.inverted(&invertible).mapRect(path.controlPointRect());
  const auto beyond = [](double distance) {
    return SmoothingMargin + int(std::clamp(std::ceil(distance), 0.0, double(ClampReach)));
  };
  const QRect image = fill.Bitmap.rect();
  QMargins margins(SmoothingMargin, SmoothingMargin, SmoothingMargin, SmoothingMargin);
  if (invertible) {
    const QMargins wanted(beyond(image.left() - reach.left()), beyond(image.top() - reach.top()),
                          beyond(reach.right() - image.width()),
                          beyond(reach.bottom() - image.height()));
    const QSize padded = image.size().grownBy(wanted);
    if (qint64(padded.width()) * padded.height() * 4 <= qint64(SwfLimits::MaxBitmapBytes))
      margins = wanted;
  }
  return margins;
}

} // namespace

QBrush BitmapBrush(const SwfFillStyle& fill, const SwfColorTransform& colors) {
  if (fill.Bitmap.isNull())
    return Qt::NoBrush;
  QBrush brush(Recoloured(fill.Bitmap, colors));
  brush.setTransform(fill.Matrix);
  return brush;
}

void PaintBitmapFill(QPainter& painter, const QPainterPath& path, const SwfFillStyle& fill,
                     const SwfColorTransform& colors) {
  if (fill.Bitmap.isNull())
    return;
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, fill.Smoothed);
  QBrush brush = BitmapBrush(fill, colors);
  if (!fill.Repeats) {
    // A bitmap shown once continues in its edge pixels around it.
    const QMargins margins = ClampMargins(fill, path);
    brush.setTextureImage(WithClampedEdges(brush.textureImage(), margins));
    brush.setTransform(QTransform::fromTranslate(-margins.left(), -margins.top()) * fill.Matrix);
  }
  painter.fillPath(path, brush);
  painter.restore();
}
