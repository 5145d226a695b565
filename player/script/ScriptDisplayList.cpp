#include "player/script/ScriptDisplayList.h"

#include "player/FramePlayer.h"
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/TextField.h"
#include "player/script/ScriptClasses.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptOperators.h"

#include <cmath>
#include <limits>

namespace {

using ScriptDisplayList::DepthOffset;

// The deepest depth scripts may name; clips there can still not be removed by a script.
constexpr int DeepestScriptDepth = 2130690044;
// The last depth a script may remove a clip from.
constexpr int DeepestRemovableDepth = 2130690031;

MovieClip* ThisClip(NativeCall& call) {
  return dynamic_cast<MovieClip*>(call.This.Object().get());
}

// A clip a script made takes its class, then its first frame's display list and events, then
// the members of init, so that a size given there scales what the frame placed; its
// constructor runs last, so it sees all of them.
void Arrive(ScriptRuntime& runtime, const std::shared_ptr<MovieClip>& clip,
            const ActionValue& init) {
  PlayerLevel& level = runtime.Level();
  const ActionValue constructor = ScriptDisplayList::AdoptClass(level, *clip);
  if (FramePlayer* frames = level.Frames())
    frames->ArriveByScript(clip);
  if (const auto members = init.Object())
    for (const QString& name : ScriptClasses::EnumerableNames(level, *members))
      runtime.SetMember(ActionValue(std::static_pointer_cast<ScriptObject>(clip)), name,
                        runtime.GetMember(init, name));
  if (constructor.Object())
    runtime.CallValue(constructor, ActionValue(std::static_pointer_cast<ScriptObject>(clip)), {});
}

ActionValue ClipValue(const std::shared_ptr<MovieClip>& clip) {
  return clip ? ActionValue(std::static_pointer_cast<ScriptObject>(clip)) : ActionValue();
}

// attachMovie(linkage, name, depth[, init])
ActionValue AttachMovie(NativeCall& call) {
  MovieClip* parent = ThisClip(call);
  if (!parent || call.Arguments.size() < 3)
    return {};
  const auto depth = ScriptDisplayList::DepthFromScript(call.Runtime.ToNumber(call.Arg(2)));
  if (!depth)
    return {};
  const QString linkage = call.Text(0);
  const QString name = call.Text(1);
  PlayerLevel& level = call.Level();
  const auto clip = level.AttachClip(*parent, linkage, name, *depth);
  if (clip)
    Arrive(call.Runtime, clip, call.Arg(3));
  return ClipValue(clip);
}

// createEmptyMovieClip(name, depth)
ActionValue CreateEmptyMovieClip(NativeCall& call) {
  MovieClip* parent = ThisClip(call);
  if (!parent || call.Arguments.size() < 2)
    return {};
  const auto depth = ScriptDisplayList::DepthFromScript(call.Runtime.ToNumber(call.Arg(1)));
  if (!depth)
    return {};
  const QString name = call.Text(0);
  PlayerLevel& level = call.Level();
  const auto clip = level.CreateEmptyClip(*parent, name, *depth);
  if (clip)
    Arrive(call.Runtime, clip, {});
  return ClipValue(clip);
}

// duplicateMovieClip(name, depth[, init])
ActionValue DuplicateMovieClip(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  if (!clip || call.Arguments.size() < 2)
    return {};
  const QString name = call.Text(0);
  const double depth = call.Runtime.ToNumber(call.Arg(1));
  return ClipValue(ScriptDisplayList::Duplicate(call.Runtime, *clip, name, depth, call.Arg(2)));
}

// removeMovieClip, also applied to a text field.
ActionValue RemoveMovieClip(NativeCall& call) {
  if (const auto object = call.ThisObject())
    ScriptDisplayList::Remove(call.Level(), *object);
  return {};
}

// The clip whose display list shows a clip or a text field, or null.
MovieClip* ParentOf(ScriptObject& object) {
  if (const auto* clip = dynamic_cast<const MovieClip*>(&object))
    return clip->Parent();
  if (dynamic_cast<const TextField*>(&object))
    return dynamic_cast<MovieClip*>(object.Member(QStringLiteral("_parent")).Object().get());
  return nullptr;
}

// getDepth of a clip or a text field.
ActionValue GetDepth(NativeCall& call) {
  const auto object = call.ThisObject();
  MovieClip* parent = object ? ParentOf(*object) : nullptr;
  if (const MovieClip::DisplayEntry* entry = parent ? parent->EntryHolding(*object) : nullptr)
    return double(entry->Depth - DepthOffset);
  // A level's root sits at its level's number.
  const MovieClip* clip = ThisClip(call);
  return clip && !clip->Parent() ? double(clip->Level() - DepthOffset) : ActionValue();
}

ActionValue GetNextHighestDepth(NativeCall& call) {
  const MovieClip* clip = ThisClip(call);
  if (!clip)
    return {};
  int highest = -1;
  for (const MovieClip::DisplayEntry& entry : clip->DisplayList())
    highest = std::max(highest, entry.Depth - DepthOffset);
  return double(highest + 1);
}

// The clip or text field at depth; a shape or static text there answers with the clip
// holding it.
ActionValue GetInstanceAtDepth(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  const double depth = call.Runtime.ToNumber(call.Arg(0));
  const qint64 at = qint64(ScriptOperators::ToInt32(depth)) + DepthOffset;
  if (!clip || !call.Has(0) || std::isnan(depth) || at > std::numeric_limits<int>::max())
    return {};
  const MovieClip::DisplayEntry* entry = clip->EntryAt(int(at));
  if (!entry)
    return {};
  if (entry->Clip)
    return ActionValue(entry->Clip->shared_from_this());
  if (entry->Field)
    return ActionValue(std::static_pointer_cast<ScriptObject>(entry->Field));
  return ActionValue(clip->shared_from_this());
}

// The clip a path names from clip: names of children and _parent, separated by "/" (with ".."
// for the parent) or by ".".
MovieClip* Relative(MovieClip& clip, const QString& path) {
  MovieClip* at = &clip;
  const QChar separator = path.contains(u'/') ? u'/' : u'.';
  for (const QString& part : path.split(separator, Qt::SkipEmptyParts)) {
    if (!at)
      return nullptr;
    at = part == u".." || part == u"_parent"
             ? at->Parent()
             : dynamic_cast<MovieClip*>(at->Member(part).Object().get());
  }
  return at == &clip ? nullptr : at;
}

// swapDepths(depth or sibling): the clip and whatever lies at the other depth change places.
ActionValue SwapDepths(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  MovieClip* parent = clip ? clip->Parent() : nullptr;
  const ActionValue target = call.Arg(0);
  if (!parent || target.IsUndefined())
    return {};
  const MovieClip::DisplayEntry* own = parent->EntryHolding(*clip);
  if (!own)
    return {};
  ScriptObject* other = target.Object().get();
  if (!other && target.IsString())
    other = Relative(*clip, target.ToString());
  std::optional<int> depth;
  if (dynamic_cast<MovieClip*>(other) || dynamic_cast<TextField*>(other)) {
    // Only a sibling changes places with the clip.
    const MovieClip::DisplayEntry* entry = parent->EntryHolding(*other);
    if (!entry)
      return {};
    depth = entry->Depth;
  } else {
    depth = ScriptDisplayList::DepthFromScript(call.Runtime.ToNumber(target));
  }
  if (depth)
    parent->SwapDepths(own->Depth, *depth);
  return {};
}

} // namespace

namespace ScriptDisplayList {

std::optional<int> DepthFromScript(double depth) {
  const qint32 whole = ScriptOperators::ToInt32(depth);
  if (whole < -DepthOffset || whole > DeepestScriptDepth)
    return std::nullopt;
  return whole + DepthOffset;
}

ActionValue AdoptClass(PlayerLevel& level, MovieClip& clip) {
  const auto constructor = level.ClassOf(clip);
  if (!constructor)
    return {};
  clip.DefineMember(QStringLiteral("__proto__"), constructor->Member(QStringLiteral("prototype")));
  clip.DefineMember(QStringLiteral("__constructor__"), constructor);
  clip.DefineMember(QStringLiteral("constructor"), constructor);
  return ActionValue(constructor);
}

std::shared_ptr<MovieClip> Duplicate(ScriptRuntime& runtime, MovieClip& clip, const QString& name,
                                     double depth, const ActionValue& init) {
  const auto at = DepthFromScript(depth);
  MovieClip* parent = clip.Parent();
  if (!at || !parent)
    return nullptr;
  PlayerLevel& level = runtime.Level();
  const auto copy = level.DuplicateClip(clip, name, *at);
  if (copy)
    Arrive(runtime, copy, init);
  return copy;
}

void Remove(PlayerLevel& level, ScriptObject& object) {
  MovieClip* parent = ParentOf(object);
  const MovieClip::DisplayEntry* entry = parent ? parent->EntryHolding(object) : nullptr;
  // Only what lies at the depths scripts use can be removed; the timeline's own stays.
  if (!entry || entry->Depth < DepthOffset || entry->Depth > DeepestRemovableDepth + DepthOffset)
    return;
  level.TakeOff(*parent, entry->Depth);
}

void AddMethods(NativeClass& clip) {
  clip.Method(QStringLiteral("attachMovie"), AttachMovie)
      .Method(QStringLiteral("createEmptyMovieClip"), CreateEmptyMovieClip)
      .Method(QStringLiteral("duplicateMovieClip"), DuplicateMovieClip)
      .Method(QStringLiteral("removeMovieClip"), RemoveMovieClip)
      .Method(QStringLiteral("swapDepths"), SwapDepths)
      .Method(QStringLiteral("getDepth"), GetDepth)
      .Method(QStringLiteral("getNextHighestDepth"), GetNextHighestDepth)
      .Method(QStringLiteral("getInstanceAtDepth"), GetInstanceAtDepth);
}

void AddFieldMethods(NativeClass& field) {
  field.Method(QStringLiteral("getDepth"), GetDepth);
}

} // namespace ScriptDisplayList
