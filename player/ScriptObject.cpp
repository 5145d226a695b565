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
      return found->Value;
    const auto proto = object->FMembers.constFind(ProtoName);
    object = proto == object->FMembers.constEnd() ? nullptr : proto->Value.Object().get();
  }
  return {};
}

void ScriptObject::SetMember(const QString& name, const ActionValue& value) {
  const auto found = FMembers.find(name);
  if (found != FMembers.end())
    found->Value = value;
  else
    FMembers.insert(name, {value, FNextOrder++});
}

std::vector<QString> ScriptObject::MemberNames() const {
  std::vector<std::pair<quint64, QString>> ordered;
  ordered.reserve(std::size_t(FMembers.size()));
  for (auto it = FMembers.constBegin(); it != FMembers.constEnd(); ++it)
    ordered.emplace_back(it->Order, it.key());
  std::sort(ordered.begin(), ordered.end());
  std::vector<QString> names;
  names.reserve(ordered.size());
  for (auto& [order, name] : ordered)
    names.push_back(std::move(name));
  return names;
}

bool ScriptObject::DeleteMember(const QString& name) {
  if (!FMembers.contains(name))
    return false;
  RemoveMember(name);
  return true;
}

std::shared_ptr<ScriptObject> ScriptObject::Prototype() const {
  return FMembers.value(ProtoName).Value.Object();
}

void ScriptObject::RemoveMember(const QString& name) {
  FMembers.remove(name);
}
