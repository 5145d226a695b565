#include "player/script/ScriptClasses.h"

#include "player/PlayerLevel.h"
#include "player/script/ScriptFunction.h"
#include "player/script/ScriptGlobals.h"
#include "player/swf/SwfLimits.h"

#include <QSet>

namespace ScriptClasses {

namespace {

const QString PrototypeName = QStringLiteral("prototype");
const QString ProtoName = QStringLiteral("__proto__");
const QString ConstructorName = QStringLiteral("constructor");
const QString SuperConstructorName = QStringLiteral("__constructor__");

} // namespace

bool GivePrototype(PlayerLevel& level, ScriptFunction& function) {
  const auto prototype = level.NewObject();
  if (!prototype)
    return false;
  prototype->SetMember(ConstructorName, function.shared_from_this());
  function.SetMember(PrototypeName, prototype);
  return true;
}

std::shared_ptr<ScriptObject> NewInstance(PlayerLevel& level, const ScriptFunction* constructor) {
  const auto object = level.NewObject();
  if (object && constructor) {
    object->SetMember(ProtoName, constructor->Member(PrototypeName));
    object->SetMember(SuperConstructorName,
                      std::const_pointer_cast<ScriptObject>(constructor->shared_from_this()));
  }
  return object;
}

ActionValue SuperConstructor(const ScriptFunction& function) {
  const auto prototype = function.Member(PrototypeName).Object();
  return prototype ? prototype->Member(SuperConstructorName) : ActionValue();
}

bool Extend(PlayerLevel& level, const ActionValue& subclass, const ActionValue& superclass) {
  const auto prototype = level.NewObject();
  if (!prototype)
    return false;
  const auto sub = subclass.Object();
  const auto super = superclass.Object();
  if (sub && super) {
    prototype->SetMember(ProtoName, super->Member(PrototypeName));
    prototype->SetMember(SuperConstructorName, super);
    sub->SetMember(PrototypeName, prototype);
  }
  return true;
}

bool InstanceOf(PlayerLevel& level, const ActionValue& object, const ActionValue& constructor) {
  const auto target = constructor.Object();
  const auto instance = object.Object();
  if (!target || !instance)
    return false;
  const auto prototype = target->Member(PrototypeName).Object();
  auto current = ScriptGlobals::PrototypeOf(level, *instance);
  // The chain is followed a bounded number of steps, so a prototype loop ends.
  for (int step = 0; current && step < SwfLimits::MaxNesting; ++step) {
    if (current == prototype)
      return true;
    current = ScriptGlobals::PrototypeOf(level, *current);
  }
  return false;
}

std::vector<QString> EnumerableNames(PlayerLevel& level, const ScriptObject& object) {
  std::vector<QString> names;
  QSet<QString> seen;
  std::shared_ptr<const ScriptObject> current = object.shared_from_this();
  for (int step = 0; current && step < SwfLimits::MaxNesting; ++step) {
    for (const QString& name : current->MemberNames()) {
      const ScriptObject::Slot* slot = current->OwnSlot(name);
      const bool hidden = (slot && (slot->Flags & ScriptObject::DontEnum)) || name == ProtoName ||
                          name == SuperConstructorName;
      // A hidden member still hides the same name further down the chain.
      if (!seen.contains(name)) {
        seen.insert(name);
        if (!hidden)
          names.push_back(name);
      }
    }
    current = ScriptGlobals::PrototypeOf(level, *current);
  }
  return names;
}

} // namespace ScriptClasses
