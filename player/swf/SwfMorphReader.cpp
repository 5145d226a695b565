#include "player/swf/SwfMorphReader.h"

#include "player/swf/SwfReader.h"

SwfMorphShape ReadSwfMorphShape(SwfReader& reader) {
  SwfMorphShape morph;
  morph.StartBounds = reader.Rect();
  morph.EndBounds = reader.Rect();
  return morph;
}
