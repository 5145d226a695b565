#pragma once

#include "player/swf/SwfFilter.h"

class SwfReader;

// Reads a FILTERLIST. Throws SwfError for a truncated list or an unknown filter.
std::vector<SwfFilter> ReadSwfFilters(SwfReader& reader);

// The blend mode of PlaceObject3's blend byte; unknown values blend normally.
SwfBlendMode SwfBlendModeOf(int value);
