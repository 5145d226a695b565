#include "player/script/ScriptObject.h"

#include "player/swf/SwfLimits.h"

#include <algorithm>

namespace {

const QString ProtoName = QStringLiteral("__proto__");

} // namespace

ActionValue ScriptObject::Member(const QString& name) const {
  const ScriptObject* object = this;
  // The chain is followed a bounded number of steps, so a prototype loop ends.
  for (int step = 0; object && step < SwfLimits::MaxNesting; ++step) {
    const auto found = object->Find(name);
    if (found != object->FMembers.end())
      return found->second.Value;
    const auto proto = object->FMembers.find(ProtoName);
    object = proto == object->FMembers.end() ? nullptr : proto->second.Value.Object().get();
  }
  return {};
}

void ScriptObject::SetMember(const QString& name, const ActionValue& value) {
  const auto found = Find(name);
  if (found != FMembers.end())
    FMembers[found->first].Value = value;
  else
    FMembers.emplace(name, Slot{value, FNextOrder++});
}

ScriptObject::Members::const_iterator ScriptObject::Find(const QString& name) const {
  const auto found = FMembers.find(name);
  if (found != FMembers.end() || !FIgnoreCase)
    return found;
  for (auto it = FMembers.begin(); it != FMembers.end(); ++it)
    if (it->first.compare(name, Qt::CaseInsensitive) == 0)
      return it;
  return FMembers.end();
}

std::vector<QString> ScriptObject::MemberNames() const {
  std::vector<std::pair<quint64, QString>> ordered;
  ordered.reserve(std::size_t(FMembers.size()));
  for (const auto& [name, slot] : FMembers)
    ordered.emplace_back(slot.Order, name);
  std::sort(ordered.begin(), ordered.end());
  std::vector<QString> names;
  names.reserve(ordered.size());
  for (auto& [order, name] : ordered)
    names.push_back(std::move(name));
  return names;
}

bool ScriptObject::DeleteMember(const QString& name) {
  const auto found = Find(name);
  if (found == FMembers.end())
    return false;
  RemoveMember(QString(found->first));
  return true;
}

std::shared_ptr<ScriptObject> ScriptObject::Prototype() const {
  const auto proto = FMembers.find(ProtoName);
  return proto == FMembers.end() ? nullptr : proto->second.Value.Object();
}

void ScriptObject::RemoveMember(const QString& name) {
  FMembers.erase(name);
}
