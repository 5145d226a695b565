// ASnative(group, index): the player's own functions by number, as its built-in classes are
// assembled from them. Known are the global functions (group 100), Object's methods (group
// 101) and Math (group 200).
#include "player/PlayerLevel.h"
#include "player/PlayerStage.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptOperators.h"

#include <limits>

namespace {

constexpr int GlobalFunctions = 100, ObjectMethods = 101, MathFunctions = 200;

// Object.prototype's methods in the order of their numbers.
const char* const ObjectMethodNames[] = {
    "watch",    "unwatch",        "addProperty",   "valueOf",
    "toString", "hasOwnProperty", "isPrototypeOf", "propertyIsEnumerable"};

// Math's functions in the order of their numbers.
const char* const MathNames[] = {"abs",   "min",  "max",  "sin",  "cos",   "atan2",
                                 "tan",   "exp",  "log",  "sqrt", "round", "random",
                                 "floor", "ceil", "atan", "asin", "acos",  "pow"};

ActionValue Trace(NativeCall& call) {
  const ActionValue value = call.Arg(0);
  call.Runtime.Stage().SendTrace(value.IsUndefined() ? QStringLiteral("undefined")
                                                     : call.Runtime.ToText(value));
  return {};
}

ActionValue MathFunction(NativeCall& call, int index) {
  if (index >= 0 && index < int(std::size(MathNames))) {
    const auto math = ScriptGlobals::Global(call.Level(), QStringLiteral("Math")).Object();
    return math ? math->Member(QString::fromLatin1(MathNames[index])) : ActionValue();
  }
  // Numbers Math does not use still give a function: it converts two arguments and gives NaN.
  return ActionValue(std::static_pointer_cast<ScriptObject>(
      MakeNative(call.Level(), [](NativeCall& inner) -> ActionValue {
        for (std::size_t i = 0; i < std::min<std::size_t>(inner.Arguments.size(), 2); ++i)
          inner.Number(i);
        return std::numeric_limits<double>::quiet_NaN();
      })));
}

ActionValue ObjectMethod(NativeCall& call, int index) {
  if (index < 0 || index >= int(std::size(ObjectMethodNames)))
    return {};
  const auto prototype = ScriptGlobals::Prototype(call.Level(), QStringLiteral("Object"));
  const ScriptObject::Slot* slot =
      prototype ? prototype->OwnSlot(QString::fromLatin1(ObjectMethodNames[index])) : nullptr;
  return slot ? slot->Plain() : ActionValue();
}

} // namespace

namespace ScriptMakers {

ActionValue NativeByNumber(NativeCall& call) {
  if (call.Arguments.size() != 2)
    return {};
  const qint32 group = ScriptOperators::ToInt32(call.Number(0));
  const qint32 index = ScriptOperators::ToInt32(call.Number(1));
  if (group == MathFunctions)
    return MathFunction(call, index);
  if (group == ObjectMethods)
    return ObjectMethod(call, index);
  if (group != GlobalFunctions)
    return {};
  const char* const names[] = {"escape", "unescape", "parseInt", "parseFloat"};
  if (index >= 0 && index < int(std::size(names)))
    return ScriptGlobals::Global(call.Level(), QString::fromLatin1(names[index]));
  if (index == 4)
    return ActionValue(std::static_pointer_cast<ScriptObject>(MakeNative(call.Level(), Trace)));
  return {};
}

} // namespace ScriptMakers
