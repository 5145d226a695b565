#pragma once

#include <QRectF>

class SwfReader;

// A morph shape character, as far as the player uses it: the bounds of its start and end
// shapes, in twips.
struct SwfMorphShape {
  QRectF StartBounds;
  QRectF EndBounds;

  // The bounds at a placement's ratio, 0 (start) to 65535 (end).
  QRectF BoundsAt(int ratio) const;
};

// Reads a DefineMorphShape or DefineMorphShape2 body after the character id; the edges
// and styles after the bounds are not read.
SwfMorphShape ReadSwfMorphShape(SwfReader& reader);
