#pragma once

#include "player/script/ActionValue.h"

#include <QString>
#include <memory>
#include <vector>

class NativeClass;
class PlayerLevel;
class ScriptObject;
class TextField;
struct NativeCall;

// The player's own global names: classes (Object, Array, String, ...), objects (Math,
// Stage, Key, ...), functions (parseInt, ASSetPropFlags, ...) and constants (NaN, Infinity).
// Each is made on first use, so a clip that uses none of them costs nothing; until then
// _global holds it all the same.
namespace ScriptGlobals {

// The built-in a global name stands for; undefined for other names. The flash package is
// hidden from movies before version 8 unless hiddenToo asks for it.
// In a level that ignores case, the name may be spelled in any case.
ActionValue Global(PlayerLevel& level, const QString& name, bool hiddenToo = false);
// Whether _global holds name as its own member: a built-in not made yet counts (and is made
// now), one deleted since does not.
bool HoldsOwn(PlayerLevel& level, const QString& name);
// The flag of ASSetPropFlags that hides a member from movies before version 8.
inline constexpr int HiddenBeforeVersion8 = 4096;
// Makes every built-in now, so that a change to all of _global's members reaches them too.
void MakeAll(PlayerLevel& level);
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
ActionValue ButtonClass(PlayerLevel& level);
ActionValue TextFieldClass(PlayerLevel& level);
ActionValue TextFormatClass(PlayerLevel& level);
ActionValue TextSnapshotClass(PlayerLevel& level);
ActionValue GetTextSnapshot(NativeCall& call);
ActionValue ColorClass(PlayerLevel& level);
// Puts MovieClip's drawing methods on its prototype.
void AddDrawingMethods(NativeClass& clip);
// Puts MovieClip's frame methods (play, stop, gotoAndStop, ...) on its prototype.
void AddFrameMethods(NativeClass& clip);
// The flash package: flash.geom's Point, Rectangle, Matrix, ColorTransform and Transform.
ActionValue FlashPackage(PlayerLevel& level);
// A clip's transform property: a new Transform of the clip, and setting one copies its
// clip's matrix and colours.
ActionValue ClipTransform(NativeCall& call);
ActionValue SetClipTransform(NativeCall& call);
ActionValue MovieClipLoaderClass(PlayerLevel& level);
// MovieClip's methods that load movies into clips and tell what they loaded.
void AddLoadingMethods(NativeClass& clip);
// MovieClip.createTextField: a new empty field on this clip.
ActionValue CreateTextField(NativeCall& call);
// TextField.StyleSheet.
ActionValue StyleSheetClass(PlayerLevel& level);
// The copy duplicateMovieClip makes of a text field, at a display-list depth.
void DuplicateTextField(PlayerLevel& level, TextField& field, const QString& name, int depth);
// Stage, Key, Mouse, Selection and System; undefined for other names.
ActionValue SystemObject(PlayerLevel& level, const QString& name);
// parseInt, parseFloat, isNaN, isFinite, escape, unescape, ASSetPropFlags; undefined for
// other names.
ActionValue GlobalFunction(PlayerLevel& level, const QString& name);
// ASnative(group, index): a built-in function by its number.
ActionValue NativeByNumber(NativeCall& call);
// ASSetNative and ASSetNativeAccessor: numbered built-ins as methods or properties of an
// object.
ActionValue SetNatives(NativeCall& call);
ActionValue SetNativeAccessors(NativeCall& call);
// The names SystemObject and GlobalFunction answer.
std::vector<QString> SystemObjectNames();
std::vector<QString> GlobalFunctionNames();
} // namespace ScriptMakers
