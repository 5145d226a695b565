#pragma once

#include "player/swf/SwfColorTransform.h"

#include <QBrush>

// The brush of a solid fill or line colour under a colour transform.
QBrush SolidBrush(const QColor& color, const SwfColorTransform& colors);
