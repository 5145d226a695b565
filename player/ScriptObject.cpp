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
    const auto found = object->Find(name);
    if (found != object->FMembers.constEnd())
      return found->Value;
    const auto proto = object->FMembers.constFind(ProtoName);
    object = proto == object->FMembers.constEnd() ? nullptr : proto->Value.Object().get();
  }
  return {};
}

void ScriptObject::SetMember(const QString& name, const ActionValue& value) {
  const auto found = Find(name);
  if (found != FMembers.constEnd())
    FMembers[found.key()].Value = value;
  else
    FMembers.insert(name, {value, FNextOrder++});
}

ScriptObject::Members::const_iterator ScriptObject::Find(const QString& name) const {
  const auto found = FMembers.constFind(name);
  if (found != FMembers.constEnd() || !FIgnoreCase)
    return found;
  for (auto it = FMembers.constBegin(); it != FMembers.constEnd(); ++it)
    if (it.key().compare(name, Qt::CaseInsensitive) == 0)
      return it;
  return FMembers.constEnd();
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
  const auto found = Find(name);
  if (found == FMembers.constEnd())
    return false;
  RemoveMember(QString(found.key()));
  return true;
}

std::shared_ptr<ScriptObject> ScriptObject::Prototype() const {
  return FMembers.value(ProtoName).Value.Object();
}

void ScriptObject::RemoveMember(const QString& name) {
  FMembers.remove(name);
}
