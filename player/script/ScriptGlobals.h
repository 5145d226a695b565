#pragma once

#include "player/script/ActionValue.h"

#include <QString>
#include <memory>

class PlayerLevel;
class ScriptObject;
struct NativeCall;

// The player's own global names: classes (Object, Array, String, ...), objects (Math,
// Stage, Key, ...), functions (parseInt, ASSetPropFlags, ...) and constants (NaN, Infinity).
// Each is made on first use, so a clip that uses none of them costs nothing.
namespace ScriptGlobals {

// The built-in a global name stands for; undefined for other names.
ActionValue Global(PlayerLevel& level, const QString& name);
// The prototype of a built-in class ("Object", "Array", "MovieClip", ...); null when the level
// cannot make it.
std::shared_ptr<ScriptObject> Prototype(PlayerLevel& level, const QString& className);
// The prototype members of an object come from when it has no chain of its own: functions
// take Function's, clips MovieClip's, text fields TextField's, others Object's.
std::shared_ptr<ScriptObject> DefaultPrototype(PlayerLevel& level, const ScriptObject& object);
// The next object on the chain: "__proto__", or the default prototype of its kind; null for
// a bare object and at the end of the chain.
std::shared_ptr<ScriptObject> PrototypeOf(PlayerLevel& level, const ScriptObject& object);

} // namespace ScriptGlobals

// The makers of the built-ins, one unit each. Each returns the global value it stands for,
// undefined once the level made too many objects.
namespace ScriptMakers {
ActionValue ObjectClass(PlayerLevel& level);
ActionValue FunctionClass(PlayerLevel& level);
ActionValue ArrayClass(PlayerLevel& level);
ActionValue StringClass(PlayerLevel& level);
ActionValue NumberClass(PlayerLevel& level);
ActionValue BooleanClass(PlayerLevel& level);
ActionValue ErrorClass(PlayerLevel& level);
ActionValue MathObject(PlayerLevel& level);
ActionValue DateClass(PlayerLevel& level);
ActionValue Broadcaster(PlayerLevel& level);
ActionValue MovieClipClass(PlayerLevel& level);
ActionValue TextFieldClass(PlayerLevel& level);
ActionValue TextFormatClass(PlayerLevel& level);
ActionValue TextSnapshotClass(PlayerLevel& level);
ActionValue GetTextSnapshot(NativeCall& call);
ActionValue ColorClass(PlayerLevel& level);
// MovieClip.createTextField: a new empty field on this clip.
ActionValue CreateTextField(NativeCall& call);
// Stage, Key, Mouse, Selection and System; undefined for other names.
ActionValue SystemObject(PlayerLevel& level, const QString& name);
// parseInt, parseFloat, isNaN, isFinite, escape, unescape, ASSetPropFlags; undefined for
// other names.
ActionValue GlobalFunction(PlayerLevel& level, const QString& name);
} // namespace ScriptMakers
