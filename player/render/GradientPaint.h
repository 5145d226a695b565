#pragma once

#include "player/swf/SwfColorTransform.h"
#include "player/swf/SwfShape.h"

#include <QBrush>

// The brush of a linear, radial or focal gradient fill under a colour transform. The brush
// works in the shape's twips: its gradient spans the 32,768-unit gradient square, which the
// fill's matrix places in the shape.
QBrush GradientBrush(const SwfFillStyle& fill, const SwfColorTransform& colors);
