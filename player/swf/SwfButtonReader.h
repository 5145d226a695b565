#pragma once

#include "player/swf/SwfMovie.h"

class SwfBudget;
class SwfReader;

// Reads a DefineButton (buttonVersion 1) or DefineButton2 (2) body after the character id:
// every state's records with their depths, matrices, colour transforms, filters and blend
// modes, and the button's actions (DefineButton's one script runs on release). Throws SwfError
// for a truncated body, an unknown filter or a spent budget.
SwfButton ReadSwfButton(SwfReader& reader, int buttonVersion, int swfVersion, SwfBudget& budget);

// Applies a DefineButtonCxform body after the button id to every record of button.
void ReadSwfButtonColorTransform(SwfReader& reader, SwfButton& button);
