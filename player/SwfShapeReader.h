#pragma once

#include "player/SwfShape.h"

class SwfBudget;
class SwfReader;

// Reads a DefineShape tag body (after the character id) of version 1 to 4 into its bounds
// and the closed outlines of its solid fills. Gradient and bitmap fills are read past and
// not drawn; line styles are read past.
SwfShape ReadSwfShape(SwfReader& reader, int shapeVersion, SwfBudget& budget);
