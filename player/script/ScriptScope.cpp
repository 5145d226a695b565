#include "player/script/ScriptScope.h"

#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/PlayerStage.h"
#include "player/script/ScriptFunction.h"
#include "player/script/ScriptGlobals.h"
#include "player/swf/SwfLimits.h"

namespace {

const QString LevelPrefix = QStringLiteral("_level");

// The level number of a "_levelN" name, or -1.
int LevelNumber(QStringView name) {
  if (!name.startsWith(LevelPrefix) || name.size() == LevelPrefix.size() || name.size() > 16)
    return -1;
  for (const QChar c : name.sliced(LevelPrefix.size()))
    if (c < u'0' || c > u'9')
      return -1;
  return name.sliced(LevelPrefix.size()).toInt();
}

bool IsPath(const QString& name) {
  for (const QChar c : name)
    if (c == u'.' || c == u'/' || c == u':')
      return true;
  return false;
}

} // namespace

ActionValue ScriptScope::MemberOf(const ActionValue& base, const QString& name) {
  if (const auto object = base.Object())
    return object->Member(name);
  if (base.IsString() && name == u"length")
    return double(base.ToString().size());
  return {};
}

ActionValue ScriptScope::Inherited(const ScriptObject& object, const QString& name) const {
  auto current = ScriptGlobals::PrototypeOf(FEnvironment.Level, object);
  for (int step = 0; current && step < SwfLimits::MaxNesting; ++step) {
    if (const ScriptObject::Slot* slot = current->OwnSlot(name))
      return slot->Value;
    current = ScriptGlobals::PrototypeOf(FEnvironment.Level, *current);
  }
  return {};
}

ActionValue ScriptScope::Get(const QString& name) const {
  if (!IsPath(name))
    return Lookup(name);
  QString member;
  if (name.contains(u':') || name.contains(u'/')) {
    if (!name.contains(u':'))
      return ActionValue(ResolveTarget(name));
    const auto owner = Owner(name, member);
    return owner ? owner->Member(member) : ActionValue();
  }
  return Walk(name, {});
}

void ScriptScope::Set(const QString& name, const ActionValue& value) const {
  QString member = name;
  std::shared_ptr<ScriptObject> owner;
  if (name.contains(u':') || name.contains(u'/')) {
    owner = Owner(name, member);
  } else if (const qsizetype dot = name.lastIndexOf(u'.'); dot >= 0) {
    owner = Walk(QStringView(name).first(dot), {}).Object();
    member = name.sliced(dot + 1);
  } else {
    owner = Holder(name);
    if (!owner)
      owner = FFrame.Target;
  }
  if (owner)
    owner->SetMember(member, value);
}

void ScriptScope::DefineLocal(const QString& name, const ActionValue& value) const {
  if (FFrame.Activation)
    FFrame.Activation->SetMember(name, value);
  else
    FFrame.Target->SetMember(name, value);
}

bool ScriptScope::Delete(const QString& name) const {
  const auto holder = Holder(name);
  return holder && holder->DeleteMember(name);
}

std::shared_ptr<ScriptObject> ScriptScope::ResolveTarget(const QString& path) const {
  if (path.isEmpty())
    return FFrame.Target;
  ActionValue current;
  QStringView rest = path;
  if (rest.startsWith(u'/')) {
    current = ActionValue(FEnvironment.Stage.LevelRoot(FFrame.Target->Level()));
    rest = rest.sliced(1);
  }
  for (const QStringView part : rest.tokenize(u'/', Qt::SkipEmptyParts)) {
    if (part == u"..") {
      const auto clip = current.IsUndefined() ? FFrame.Target : current.Object();
      current = clip ? clip->Member(QStringLiteral("_parent")) : ActionValue();
    } else if (current.IsUndefined()) {
      current = Walk(part, {});
    } else {
      current = Walk(part, current);
    }
    if (current.IsUndefined())
      return nullptr;
  }
  return current.IsUndefined() ? FFrame.Target : current.Object();
}

ActionValue ScriptScope::Lookup(const QString& name) const {
  if (name.startsWith(u'_')) {
    if (name == u"_root")
      return ActionValue(FEnvironment.Stage.LevelRoot(FFrame.Target->Level()));
    // Movies before version 6 have no _global.
    if (name == u"_global")
      return FEnvironment.Level.Movie().Version >= 6 ? ActionValue(FEnvironment.Level.Global())
                                                     : ActionValue();
    if (const int level = LevelNumber(name); level >= 0)
      return ActionValue(FEnvironment.Stage.LevelRoot(level));
  } else if (name == u"this") {
    return ActionValue(FFrame.This);
  }
  if (const auto holder = Holder(name))
    return holder->Member(name);
  const ActionValue timeline = FFrame.Target->Member(name);
  if (!timeline.IsUndefined())
    return timeline;
  if (const ActionValue inherited = Inherited(*FFrame.Target, name); !inherited.IsUndefined())
    return inherited;
  const ActionValue global = FEnvironment.Level.Global()->Member(name);
  if (!global.IsUndefined())
    return global;
  return ScriptGlobals::Global(FEnvironment.Level, name);
}

std::shared_ptr<ScriptObject> ScriptScope::Holder(const QString& name) const {
  for (auto it = FFrame.With.rbegin(); it != FFrame.With.rend(); ++it)
    if (!(*it)->Member(name).IsUndefined())
      return *it;
  if (FFrame.Activation && FFrame.Activation->HasOwnMember(name))
    return FFrame.Activation;
  for (auto it = FFrame.Scope.rbegin(); it != FFrame.Scope.rend(); ++it)
    if ((*it)->HasOwnMember(name))
      return *it;
  if (FFrame.Target->HasOwnMember(name))
    return FFrame.Target;
  return nullptr;
}

ActionValue ScriptScope::Walk(QStringView path, ActionValue base) const {
  bool first = base.IsUndefined();
  for (const QStringView segment : path.tokenize(u'.', Qt::SkipEmptyParts)) {
    base = first ? Lookup(segment.toString()) : Step(base, segment.toString());
    if (base.IsUndefined())
      return {};
    first = false;
  }
  return base;
}

ActionValue ScriptScope::Step(const ActionValue& base, const QString& segment) const {
  if (const int level = LevelNumber(segment); level >= 0)
    return ActionValue(FEnvironment.Stage.LevelRoot(level));
  if (segment == u"_root")
    if (const auto* clip = dynamic_cast<const MovieClip*>(base.Object().get()))
      return ActionValue(FEnvironment.Stage.LevelRoot(clip->Level()));
  const ActionValue member = MemberOf(base, segment);
  if (!member.IsUndefined())
    return member;
  const auto object = base.Object();
  return object ? Inherited(*object, segment) : ActionValue();
}

std::shared_ptr<ScriptObject> ScriptScope::Owner(const QString& name, QString& member) const {
  const qsizetype colon = name.lastIndexOf(u':');
  const qsizetype split = colon >= 0 ? colon : name.lastIndexOf(u'/');
  member = name.sliced(split + 1);
  const QString path = name.first(split);
  return path.isEmpty() && colon < 0 ? FEnvironment.Stage.LevelRoot(FFrame.Target->Level())
                                     : ResolveTarget(path);
}
