#pragma once

#include "player/swf/SwfMorphShape.h"

class SwfReader;

// Reads a DefineMorphShape or DefineMorphShape2 body after the character id; the edges
// and styles after the bounds are not read.
SwfMorphShape ReadSwfMorphShape(SwfReader& reader);
