#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <vector>

// A shape character: its declared bounds and, for drawing, one closed path per solid fill
// style. Coordinates are in twips.
struct SwfShape {
  struct Fill {
    QColor Color;
    QPainterPath Path;
  };
  QRectF Bounds;
  std::vector<Fill> Fills;
};
