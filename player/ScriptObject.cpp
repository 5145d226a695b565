#include "player/ScriptObject.h"

#include "player/SwfLimits.h"

#include <algorithm>

namespace {

const QString ProtoName = QStringLiteral("__proto__");

} // namespace

ActionValue ScriptObject::Member(const QString& name) const {
  const ScriptObject* object = this;
  // The chain is followed a bounded number of steps, so a prototype loop ends.
  for (int step = 0; object && step < SwfLimits::MaxNesting; ++step) {
    const auto found = object->FMembers.constFind(name);
    if (found != object->FMembers.constEnd())
      return *found;
    const auto proto = object->FMembers.constFind(ProtoName);
    object = proto == object->FMembers.constEnd() ? nullptr : proto->Object().get();
  }
  return {};
}

void ScriptObject::SetMember(const QString& name, const ActionValue& value) {
  const auto found = FMembers.find(name);
  if (found != FMembers.end()) {
    *found = value;
    return;
  }
  FMembers.insert(name, value);
  FOrder.push_back(name);
}

bool ScriptObject::DeleteMember(const QString& name) {
  if (!FMembers.contains(name))
    return false;
  RemoveMember(name);
  return true;
}

std::shared_ptr<ScriptObject> ScriptObject::Prototype() const {
  return FMembers.value(ProtoName).Object();
}

void ScriptObject::RemoveMember(const QString& name) {
  if (FMembers.remove(name) > 0)
    FOrder.erase(std::find(FOrder.begin(), FOrder.end(), name));
}
