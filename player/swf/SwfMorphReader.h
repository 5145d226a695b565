#pragma once

#include "player/swf/SwfMorphShape.h"

class SwfBudget;
class SwfReader;

// Reads a DefineMorphShape (version 1) or DefineMorphShape2 (version 2) body after the
// character id: bounds, paired styles and the start and end edges. Bitmap fills take their
// image from bitmaps.
SwfMorphShape ReadSwfMorphShape(SwfReader& reader, int version, SwfBudget& budget,
                                const SwfBitmapTable& bitmaps);
