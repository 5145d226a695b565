#include "player/SwfMorphReader.h"

#include "player/SwfReader.h"

SwfMorphShape ReadSwfMorphShape(SwfReader& reader) {
  SwfMorphShape morph;
  morph.StartBounds = reader.Rect();
  morph.EndBounds = reader.Rect();
  return morph;
}
