// Object and Function: the root of every prototype chain, and the members every object and
// every function answers.
#include "player/PlayerLevel.h"
#include "player/script/ScriptArray.h"
#include "player/script/ScriptClasses.h"
#include "player/script/ScriptFunction.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/swf/SwfLimits.h"

#include <algorithm>

namespace {

bool IsFunction(const ActionValue& value) {
  const ScriptObject* object = value.Object().get();
  return dynamic_cast<const ScriptFunction*>(object) || dynamic_cast<const NativeFunction*>(object);
}

// Object(value): the object itself, a primitive boxed, or a new object.
ActionValue ObjectConstructor(NativeCall& call) {
  const ActionValue value = call.Arg(0);
  if (value.Object())
    return value;
  if (value.IsString() || value.IsNumber() || value.IsBoolean()) {
    const QString className = value.IsString()   ? QStringLiteral("String")
                              : value.IsNumber() ? QStringLiteral("Number")
                                                 : QStringLiteral("Boolean");
    const auto boxed = call.Level().Adopt(std::make_shared<BoxedValue>(value));
    if (!boxed)
      return {};
    if (const auto prototype = ScriptGlobals::Prototype(call.Level(), className))
      boxed->DefineMember(QStringLiteral("__proto__"), prototype);
    return ActionValue(std::static_pointer_cast<ScriptObject>(boxed));
  }
  if (call.Constructing && call.This.Object())
    return call.This;
  return ActionValue(call.Level().NewObject());
}

ActionValue HasOwnProperty(NativeCall& call) {
  const auto object = call.ThisObject();
  if (!object || !call.Has(0))
    return false;
  if (object == call.Level().Global())
    return ScriptGlobals::HoldsOwn(call.Level(), call.Text(0));
  return object->HasOwnMember(call.Text(0));
}

ActionValue IsPrototypeOf(NativeCall& call) {
  const auto prototype = call.ThisObject();
  const auto object = call.Arg(0).Object();
  if (!prototype || !object)
    return false;
  auto current = ScriptGlobals::PrototypeOf(call.Level(), *object);
  for (int step = 0; current && step < SwfLimits::MaxNesting; ++step) {
    if (current == prototype)
      return true;
    current = ScriptGlobals::PrototypeOf(call.Level(), *current);
  }
  return false;
}

ActionValue PropertyIsEnumerable(NativeCall& call) {
  const auto object = call.ThisObject();
  if (!object)
    return false;
  // Members the player computes (an array's length, a clip's properties) are never listed.
  const ScriptObject::Slot* slot = object->OwnSlot(call.Text(0));
  return slot && !(slot->Flags & ScriptObject::DontEnum);
}

// addProperty(name, getter, setter): the setter may be null for a read-only property.
ActionValue AddProperty(NativeCall& call) {
  const auto object = call.ThisObject();
  const QString name = call.Text(0);
  const ActionValue setter = call.Arg(2);
  if (!object || name.isEmpty() || !IsFunction(call.Arg(1)) ||
      !(IsFunction(setter) || setter.IsNull()))
    return false;
  object->DefineAccessor(name, call.Arg(1), setter.IsNull() ? ActionValue() : setter);
  return true;
}

ActionValue ObjectToString(NativeCall& call) {
  const auto object = call.ThisObject();
  if (object &&
      (dynamic_cast<ScriptFunction*>(object.get()) || dynamic_cast<NativeFunction*>(object.get())))
    return QStringLiteral("[type Function]");
  return QStringLiteral("[object Object]");
}

// watch(name, callback, data): the callback decides every later assignment of name.
ActionValue Watch(NativeCall& call) {
  const auto object = call.ThisObject();
  if (!object || !call.Has(0) || !IsFunction(call.Arg(1)))
    return false;
  object->Watch(call.Text(0), call.Arg(1), call.Arg(2));
  return true;
}

ActionValue Unwatch(NativeCall& call) {
  const auto object = call.ThisObject();
  return object && call.Has(0) && object->Unwatch(call.Text(0));
}

ActionValue RegisterClass(NativeCall& call) {
  if (call.Arguments.size() < 2)
    return false;
  const ActionValue constructor = call.Arg(1);
  call.Level().RegisterClass(call.Text(0),
                             IsFunction(constructor) ? constructor.Object() : nullptr);
  return true;
}

// f.call(self, a, b) and f.apply(self, [a, b]).
// The this of call and apply: an undefined one is _global.
ActionValue CalledThis(NativeCall& call) {
  return call.Arg(0).IsUndefined() ? ActionValue(call.Level().Global()) : call.Arg(0);
}

ActionValue CallFunction(NativeCall& call) {
  const ScriptRuntime::Arguments arguments(call.Arguments.size() > 1 ? call.Arguments.begin() + 1
                                                                     : call.Arguments.end(),
                                           call.Arguments.end());
  return call.Runtime.CallValue(call.This, CalledThis(call), arguments);
}

ActionValue ApplyFunction(NativeCall& call) {
  ScriptRuntime::Arguments arguments;
  const ActionValue list = call.Arg(1);
  if (const auto* array = dynamic_cast<const ScriptArray*>(list.Object().get())) {
    arguments = array->Elements();
  } else if (list.Object()) {
    // Any object with a length serves as the list, read by index.
    const double length =
        call.Runtime.ToNumber(call.Runtime.GetMember(list, QStringLiteral("length")));
    const int count = length > 0 ? int(std::min(length, double(SwfLimits::MaxStackDepth))) : 0;
    for (int i = 0; i < count && !call.Runtime.Unwinding(); ++i)
      arguments.push_back(call.Runtime.GetMember(list, QString::number(i)));
  }
  return call.Runtime.CallValue(call.This, CalledThis(call), arguments);
}

} // namespace

namespace ScriptMakers {

ActionValue ObjectClass(PlayerLevel& level) {
  // Object's prototype ends every chain, so it is made without one.
  NativeClass object(level, ObjectConstructor, level.Adopt(std::make_shared<ScriptObject>()));
  if (!object)
    return {};
  object.Method(QStringLiteral("hasOwnProperty"), HasOwnProperty)
      .Method(QStringLiteral("isPrototypeOf"), IsPrototypeOf)
      .Method(QStringLiteral("propertyIsEnumerable"), PropertyIsEnumerable)
      .Method(QStringLiteral("isPropertyEnumerable"), PropertyIsEnumerable)
      .Method(QStringLiteral("addProperty"), AddProperty)
      .Method(QStringLiteral("watch"), Watch)
      .Method(QStringLiteral("unwatch"), Unwatch)
      .Method(QStringLiteral("toString"), ObjectToString)
      .Method(QStringLiteral("toLocaleString"), ObjectToString)
      .Method(QStringLiteral("valueOf"), [](NativeCall& call) { return call.This; })
      .Static(QStringLiteral("registerClass"), RegisterClass);
  return ActionValue(std::static_pointer_cast<ScriptObject>(object.Constructor()));
}

ActionValue FunctionClass(PlayerLevel& level) {
  // Function(x) gives x back, and Function() a new bare object; a function cannot be made
  // from text.
  NativeClass function(level, [](NativeCall& call) {
    if (call.Has(0) || call.Constructing)
      return call.Arg(0);
    const auto bare = call.Level().NewObject();
    if (bare) {
      bare->DeleteMember(QStringLiteral("__proto__"));
      bare->MakeBare();
    }
    return bare ? ActionValue(bare) : ActionValue();
  });
  if (!function)
    return {};
  function.Method(QStringLiteral("call"), CallFunction)
      .Method(QStringLiteral("apply"), ApplyFunction);
  return ActionValue(std::static_pointer_cast<ScriptObject>(function.Constructor()));
}

} // namespace ScriptMakers
