#pragma once

#include <QPointF>
#include <QTransform>

class MovieClip;

// Whether a point of the stage (twips) lies on what a clip draws: inside one of its fills or
// on one of its lines, in the clip itself, in what its scripts drew, or in any clip inside it.
// world maps the clip's own coordinates to the stage.
bool ClipHitsShape(const MovieClip& clip, const QTransform& world, QPointF point);
