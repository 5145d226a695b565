#include "player/script/ScriptObject.h"

#include "player/swf/SwfLimits.h"

#include <algorithm>

namespace {

const QString ProtoName = QStringLiteral("__proto__");

} // namespace

ActionValue ScriptObject::Member(const QString& name) const {
  const Slot* slot = FindSlot(name);
  return slot ? slot->Plain() : ActionValue();
}

const ScriptObject::Slot* ScriptObject::FindSlot(const QString& name,
                                                 const ScriptObject** holder) const {
  const ScriptObject* object = this;
  // The chain is followed a bounded number of steps, so a prototype loop ends.
  for (int step = 0; object && step < SwfLimits::MaxNesting; ++step) {
    const auto found = object->Find(name);
    if (found != object->FMembers.end() && !(found->second.Flags & Unreadable)) {
      if (holder)
        *holder = object;
      return &found->second;
    }
    const auto proto = object->FMembers.find(ProtoName);
    object = proto == object->FMembers.end() ? nullptr : proto->second.Value.Object().get();
  }
  return nullptr;
}

const ScriptObject::Slot* ScriptObject::OwnSlot(const QString& name) const {
  const auto found = Find(name);
  return found == FMembers.end() ? nullptr : &found->second;
}

void ScriptObject::SetMember(const QString& name, const ActionValue& value) {
  const auto found = Find(name);
  if (found == FMembers.end()) {
    FMembers.emplace(name, Slot{value, FNextOrder++, 0, {}, {}});
    return;
  }
  Slot& slot = FMembers[found->first];
  if (!(slot.Flags & ReadOnly))
    slot.Value = value;
}

void ScriptObject::DefineMember(const QString& name, const ActionValue& value, int flags) {
  const auto found = Find(name);
  if (found == FMembers.end()) {
    FMembers.emplace(name, Slot{value, FNextOrder++, flags, {}, {}});
    return;
  }
  Slot& slot = FMembers[found->first];
  slot = Slot{value, slot.Order, flags, {}, {}};
}

void ScriptObject::DefineAccessor(const QString& name, const ActionValue& getter,
                                  const ActionValue& setter) {
  const auto existing = Find(name);
  DefineMember(name, existing != FMembers.end() ? existing->second.Value : ActionValue(), 0);
  Slot& slot = FMembers[Find(name)->first];
  slot.Getter = getter;
  slot.Setter = setter;
}

void ScriptObject::KeepAccessorValue(const QString& name, quint64 order, const ActionValue& value) {
  const auto found = Find(name);
  if (found == FMembers.end() || found->second.Order != order || !found->second.IsAccessor())
    return;
  FMembers[found->first].Value = value;
}

void ScriptObject::ChangeFlags(const QString& name, int set, int clear) {
  const auto found = Find(name);
  if (found == FMembers.end())
    return;
  Slot& slot = FMembers[found->first];
  slot.Flags = (slot.Flags & ~clear) | set;
}

bool ScriptObject::IsReadOnly(const QString& name) const {
  const Slot* slot = FindSlot(name);
  return slot && (slot->Flags & ReadOnly);
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
  if (found == FMembers.end() || (found->second.Flags & DontDelete))
    return false;
  if (found->first == ProtoName)
    FBare = true;
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

void ScriptObject::Watch(const QString& name, const ActionValue& callback,
                         const ActionValue& data) {
  if (!FWatchers)
    FWatchers = std::make_unique<std::unordered_map<QString, Watcher>>();
  (*FWatchers)[name] = Watcher{callback, data};
}

bool ScriptObject::Unwatch(const QString& name) {
  return FWatchers && FWatchers->erase(name) > 0;
}

const std::vector<ActionValue>& ScriptObject::Interfaces() const {
  static const std::vector<ActionValue> None;
  return FInterfaces ? *FInterfaces : None;
}

void ScriptObject::SetInterfaces(std::vector<ActionValue> prototypes) {
  FInterfaces = std::make_unique<std::vector<ActionValue>>(std::move(prototypes));
}

const ScriptObject::Watcher* ScriptObject::FindWatcher(const QString& name) const {
  if (!FWatchers)
    return nullptr;
  const auto found = FWatchers->find(name);
  return found == FWatchers->end() ? nullptr : &found->second;
}
