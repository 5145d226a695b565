#include "player/script/ScriptScope.h"

#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/PlayerStage.h"
#include "player/script/ScriptFunction.h"
#include "player/script/ScriptGlobals.h"
#include "player/swf/SwfLimits.h"

namespace {

const QString LevelPrefix = QStringLiteral("_level");

// The level number of a "_levelN" name, or -1; caseSensitivity as the movie names things.
int LevelNumber(QStringView name, Qt::CaseSensitivity caseSensitivity) {
  if (!name.startsWith(LevelPrefix, caseSensitivity) || name.size() == LevelPrefix.size() ||
      name.size() > 16)
    return -1;
  for (const QChar c : name.sliced(LevelPrefix.size()))
    if (c < u'0' || c > u'9')
      return -1;
  return name.sliced(LevelPrefix.size()).toInt();
}

// A path of slashes alone, without a colon or a dot.
bool IsSlashPath(const QString& name) {
  return name.contains(u'/') && !name.contains(u':') && !name.contains(u'.');
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
  // Slashes alone make a variable's name first, a target path only when no variable has it.
  if (IsSlashPath(name)) {
    if (const ActionValue plain = Lookup(name); !plain.IsUndefined())
      return plain;
    return ActionValue(ResolveTarget(name));
  }
  QString member;
  const auto owner = Owner(name, member);
  return owner ? Step(ActionValue(owner), member, false) : ActionValue();
}

void ScriptScope::Set(const QString& name, const ActionValue& value) const {
  QString member = name;
  std::shared_ptr<ScriptObject> owner;
  if (IsPath(name) && !IsSlashPath(name)) {
    owner = Owner(name, member);
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
  return ResolvePath(path, false).Object();
}

ActionValue ScriptScope::ResolvePath(QStringView path, bool variablePath) const {
  if (path.isEmpty())
    return ActionValue(std::static_pointer_cast<ScriptObject>(FFrame.Target));
  // One colon may end a path ("clip:"), two name nothing.
  if (path.endsWith(u"::"))
    return {};
  ActionValue current; // undefined while at the start, relative to the current target
  // Parts run between slashes and colons; dots part names too until the first slash.
  bool afterSlash = false;
  if (path.startsWith(u'/')) {
    current = ActionValue(std::static_pointer_cast<ScriptObject>(FFrame.Target->RootClip()));
    path = path.sliced(1);
    afterSlash = true;
  }
  for (qsizetype at = 0; at <= path.size();) {
    qsizetype end = at;
    while (end < path.size() && path[end] != u'/' && path[end] != u':')
      ++end;
    const QStringView part = path.sliced(at, end - at);
    if (part == u"..") {
      const auto clip = current.IsUndefined() ? FFrame.Target : current.Object();
      current = clip ? clip->Member(QStringLiteral("_parent")) : ActionValue();
      if (current.IsUndefined())
        return {};
    } else if (!part.isEmpty()) {
      const QList<QStringView> names = afterSlash ? QList<QStringView>{part} : part.split(u'.');
      for (qsizetype i = 0; i < names.size(); ++i) {
        // "a." is "a"; "a..b" names nothing.
        if (names[i].isEmpty()) {
          if (i + 1 == names.size())
            break;
          return {};
        }
        const QString name = names[i].toString();
        current = current.IsUndefined() ? First(name, variablePath) : Step(current, name, true);
        if (current.IsUndefined())
          return {};
      }
    }
    afterSlash = afterSlash || (end < path.size() && path[end] == u'/');
    at = end + 1;
  }
  return current.IsUndefined() ? ActionValue(std::static_pointer_cast<ScriptObject>(FFrame.Target))
                               : current;
}

Qt::CaseSensitivity ScriptScope::NameCase() const {
  // Movies before version 7 ignore the case of names, the player's own included.
  return FEnvironment.Version < 7 ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

ActionValue ScriptScope::Lookup(const QString& name) const {
  if (name.startsWith(u'_')) {
    if (name.compare(u"_root", NameCase()) == 0)
      return ActionValue(std::static_pointer_cast<ScriptObject>(FFrame.Target->RootClip()));
    if (name.compare(u"_global", NameCase()) == 0)
      return ActionValue(FEnvironment.Level.Global());
    if (const int level = LevelNumber(name, NameCase()); level >= 0)
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

ActionValue ScriptScope::First(const QString& name, bool variablePath) const {
  // The special names keep their meaning; a variable's path also starts from "this".
  if (name.startsWith(u'_') || (variablePath && name == u"this"))
    return Lookup(name);
  if (MovieClip* child = FFrame.Target->ChildNamed(name))
    return ActionValue(child->shared_from_this());
  // A variable's path starts along the scope chain, a target path on the current target.
  return variablePath
             ? Lookup(name)
             : Step(ActionValue(std::static_pointer_cast<ScriptObject>(FFrame.Target)), name, true);
}

ActionValue ScriptScope::Step(const ActionValue& base, const QString& segment,
                              bool childFirst) const {
  if (const int level = LevelNumber(segment, NameCase()); level >= 0)
    return ActionValue(FEnvironment.Stage.LevelRoot(level));
  const auto* clip = dynamic_cast<const MovieClip*>(base.Object().get());
  if (clip && segment.compare(u"_root", NameCase()) == 0)
    return ActionValue(std::static_pointer_cast<ScriptObject>(clip->RootClip()));
  MovieClip* child = clip ? clip->ChildNamed(segment) : nullptr;
  if (child && childFirst)
    return ActionValue(child->shared_from_this());
  const ActionValue member = MemberOf(base, segment);
  if (!member.IsUndefined())
    return member;
  if (child)
    return ActionValue(child->shared_from_this());
  const auto object = base.Object();
  return object ? Inherited(*object, segment) : ActionValue();
}

std::shared_ptr<ScriptObject> ScriptScope::Owner(const QString& name, QString& member) const {
  // The variable follows the last colon or dot; what comes before is its clip's path.
  const qsizetype split = std::max(name.lastIndexOf(u':'), name.lastIndexOf(u'.'));
  member = name.sliced(split + 1);
  return ResolvePath(QStringView(name).first(split), true).Object();
}
