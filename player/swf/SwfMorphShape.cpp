#include "player/swf/SwfMorphShape.h"

#include <algorithm>

QRectF SwfMorphShape::BoundsAt(int ratio) const {
  const double t = std::clamp(ratio, 0, 65535) / 65535.0;
  const auto between = [t](double start, double end) { return start + (end - start) * t; };
  return QRectF(QPointF(between(StartBounds.left(), EndBounds.left()),
                        between(StartBounds.top(), EndBounds.top())),
                QPointF(between(StartBounds.right(), EndBounds.right()),
                        between(StartBounds.bottom(), EndBounds.bottom())));
}
