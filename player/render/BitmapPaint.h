#pragma once

#include "player/swf/SwfColorTransform.h"
#include "player/swf/SwfShape.h"

class QPainter;
class QPainterPath;

// Fills path with a bitmap fill under a colour transform: the bitmap placed by the fill's
// matrix, repeated or shown once, smoothed or with sharp pixels.
void PaintBitmapFill(QPainter& painter, const QPainterPath& path, const SwfFillStyle& fill,
                     const SwfColorTransform& colors);

// The bitmap as a repeating brush in the shape's twips, for strokes painted with a bitmap.
QBrush BitmapBrush(const SwfFillStyle& fill, const SwfColorTransform& colors);
