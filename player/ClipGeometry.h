#pragma once

#include <QPointF>
#include <QTransform>
#include <optional>

class MovieClip;

// Conversions between a clip's coordinates and the stage's (twips) as the player computes
// them: each clip's scale and turn in 16.16 fixed point, positions in whole twips after every
// step, so that conversions come out to the twip as the player's do.
namespace ClipGeometry {

QTransform ToStage(const MovieClip& clip);
// Nothing for a clip scaled to nothing.
std::optional<QTransform> FromStage(const MovieClip& clip);

} // namespace ClipGeometry
