#pragma once

#include "player/swf/SwfShape.h"

class SwfBudget;
class SwfReader;

// Reads a DefineShape tag body (after the character id) of version 1 to 4 into its bounds,
// the closed outlines of its fills and the strokes of its line styles. Bitmap fills take
// their image from bitmaps; an unknown bitmap id leaves the fill without an image, to be
// completed once the bitmap is known.
SwfShape ReadSwfShape(SwfReader& reader, int shapeVersion, SwfBudget& budget,
                      const SwfBitmapTable& bitmaps = {});
