// AsBroadcaster: gives an object a list of listeners and the methods that message them.
#include "player/PlayerLevel.h"
#include "player/script/ScriptArray.h"
#include "player/script/ScriptBuiltins.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptOperators.h"

namespace {

const QString ListenersName = QStringLiteral("_listeners");

ScriptArray* Listeners(NativeCall& call) {
  return dynamic_cast<ScriptArray*>(
      call.Runtime.GetMember(call.This, ListenersName).Object().get());
}

// Removes every entry equal to listener; whether there was one.
bool Remove(ScriptArray& listeners, const ActionValue& listener) {
  std::vector<ActionValue> kept;
  bool found = false;
  for (const ActionValue& entry : listeners.Elements()) {
    if (!found && ScriptOperators::StrictEquals(entry, listener))
      found = true;
    else
      kept.push_back(entry);
  }
  if (found) {
    listeners.SetElements(kept);
  }
  return found;
}

ActionValue AddListener(NativeCall& call) {
  ScriptArray* listeners = Listeners(call);
  if (!listeners)
    return false;
  Remove(*listeners, call.Arg(0));
  listeners->Insert(listeners->Length(), {call.Arg(0)});
  return true;
}

ActionValue RemoveListener(NativeCall& call) {
  ScriptArray* listeners = Listeners(call);
  return listeners && Remove(*listeners, call.Arg(0));
}

// broadcastMessage(name, arguments...): calls name on every listener, in the order they were
// added; listeners that change the list meanwhile do not disturb this round.
ActionValue BroadcastMessage(NativeCall& call) {
  ScriptArray* listeners = Listeners(call);
  if (!listeners || !call.Has(0))
    return {};
  const QString name = call.Text(0);
  const std::vector<ActionValue> arguments(call.Arguments.begin() + 1, call.Arguments.end());
  const std::vector<ActionValue> round = listeners->Elements();
  for (const ActionValue& listener : round) {
    if (call.Runtime.Unwinding())
      break;
    call.Runtime.CallValue(call.Runtime.GetMember(listener, name), listener, arguments);
  }
  return round.empty() ? ActionValue() : ActionValue(true);
}

ActionValue Initialize(NativeCall& call) {
  const auto target = call.Arg(0).Object();
  const auto broadcaster = call.ThisObject();
  if (!target || !broadcaster)
    return {};
  for (const char* name : {"addListener", "removeListener", "broadcastMessage"})
    target->DefineMember(QString::fromLatin1(name), broadcaster->Member(QString::fromLatin1(name)));
  target->DefineMember(ListenersName, ScriptBuiltins::NewArray(call.Level(), {}));
  return {};
}

} // namespace

namespace ScriptMakers {

ActionValue Broadcaster(PlayerLevel& level) {
  NativeClass broadcaster(level, [](NativeCall&) { return ActionValue(); });
  if (!broadcaster)
    return {};
  broadcaster.Static(QStringLiteral("initialize"), Initialize)
      .Static(QStringLiteral("addListener"), AddListener)
      .Static(QStringLiteral("removeListener"), RemoveListener)
      .Static(QStringLiteral("broadcastMessage"), BroadcastMessage);
  return ActionValue(std::static_pointer_cast<ScriptObject>(broadcaster.Constructor()));
}

} // namespace ScriptMakers
