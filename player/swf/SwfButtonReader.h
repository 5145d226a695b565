#pragma once

#include "player/swf/SwfMovie.h"

class SwfBudget;
class SwfReader;

// Reads a DefineButton (buttonVersion 1) or DefineButton2 (2) body after the character id
// into what the button shows in its up state: its up-state records as a first frame. The
// button's actions are not read.
SwfTimeline ReadSwfButtonUpState(SwfReader& reader, int buttonVersion, SwfBudget& budget);
