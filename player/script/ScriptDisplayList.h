#pragma once

#include "player/script/ActionValue.h"

#include <QString>
#include <memory>
#include <optional>

class MovieClip;
class NativeClass;
class PlayerLevel;
class ScriptObject;
class ScriptRuntime;

// What scripts do to the display list of a clip: attaching exported symbols, empty clips and
// copies at a depth, removing them, moving them between depths, and the classes registered
// for symbols.
namespace ScriptDisplayList {

// Scripts see depths shifted: the timeline's first depth is -16384, theirs start at 0.
inline constexpr int DepthOffset = 16384;

// The display-list depth of a depth a script names (converted as a 32-bit integer), or
// nothing outside the depths scripts may use.
std::optional<int> DepthFromScript(double depth);

// Makes clip an instance of the class registered for its symbol: its prototype and
// constructor chain. Gives the constructor to run, or undefined when none is registered.
ActionValue AdoptClass(PlayerLevel& level, MovieClip& clip);

// duplicateMovieClip: a copy of clip at depth of its parent, with the members of init (an
// object, or undefined) copied onto it; null when the depth or the clip does not allow one.
std::shared_ptr<MovieClip> Duplicate(ScriptRuntime& runtime, MovieClip& clip, const QString& name,
                                     double depth, const ActionValue& init);
// removeMovieClip: takes a clip or text field off its parent's display list when it lies at a
// depth scripts may remove from.
void Remove(PlayerLevel& level, ScriptObject& object);

// The display-list methods of MovieClip's prototype.
void AddMethods(NativeClass& clip);
// Those a text field shares with clips.
void AddFieldMethods(NativeClass& field);

} // namespace ScriptDisplayList
