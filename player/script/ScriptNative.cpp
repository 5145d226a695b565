#include "player/script/ScriptNative.h"

#include "player/PlayerLevel.h"
#include "player/script/ScriptGlobals.h"

#include <limits>

double NativeCall::Number(std::size_t index) const {
  return Has(index) ? Runtime.ToNumber(Arguments[index]) : std::numeric_limits<double>::quiet_NaN();
}

std::shared_ptr<NativeFunction> MakeNative(PlayerLevel& level, NativeFunction::Body body) {
  return level.Adopt(std::make_shared<NativeFunction>(std::move(body)));
}

bool DefineNative(PlayerLevel& level, ScriptObject& object, const QString& name,
                  NativeFunction::Body body) {
  const auto function = MakeNative(level, std::move(body));
  if (!function)
    return false;
  object.DefineMember(name, std::static_pointer_cast<ScriptObject>(function));
  return true;
}

NativeClass::NativeClass(PlayerLevel& level, NativeFunction::Body constructor,
                         std::shared_ptr<ScriptObject> prototype)
    : FLevel(level), FConstructor(MakeNative(level, std::move(constructor))),
      FPrototype(prototype ? std::move(prototype) : level.NewObject()) {
  if (!FConstructor || !FPrototype)
    return;
  const auto constructorObject = std::static_pointer_cast<ScriptObject>(FConstructor);
  FConstructor->DefineMember(QStringLiteral("prototype"), FPrototype,
                             ScriptObject::DontEnum | ScriptObject::DontDelete);
  FPrototype->DefineMember(QStringLiteral("constructor"), constructorObject);
}

NativeClass& NativeClass::Method(const QString& name, NativeFunction::Body body) {
  if (FPrototype)
    DefineNative(FLevel, *FPrototype, name, std::move(body));
  return *this;
}

NativeClass& NativeClass::Static(const QString& name, NativeFunction::Body body) {
  if (FConstructor)
    DefineNative(FLevel, *FConstructor, name, std::move(body));
  return *this;
}

NativeClass& NativeClass::Constant(const QString& name, const ActionValue& value) {
  if (FConstructor)
    FConstructor->DefineMember(
        name, value, ScriptObject::DontEnum | ScriptObject::DontDelete | ScriptObject::ReadOnly);
  return *this;
}

NativeClass& NativeClass::Property(const QString& name, NativeFunction::Body getter,
                                   NativeFunction::Body setter) {
  if (!FPrototype)
    return *this;
  const auto read = MakeNative(FLevel, std::move(getter));
  const auto write = setter ? MakeNative(FLevel, std::move(setter)) : nullptr;
  if (!read || (setter && !write))
    return *this;
  FPrototype->DefineAccessor(name, std::static_pointer_cast<ScriptObject>(read),
                             write ? ActionValue(std::static_pointer_cast<ScriptObject>(write))
                                   : ActionValue());
  FPrototype->ChangeFlags(name, ScriptObject::DontEnum, 0);
  return *this;
}
