#pragma once

#include <QRectF>

// A morph shape character, as far as the player uses it: the bounds of its start and end
// shapes, in twips.
struct SwfMorphShape {
  QRectF StartBounds;
  QRectF EndBounds;

  // The bounds at a placement's ratio, 0 (start) to 65535 (end).
  QRectF BoundsAt(int ratio) const;
};
