// Error: what scripts throw; its text is its message.
#include "player/PlayerLevel.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"

namespace ScriptMakers {

ActionValue ErrorClass(PlayerLevel& level) {
  NativeClass error(level, [](NativeCall& call) -> ActionValue {
    const auto object = call.Constructing ? call.ThisObject() : nullptr;
    if (object && call.Has(0) && !call.Arg(0).IsUndefined())
      object->SetMember(QStringLiteral("message"), call.Arg(0));
    return object ? call.This : ActionValue();
  });
  if (!error)
    return {};
  error.Prototype()->DefineMember(QStringLiteral("message"), QStringLiteral("Error"));
  error.Prototype()->DefineMember(QStringLiteral("name"), QStringLiteral("Error"));
  error.Method(QStringLiteral("toString"), [](NativeCall& call) {
    // The message as it is, converted by whoever uses it.
    return call.Runtime.GetMember(call.This, QStringLiteral("message"));
  });
  return ActionValue(std::static_pointer_cast<ScriptObject>(error.Constructor()));
}

} // namespace ScriptMakers
