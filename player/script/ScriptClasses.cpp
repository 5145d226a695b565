#include "player/script/ScriptClasses.h"

#include "player/MovieClip.h"
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

bool IsUnloadedClip(const ScriptObject& object) {
  const auto* clip = dynamic_cast<const MovieClip*>(&object);
  return clip && clip->IsUnloaded();
}

// The prototype a class holds itself, as stored; a clip taken off the stage holds none.
ActionValue OwnPrototype(const ScriptObject& object) {
  if (IsUnloadedClip(object))
    return {};
  if (const ScriptObject::Slot* slot = object.OwnSlot(PrototypeName))
    return slot->Value;
  return object.HasOwnMember(PrototypeName) ? object.Member(PrototypeName) : ActionValue();
}

// Whether candidate is prototype or implements it through its interfaces, nested ones too.
bool IsOrImplements(const ScriptObject& candidate, const ScriptObject& prototype, int depth) {
  if (&candidate == &prototype)
    return true;
  if (depth >= SwfLimits::MaxNesting)
    return false;
  for (const ActionValue& implemented : candidate.Interfaces())
    if (const auto next = implemented.Object(); next && IsOrImplements(*next, prototype, depth + 1))
      return true;
  return false;
}

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
    // A prototype beneath a getter is taken as stored: making an instance runs no getter.
    const ScriptObject::Slot* own = constructor->OwnSlot(PrototypeName);
    object->SetMember(ProtoName, own ? own->Value : constructor->Member(PrototypeName));
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

bool InstanceOf(PlayerLevel& level, const ActionValue& object, const ActionValue& constructor,
                const ObjectMaker& makeObject) {
  const auto instance = object.Object();
  if (!instance)
    return false;
  const ActionValue target = constructor.Object() ? constructor : makeObject(constructor);
  if (!target.Object())
    return false;
  ActionValue prototypeValue = OwnPrototype(*target.Object());
  if (!prototypeValue.Object())
    prototypeValue = makeObject(prototypeValue);
  const auto prototype = prototypeValue.Object();
  // A clip as a prototype matches nothing, and a clip taken off the stage inherits nothing.
  if (!prototype || dynamic_cast<const MovieClip*>(prototype.get()) || IsUnloadedClip(*instance))
    return false;
  auto current = ScriptGlobals::PrototypeOf(level, *instance);
  // The chain is followed a bounded number of steps, so a prototype loop ends.
  for (int step = 0; current && step < SwfLimits::MaxNesting; ++step) {
    if (IsOrImplements(*current, *prototype, 0))
      return true;
    current = ScriptGlobals::PrototypeOf(level, *current);
  }
  return false;
}

void Implement(const ActionValue& constructor, const std::vector<ActionValue>& interfaces) {
  const auto target = constructor.Object();
  const auto prototype = target ? OwnPrototype(*target).Object() : nullptr;
  if (!prototype || !prototype->Interfaces().empty() || interfaces.empty())
    return;
  // Each entry counts, one that is no class too: it holds the place of a prototype.
  std::vector<ActionValue> prototypes;
  prototypes.reserve(interfaces.size());
  for (const ActionValue& implemented : interfaces)
    prototypes.push_back(implemented.Object() ? OwnPrototype(*implemented.Object())
                                              : ActionValue());
  prototype->SetInterfaces(std::move(prototypes));
}

ActionValue InheritedValue(PlayerLevel& level, const ScriptObject& object, const QString& name) {
  std::shared_ptr<const ScriptObject> current = object.shared_from_this();
  for (int step = 0; current && step < SwfLimits::MaxNesting; ++step) {
    if (const ScriptObject::Slot* slot = current->OwnSlot(name))
      return slot->Plain();
    current = ScriptGlobals::PrototypeOf(level, *current);
  }
  return {};
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
