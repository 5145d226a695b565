#pragma once

#include "player/swf/SwfColorTransform.h"

#include <QCache>
#include <QImage>
#include <QPoint>
#include <memory>

class QPainter;
class QTransform;
struct SwfShape;

// Keeps each shape's drawing as an image per scale, rotation, quarter-pixel offset and colour
// transform, so repainting a stage blits images instead of filling paths and decoding again.
// Shapes are known by address: Clear() must run whenever a movie may have been released.
class RenderCache {
public:
  RenderCache();

  // Draws shape through transform (shape twips to device pixels) with colors, from the
  // cache when it can. Shapes too large to keep are drawn directly.
  void Draw(QPainter& painter, const SwfShape& shape, const QTransform& transform,
            const SwfColorTransform& colors, double stageScale);
  void Clear() {
    FImages.clear();
    FLayers.clear();
  }

  // The filtered and blended picture of an object with effects, known by a signature of
  // everything that decides how it looks (its content, its device transform, its colours).
  struct Layer {
    QImage Image;
    QPoint At; // its top left corner on the device
  };
  const Layer* FindLayer(size_t signature) const { return FLayers.object(signature); }
  void KeepLayer(size_t signature, const QImage& image, QPoint at);
  // How many drawings were rendered rather than taken from the cache.
  quint64 RenderCount() const { return FRenderCount; }

  struct Key {
    const SwfShape* Shape = nullptr;
    double M11 = 1, M12 = 0, M21 = 0, M22 = 1;
    int QuarterX = 0, QuarterY = 0; // the sub-pixel offset in quarter pixels
    SwfColorTransform Colors;
    bool operator==(const Key&) const = default;
  };

private:
  struct Drawing {
    QImage Image;
    QPoint Origin; // where the image's top-left pixel lies relative to the whole-pixel offset
  };

  // Draws shape through local into an image covering area, a rectangle of device pixels.
  std::unique_ptr<Drawing> Render(const SwfShape& shape, const QTransform& local, const QRect& area,
                                  const SwfColorTransform& colors, double stageScale);

  QCache<Key, Drawing> FImages;
  QCache<size_t, Layer> FLayers;
  quint64 FRenderCount = 0;
};

size_t qHash(const RenderCache::Key& key, size_t seed = 0);
