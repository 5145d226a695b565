#pragma once

#include <QRectF>
#include <optional>

class MovieClip;
class NativeClass;
class PlayerLevel;

// startDrag and stopDrag: a dragged clip follows the mouse until the drag stops, one clip of
// a level at a time. The mouse stays where it was last seen, so a clip moves when its drag
// starts (its registration point onto the mouse, or into its constraint) and then stays.
namespace ScriptDrag {

// constraint: left, top, right and bottom in the parent's pixels, in any order.
void Start(PlayerLevel& level, MovieClip& clip, bool lockCenter,
           const std::optional<QRectF>& constraint);
// Ends the level's drag; the clip keeps its place and learns its drop target.
void Stop(PlayerLevel& level);

void AddMethods(NativeClass& clip);

} // namespace ScriptDrag
