#include "player/render/SolidPaint.h"

QBrush SolidBrush(const QColor& color, const SwfColorTransform& colors) {
  return QBrush(colors.Apply(color));
}
