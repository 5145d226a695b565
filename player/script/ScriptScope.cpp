#include "player/script/ScriptScope.h"

#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/PlayerStage.h"
#include "player/script/ScriptFunction.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptLevelName.h"
#include "player/script/ScriptNative.h"
#include "player/swf/SwfLimits.h"
#include "player/swf/SwfMovie.h"

#include <algorithm>

namespace {

// The level number of a "_levelN" or "_flashN" name, or -1.
int LevelNumber(QStringView name, Qt::CaseSensitivity caseSensitivity) {
  return LevelOfName(name, caseSensitivity).value_or(-1);
}

// Whether name is one of the properties a clip answers itself (_x, _parent, ...).
bool IsClipProperty(const ScriptObject& object, const QString& name) {
  return name.startsWith(u'_') && dynamic_cast<const MovieClip*>(&object) &&
         (name == u"_parent" || MovieClip::PropertyByName(name.toLower()));
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

bool ScriptScope::IsGone(const MovieClip& clip) {
  if (!clip.IsUnloaded() || clip.FindSlot(QStringLiteral("onUnload")))
    return false;
  if (const auto* actions = clip.ClipActions())
    for (const SwfClipAction& action : *actions)
      if (action.Events & SwfClipAction::Unload)
        return false;
  return true;
}

ActionValue ScriptScope::Inherited(const ScriptObject& object, const QString& name) const {
  auto current = ScriptGlobals::PrototypeOf(FEnvironment.Level, object);
  for (int step = 0; current && step < SwfLimits::MaxNesting; ++step) {
    if (const ScriptObject::Slot* slot = current->OwnSlot(name))
      return slot->Plain();
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
  if (name.contains(u':') || name.contains(u'/')) {
    const auto owner = PathOwner(name, member).Object();
    return owner ? Read(owner, member) : ActionValue();
  }
  return Walk(name, {});
}

void ScriptScope::Set(const QString& name, const ActionValue& value) const {
  // "this" is a variable of the running body like any other: a script may replace it.
  if (name == u"this") {
    FFrame.This = value;
    FFrame.ThisIsTimeline = false;
    return;
  }
  QString member = name;
  std::shared_ptr<ScriptObject> owner;
  if (IsPath(name) && !IsSlashPath(name)) {
    owner = PathOwner(name, member).Object();
  } else {
    owner = Holder(name);
    if (!owner)
      owner = FFrame.Target;
  }
  if (owner)
    Write(owner, member, value);
}

ActionValue ScriptScope::PathOwner(const QString& name, QString& member) const {
  // The member follows the last dot or colon ("o:c.f" is f of o:c, "a.b/c" is "b/c" of a,
  // which no variable is); a path of slashes alone ends in its member.
  qsizetype split = std::max(name.lastIndexOf(u'.'), name.lastIndexOf(u':'));
  if (split < 0)
    split = name.lastIndexOf(u'/');
  member = name.sliced(split + 1);
  QString path = name.first(split);
  if (name[split] == u'.' && !path.contains(u':') && !path.contains(u'/'))
    return Walk(path, {});
  if (path.isEmpty() && name[split] == u'/')
    return ActionValue(std::static_pointer_cast<ScriptObject>(FFrame.Target->RootClip()));
  return ResolvePath(path, true);
}

void ScriptScope::DefineLocal(const QString& name, const ActionValue& value) const {
  // A with object that has the variable itself keeps it; one it only inherits leaves the
  // with object alone and makes a local.
  const auto with = WithHolder(name);
  if (with && (with->HasOwnMember(name) || IsClipProperty(*with, name)))
    Write(with, name, value);
  else if (FFrame.Activation)
    Write(FFrame.Activation, name, value);
  else
    Write(FFrame.Target, name, value);
}

bool ScriptScope::HasLocal(const QString& name) const {
  return FFrame.Activation ? Holds(*FFrame.Activation, name) : Holds(*FFrame.Target, name);
}

bool ScriptScope::Holds(const ScriptObject& object, const QString& name) const {
  if (!object.Member(name).IsUndefined())
    return true;
  // A clip's own properties answer for themselves, whatever its prototypes hold.
  if (IsClipProperty(object, name))
    return false;
  // Along the chain, default prototypes included (a clip's MovieClip.prototype).
  const ScriptObject* current = &object;
  std::shared_ptr<ScriptObject> next;
  for (int step = 0; current && step < SwfLimits::MaxNesting; ++step) {
    if (current->OwnSlot(name))
      return true;
    next = ScriptGlobals::PrototypeOf(FEnvironment.Level, *current);
    current = next.get();
  }
  return false;
}

ActionValue ScriptScope::Read(const std::shared_ptr<ScriptObject>& object,
                              const QString& name) const {
  return FRuntime ? FRuntime->GetMember(ActionValue(object), name) : object->Member(name);
}

void ScriptScope::Write(const std::shared_ptr<ScriptObject>& object, const QString& name,
                        const ActionValue& value) const {
  if (FRuntime)
    FRuntime->SetMember(ActionValue(object), name, value);
  else
    object->SetMember(name, value);
}

std::shared_ptr<ScriptObject> ScriptScope::WithHolder(const QString& name) const {
  for (auto it = FFrame.With.rbegin(); it != FFrame.With.rend(); ++it)
    if (Holds(**it, name))
      return *it;
  return nullptr;
}

bool ScriptScope::Delete(const QString& name) const {
  if (!IsPath(name)) {
    const auto holder = Holder(name);
    return holder && holder->DeleteMember(name);
  }
  QString member;
  const ActionValue owner = PathOwner(name, member);
  // Newer players say so when the path leads to a text, number or boolean.
  if (FEnvironment.Version >= 10 && (owner.IsString() || owner.IsNumber() || owner.IsBoolean()))
    FEnvironment.Stage.SendTrace(QStringLiteral(
        "Parameters of primitive types are no longer coerced into the required type - Object."));
  const auto object = owner.Object();
  return object && object->DeleteMember(member);
}

std::shared_ptr<ScriptObject> ScriptScope::CallOwner(const QString& name) const {
  if (!IsPath(name))
    return nullptr;
  QString method;
  return PathOwner(name, method).Object();
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
    // A variable a script gave a scope of its own hides the player's _root, _global and
    // _levelN; one on a prototype does not.
    if (const auto holder = Holder(name); holder && holder->HasOwnMember(name))
      return Read(holder, name);
    if (name.compare(u"_root", NameCase()) == 0)
      return ActionValue(std::static_pointer_cast<ScriptObject>(FFrame.Target->RootClip()));
    // Movies before version 6 have no _global.
    if (name.compare(u"_global", NameCase()) == 0)
      return FEnvironment.Level.Movie().Version >= 6 ? ActionValue(FEnvironment.Level.Global())
                                                     : ActionValue();
    if (const int level = LevelNumber(name, NameCase()); level >= 0)
      return ActionValue(FEnvironment.Stage.LevelRoot(level));
  } else if (name == u"this") {
    if (FFrame.ThisIsTimeline)
      return ActionValue(FFrame.Target);
    // A clip that took itself off the stage is a removed clip's reference to itself.
    const auto* self = dynamic_cast<const MovieClip*>(FFrame.This.Object().get());
    return self && IsGone(*self) ? MovieClip::Live(FFrame.This) : FFrame.This;
  }
  if (const auto holder = Holder(name))
    return Read(holder, name);
  const ActionValue timeline = FFrame.Target->Member(name);
  if (!timeline.IsUndefined() || IsClipProperty(*FFrame.Target, name))
    return timeline;
  if (const ActionValue inherited = Inherited(*FFrame.Target, name); !inherited.IsUndefined())
    return inherited;
  // Version 4 scripts have no globals: NaN, Infinity and the classes read as undefined.
  if (FEnvironment.Version < 5)
    return {};
  const ActionValue global = FEnvironment.Level.Global()->Member(name);
  if (!global.IsUndefined())
    return global;
  return ScriptGlobals::Global(FEnvironment.Level, name);
}

std::shared_ptr<ScriptObject> ScriptScope::Holder(const QString& name) const {
  if (const auto with = WithHolder(name))
    return with;
  if (FFrame.Activation && FFrame.Activation->HasOwnMember(name))
    return FFrame.Activation;
  for (auto it = FFrame.Scope.rbegin(); it != FFrame.Scope.rend(); ++it)
    if (Holds(**it, name))
      return *it;
  if (Holds(*FFrame.Target, name))
    return FFrame.Target;
  return nullptr;
}

ActionValue ScriptScope::Walk(QStringView path, ActionValue base) const {
  if (base.IsUndefined()) {
    // A path that leads nowhere from the first scope holding its first name is tried from
    // the next one: "a.b.c" finds _global's a.b.c when the timeline's a.b has no c.
    const qsizetype dot = path.indexOf(u'.');
    const QString first = (dot < 0 ? path : path.first(dot)).toString();
    const QStringView rest = dot < 0 ? QStringView() : path.sliced(dot + 1);
    // "a." names nothing, as an empty name inside a path does.
    if (dot >= 0 && rest.isEmpty())
      return {};
    // A child clip of the current target answers before a variable of its name.
    if (!first.startsWith(u'_') && first != u"this")
      if (MovieClip* child = FFrame.Target->ChildNamed(first))
        return Walk(rest, ActionValue(child->shared_from_this()));
    for (const auto& scope : ScopesHolding(first)) {
      const ActionValue found = Walk(rest, Read(scope, first));
      if (!found.IsUndefined())
        return found;
    }
    base = Lookup(first);
    return base.IsUndefined() ? base : Walk(rest, base);
  }
  if (path.isEmpty())
    return base;
  // Inside the path a child clip wins over a member of its name; the last name is a member.
  const QList<QStringView> segments = path.split(u'.');
  for (qsizetype i = 0; i < segments.size(); ++i) {
    if (segments[i].isEmpty())
      return {};
    base = Step(base, segments[i].toString(), i + 1 < segments.size());
    if (base.IsUndefined())
      return {};
  }
  return base;
}

std::vector<std::shared_ptr<ScriptObject>> ScriptScope::ScopesHolding(const QString& name) const {
  std::vector<std::shared_ptr<ScriptObject>> scopes;
  // The player's own names (_root, this, _levelN) are no variables of any scope.
  if (name == u"this" || (name.startsWith(u'_') && !Holder(name)))
    return scopes;
  for (auto it = FFrame.With.rbegin(); it != FFrame.With.rend(); ++it)
    if (Holds(**it, name))
      scopes.push_back(*it);
  if (FFrame.Activation && FFrame.Activation->HasOwnMember(name))
    scopes.push_back(FFrame.Activation);
  for (auto it = FFrame.Scope.rbegin(); it != FFrame.Scope.rend(); ++it)
    if (Holds(**it, name))
      scopes.push_back(*it);
  if (Holds(*FFrame.Target, name))
    scopes.push_back(FFrame.Target);
  if (const auto global = FEnvironment.Level.Global();
      FEnvironment.Version >= 5 && global->HasOwnMember(name))
    scopes.push_back(global);
  return scopes;
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
  const ActionValue member =
      FRuntime ? FRuntime->GetMember(base, segment) : MemberOf(base, segment);
  if (!member.IsUndefined())
    return member;
  if (child)
    return ActionValue(child->shared_from_this());
  const auto object = base.Object();
  return object && !FRuntime ? Inherited(*object, segment) : ActionValue();
}
