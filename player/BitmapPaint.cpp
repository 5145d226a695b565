#include "player/BitmapPaint.h"

#include <QPainter>
#include <QPainterPath>

namespace {

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

// The part of the shape the bitmap itself covers, in the shape's twips.
QPainterPath BitmapArea(const SwfFillStyle& fill) {
  QPainterPath area;
  area.addRect(QRectF(fill.Bitmap.rect()));
  return fill.Matrix.map(area);
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
  // A bitmap shown once covers only its own rectangle of the shape.
  if (!fill.Repeats)
    painter.setClipPath(BitmapArea(fill), Qt::IntersectClip);
  painter.fillPath(path, BitmapBrush(fill, colors));
  painter.restore();
}
