#include "player/render/RenderCache.h"

#include "player/render/ShapePainter.h"
#include "player/swf/SwfShape.h"

#include <QPainter>
#include <cmath>

namespace {

// Bytes of images the cache keeps; a single drawing larger than LargestDrawingBytes is
// drawn directly each time instead.
constexpr qsizetype CacheBytes = 128 * 1024 * 1024;
constexpr qsizetype LargestDrawingBytes = 16 * 1024 * 1024;
constexpr double SubpixelSteps = 4;
// Drawings moved further than this many pixels lie outside any device and are skipped.
constexpr double FarthestOffset = 1 << 24;

} // namespace

size_t qHash(const RenderCache::Key& key, size_t seed) {
  seed =
      qHashMulti(seed, key.Shape, key.M11, key.M12, key.M21, key.M22, key.QuarterX, key.QuarterY);
  seed = qHashRange(key.Colors.Multiply.begin(), key.Colors.Multiply.end(), seed);
  return qHashRange(key.Colors.Add.begin(), key.Colors.Add.end(), seed);
}

RenderCache::RenderCache() : FImages(CacheBytes), FLayers(CacheBytes / 2) {}

void RenderCache::KeepLayer(size_t signature, const QImage& image, QPoint at) {
  const qsizetype bytes = image.sizeInBytes();
  if (bytes <= LargestDrawingBytes)
    FLayers.insert(signature, new Layer{image, at}, std::max<qsizetype>(bytes, 1));
}

void RenderCache::Draw(QPainter& painter, const SwfShape& shape, const QTransform& transform,
                       const SwfColorTransform& colors, double stageScale) {
  for (const double term : {transform.m11(), transform.m12(), transform.m21(), transform.m22()})
    if (!std::isfinite(term))
      return;
  if (!(std::abs(transform.dx()) < FarthestOffset && std::abs(transform.dy()) < FarthestOffset))
    return;
  // Drawings are kept in the device's own pixels, which a high-density screen has more of
  // than it has logical ones.
  const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1;
  const QTransform pixels = transform * QTransform::fromScale(ratio, ratio);
  const double pixelStageScale = stageScale * ratio;
  // The drawing depends on the linear part and the sub-pixel offset; whole pixels of
  // translation only move the finished image.
  const QPointF whole(std::floor(pixels.dx()), std::floor(pixels.dy()));
  const QPointF quarters = QPointF(std::round((pixels.dx() - whole.x()) * SubpixelSteps),
                                   std::round((pixels.dy() - whole.y()) * SubpixelSteps));
  const Key key{&shape,       pixels.m11(),      pixels.m12(),      pixels.m21(),
                pixels.m22(), int(quarters.x()), int(quarters.y()), colors};
  const QTransform local(pixels.m11(), pixels.m12(), pixels.m21(), pixels.m22(),
                         quarters.x() / SubpixelSteps, quarters.y() / SubpixelSteps);
  const QTransform saved = painter.transform();
  const Drawing* drawing = FImages.object(key);
  std::unique_ptr<Drawing> made;
  qsizetype bytes = 0;
  if (!drawing) {
    const QRectF bounds = ShapePainter::DeviceBounds(shape, local, pixelStageScale);
    const bool keepable = bounds.width() * bounds.height() * 4 < LargestDrawingBytes &&
                          std::abs(bounds.left()) < FarthestOffset &&
                          std::abs(bounds.top()) < FarthestOffset;
    const QRect area = keepable ? bounds.toAlignedRect() : QRect();
    bytes = qsizetype(area.width()) * area.height() * 4;
    if (area.isEmpty()) {
      painter.setTransform(transform);
      ShapePainter(painter, stageScale).Paint(shape, colors);
      painter.setTransform(saved);
      return;
    }
    made = Render(shape, local, area, colors, pixelStageScale);
    made->Image.setDevicePixelRatio(ratio);
    drawing = made.get();
  }
  painter.resetTransform();
  painter.drawImage((whole + QPointF(drawing->Origin)) / ratio, drawing->Image);
  painter.setTransform(saved);
  if (made)
    FImages.insert(key, made.release(), bytes);
}

std::unique_ptr<RenderCache::Drawing>
RenderCache::Render(const SwfShape& shape, const QTransform& local, const QRect& area,
                    const SwfColorTransform& colors, double stageScale) {
  ++FRenderCount;
  auto drawing = std::make_unique<Drawing>();
  drawing->Image = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
  drawing->Image.fill(Qt::transparent);
  drawing->Origin = area.topLeft();
  QPainter painter(&drawing->Image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setTransform(local * QTransform::fromTranslate(-area.left(), -area.top()));
  ShapePainter(painter, stageScale).Paint(shape, colors);
  return drawing;
}
