// ASnative(group, index): the player's own functions by number, as its built-in classes are
// assembled from them. Known are the global functions (group 100), Object's methods (group
// 101), Date's local-time methods (group 103) and Math (group 200).
// ASSetNative and ASSetNativeAccessor put a numbered run of them on an object as methods or
// as getter and setter properties.
#include "player/PlayerLevel.h"
#include "player/PlayerStage.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptOperators.h"

#include <limits>

namespace {

constexpr int GlobalFunctions = 100, ObjectMethods = 101, DateMethods = 103, MathFunctions = 200;

// Object's methods in the order of their numbers.
const char* const ObjectNames[] = {
    "watch",    "unwatch",        "addProperty",   "valueOf",
    "toString", "hasOwnProperty", "isPrototypeOf", "isPropertyEnumerable"};

// Date's methods in the order of their numbers.
const char* const DateNames[] = {
    "getFullYear",     "getYear",    "getMonth",   "getDate",          "getDay",
    "getHours",        "getMinutes", "getSeconds", "getMilliseconds",  "setFullYear",
    "setMonth",        "setDate",    "setHours",   "setMinutes",       "setSeconds",
    "setMilliseconds", "getTime",    "setTime",    "getTimezoneOffset"};

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

// The method numbered index of a class's prototype; undefined past the names.
template <std::size_t Count>
ActionValue PrototypeMethod(NativeCall& call, const QString& className,
                            const char* const (&names)[Count], qint32 index) {
  const auto prototype = ScriptGlobals::Prototype(call.Level(), className);
  return prototype && index >= 0 && std::size_t(index) < Count
             ? prototype->Member(QString::fromLatin1(names[index]))
             : ActionValue();
}

ActionValue NativeAt(NativeCall& call, qint32 group, qint32 index) {
  if (group == MathFunctions)
    return MathFunction(call, index);
  if (group == ObjectMethods)
    return PrototypeMethod(call, QStringLiteral("Object"), ObjectNames, index);
  if (group == DateMethods)
    return PrototypeMethod(call, QStringLiteral("Date"), DateNames, index);
  if (group != GlobalFunctions)
    return {};
  const char* const names[] = {"escape", "unescape", "parseInt", "parseFloat"};
  if (index >= 0 && index < int(std::size(names)))
    return ScriptGlobals::Global(call.Level(), QString::fromLatin1(names[index]));
  if (index == 4)
    return ActionValue(std::static_pointer_cast<ScriptObject>(MakeNative(call.Level(), Trace)));
  return {};
}

// A name of ASSetNative's list: it may begin with the movie version its member is made for,
// "6" to "9" or "10" ("1" for any); one for a newer version than the movie's is unreadable.
struct NativeName {
  QString Name;
  bool Readable = true;
};

NativeName ParseNativeName(const QString& entry, int version) {
  if (entry.startsWith(u"10"))
    return {entry.sliced(2), version >= 10};
  if (entry.startsWith(u'1'))
    return {entry.sliced(1), true};
  if (!entry.isEmpty() && entry[0] >= u'6' && entry[0] <= u'9')
    return {entry.sliced(1), version >= entry[0].unicode() - u'0'};
  return {entry, true};
}

// ASSetNative(object, group, names, first) and ASSetNativeAccessor: each name of the list
// (separated by commas) takes the function numbered first and up in group, an empty name
// still taking its number. A method replaces the value of a member the object has and keeps
// its attributes; a property replaces the member, one function serving as getter and setter.
void DefineNatives(NativeCall& call, bool accessors) {
  const auto object = call.Arg(0).Object();
  if (call.Arguments.size() < 3 || !object)
    return;
  const qint32 group = ScriptOperators::ToInt32(call.Runtime.ToNumber(call.Arg(1)));
  const QString names = call.Runtime.ToText(call.Arg(2));
  qint32 index = call.Has(3) ? ScriptOperators::ToInt32(call.Runtime.ToNumber(call.Arg(3))) : 0;
  if (call.Runtime.Unwinding())
    return;
  for (const QString& entry : names.split(u',')) {
    const qint32 number = index++;
    const NativeName parsed = ParseNativeName(entry, call.Version());
    if (parsed.Name.isEmpty())
      continue;
    const ActionValue function = NativeAt(call, group, number);
    const int flags = parsed.Readable ? 0 : ScriptObject::Unreadable;
    if (accessors) {
      object->DefineAccessor(parsed.Name, function, function);
      object->ChangeFlags(parsed.Name, flags, 0);
    } else if (object->HasOwnMember(parsed.Name)) {
      object->SetMember(parsed.Name, function);
    } else {
      object->DefineMember(parsed.Name, function, flags);
    }
  }
}

} // namespace

namespace ScriptMakers {

ActionValue NativeByNumber(NativeCall& call) {
  if (call.Arguments.size() != 2)
    return {};
  const qint32 group = ScriptOperators::ToInt32(call.Number(0));
  const qint32 index = ScriptOperators::ToInt32(call.Number(1));
  return NativeAt(call, group, index);
}

ActionValue SetNatives(NativeCall& call) {
  DefineNatives(call, false);
  return {};
}

ActionValue SetNativeAccessors(NativeCall& call) {
  DefineNatives(call, true);
  return {};
}

} // namespace ScriptMakers
