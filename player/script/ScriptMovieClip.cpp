// MovieClip's prototype: depths, bounds, coordinate conversion, hit tests and the clips
// scripts make.
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/swf/SwfMovie.h"

#include <cmath>

namespace {

// Scripts see depths shifted: the timeline's first depth is -16384, theirs start at 0.
constexpr int DepthOffset = 16384;

MovieClip* ThisClip(NativeCall& call) {
  return dynamic_cast<MovieClip*>(call.This.Object().get());
}

MovieClip* ClipOf(const ActionValue& value) {
  return dynamic_cast<MovieClip*>(value.Object().get());
}

// The entry of clip on its parent's display list.
const MovieClip::DisplayEntry* EntryOf(const MovieClip& clip) {
  const MovieClip* parent = clip.Parent();
  if (!parent)
    return nullptr;
  for (const MovieClip::DisplayEntry& entry : parent->DisplayList())
    if (entry.Clip == &clip)
      return &entry;
  return nullptr;
}

// Maps the clip's own coordinates (twips) to the stage's.
QTransform StageTransform(const MovieClip& clip) {
  QTransform transform = clip.Transform();
  for (const MovieClip* parent = clip.Parent(); parent; parent = parent->Parent())
    transform = transform * parent->Transform();
  return transform;
}

ActionValue Depth(NativeCall& call) {
  const MovieClip* clip = ThisClip(call);
  const MovieClip::DisplayEntry* entry = clip ? EntryOf(*clip) : nullptr;
  if (!clip)
    return {};
  // A level's root sits at its level's number.
  if (entry)
    return double(entry->Depth - DepthOffset);
  return clip->Parent() ? ActionValue() : double(clip->Level() - DepthOffset);
}

ActionValue NextHighestDepth(NativeCall& call) {
  const MovieClip* clip = ThisClip(call);
  if (!clip)
    return {};
  int highest = -1;
  for (const MovieClip::DisplayEntry& entry : clip->DisplayList())
    highest = std::max(highest, entry.Depth - DepthOffset);
  return double(highest + 1);
}

ActionValue InstanceAtDepth(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  const double depth = call.Number(0);
  if (!clip || !(std::abs(depth) < 1e9))
    return {};
  const MovieClip::DisplayEntry* entry = clip->EntryAt(int(depth) + DepthOffset);
  return entry && entry->Clip ? ActionValue(entry->Clip->shared_from_this()) : ActionValue();
}

ActionValue CreateEmptyMovieClip(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  const double depth = call.Number(1);
  if (!clip || call.Arguments.size() < 2 || !(std::abs(depth) < 1e9))
    return {};
  const auto made = call.Level().CreateEmptyClip(*clip, call.Text(0), int(depth) + DepthOffset);
  return made ? ActionValue(std::static_pointer_cast<ScriptObject>(made)) : ActionValue();
}

ActionValue RemoveMovieClip(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  const MovieClip::DisplayEntry* entry = clip ? EntryOf(*clip) : nullptr;
  // Only clips at the depths scripts use can be removed; the timeline's own stay.
  if (!entry || entry->Depth < DepthOffset)
    return {};
  if (const auto removed = call.Level().Remove(*clip->Parent(), entry->Depth))
    call.Level().Release(*removed);
  return {};
}

// {xMin, xMax, yMin, yMax} of the clip's content in target's coordinates (pixels).
ActionValue Bounds(NativeCall& call) {
  const MovieClip* clip = ThisClip(call);
  if (!clip)
    return {};
  const MovieClip* target = call.Has(0) ? ClipOf(call.Arg(0)) : clip;
  if (call.Has(0) && !target)
    return {};
  const QRectF content = clip->ContentBounds();
  const auto object = call.Level().NewObject();
  if (!object)
    return {};
  double xMin = 6710886.35, xMax = 6710886.35, yMin = 6710886.35, yMax = 6710886.35;
  if (content.isValid()) {
    const QTransform toTarget =
        target == clip ? QTransform() : StageTransform(*clip) * StageTransform(*target).inverted();
    const QRectF mapped = toTarget.mapRect(content);
    xMin = mapped.left() / TwipsPerPixel;
    xMax = mapped.right() / TwipsPerPixel;
    yMin = mapped.top() / TwipsPerPixel;
    yMax = mapped.bottom() / TwipsPerPixel;
  }
  object->SetMember(QStringLiteral("xMin"), xMin);
  object->SetMember(QStringLiteral("xMax"), xMax);
  object->SetMember(QStringLiteral("yMin"), yMin);
  object->SetMember(QStringLiteral("yMax"), yMax);
  return ActionValue(object);
}

// localToGlobal and globalToLocal change the point's x and y in place.
ActionValue ConvertPoint(NativeCall& call, bool toStage) {
  const MovieClip* clip = ThisClip(call);
  const auto point = call.Arg(0).Object();
  if (!clip || !point)
    return {};
  const double x = call.Runtime.ToNumber(call.Runtime.GetMember(call.Arg(0), QStringLiteral("x")));
  const double y = call.Runtime.ToNumber(call.Runtime.GetMember(call.Arg(0), QStringLiteral("y")));
  const QTransform transform = toStage ? StageTransform(*clip) : StageTransform(*clip).inverted();
  const QPointF mapped = transform.map(QPointF(x * TwipsPerPixel, y * TwipsPerPixel));
  // The player works in whole twips.
  call.Runtime.SetMember(call.Arg(0), QStringLiteral("x"), std::round(mapped.x()) / TwipsPerPixel);
  call.Runtime.SetMember(call.Arg(0), QStringLiteral("y"), std::round(mapped.y()) / TwipsPerPixel);
  return {};
}

// hitTest(x, y[, shapeFlag]) against the clip's bounds on the stage, or hitTest(other) for
// overlapping bounds.
ActionValue HitTest(NativeCall& call) {
  const MovieClip* clip = ThisClip(call);
  if (!clip)
    return false;
  const QRectF content = clip->ContentBounds();
  if (!content.isValid())
    return false;
  const QRectF bounds = StageTransform(*clip).mapRect(content);
  if (call.Arguments.size() >= 2) {
    const double x = call.Number(0);
    const double y = call.Number(1);
    const QPointF point(x * TwipsPerPixel, y * TwipsPerPixel);
    return point.x() >= bounds.left() && point.x() <= bounds.right() && point.y() >= bounds.top() &&
           point.y() <= bounds.bottom();
  }
  const MovieClip* other = ClipOf(call.Arg(0));
  if (!other || !other->ContentBounds().isValid())
    return false;
  return bounds.intersects(StageTransform(*other).mapRect(other->ContentBounds()));
}

// A movie is loaded whole before it plays, so loaded and total bytes are the same.
ActionValue BytesTotal(NativeCall& call) {
  const MovieClip* clip = ThisClip(call);
  if (!clip)
    return {};
  return double(clip->Timeline() ? clip->Timeline()->ByteCount : 0);
}

} // namespace

namespace ScriptMakers {

ActionValue MovieClipClass(PlayerLevel& level) {
  NativeClass clip(level, [](NativeCall&) { return ActionValue(); });
  if (!clip)
    return {};
  clip.Method(QStringLiteral("getDepth"), Depth)
      .Method(QStringLiteral("getNextHighestDepth"), NextHighestDepth)
      .Method(QStringLiteral("getInstanceAtDepth"), InstanceAtDepth)
      .Method(QStringLiteral("createEmptyMovieClip"), CreateEmptyMovieClip)
      .Method(QStringLiteral("removeMovieClip"), RemoveMovieClip)
      .Method(QStringLiteral("getBounds"), Bounds)
      .Method(QStringLiteral("getRect"), Bounds)
      .Method(QStringLiteral("localToGlobal"),
              [](NativeCall& call) { return ConvertPoint(call, true); })
      .Method(QStringLiteral("globalToLocal"),
              [](NativeCall& call) { return ConvertPoint(call, false); })
      .Method(QStringLiteral("hitTest"), HitTest)
      .Method(QStringLiteral("getBytesLoaded"), BytesTotal)
      .Method(QStringLiteral("getBytesTotal"), BytesTotal)
      .Method(QStringLiteral("createTextField"), ScriptMakers::CreateTextField)
      .Method(QStringLiteral("getTextSnapshot"), ScriptMakers::GetTextSnapshot);
  return ActionValue(std::static_pointer_cast<ScriptObject>(clip.Constructor()));
}

} // namespace ScriptMakers
