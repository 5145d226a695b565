#pragma once

#include "player/swf/SwfColorTransform.h"
#include "player/swf/SwfShape.h"

class QPainter;

// Draws one shape with the painter's current transform (shape twips to device pixels): each
// layer's fills, then its strokes, every style through the paint unit of its kind.
class ShapePainter {
public:
  // stageScale is device pixels per main-movie pixel, the size non-scaling strokes keep.
  ShapePainter(QPainter& painter, double stageScale) : FPainter(painter), FStageScale(stageScale) {}

  void Paint(const SwfShape& shape, const SwfColorTransform& colors);
  // The device rectangle the shape's drawing can touch through transform.
  static QRectF DeviceBounds(const SwfShape& shape, const QTransform& transform, double stageScale);

private:
  void Fill(const SwfShape::Fill& fill, const SwfColorTransform& colors);
  void Stroke(const SwfShape::Stroke& stroke, const SwfColorTransform& colors);

  QPainter& FPainter;
  double FStageScale;
};
