// MovieClip's prototype: bounds, coordinate conversion and hit tests here, the display-list
// methods in their own unit.
#include "player/ClipGeometry.h"
#include "player/ClipHitTest.h"
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/script/ScriptDisplayList.h"
#include "player/script/ScriptDrag.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptScope.h"
#include "player/swf/SwfMovie.h"

#include <cmath>
#include <optional>

namespace {

MovieClip* ThisClip(NativeCall& call) {
  return dynamic_cast<MovieClip*>(call.This.Object().get());
}

// The clip a target argument names: a clip itself, or any other value as a path from the clip
// `from` (an object by its text); null when it names none.
MovieClip* TargetOf(NativeCall& call, MovieClip& from, const ActionValue& value) {
  if (auto* clip = dynamic_cast<MovieClip*>(value.Object().get()))
    return clip;
  const QString path = call.Runtime.ToText(value);
  if (path.isEmpty())
    return nullptr;
  const ScriptEnvironment environment{call.Runtime.Stage(), call.Level(), call.Version()};
  ScriptFrame frame;
  frame.Origin = std::static_pointer_cast<MovieClip>(from.shared_from_this());
  frame.Target = frame.Origin;
  return dynamic_cast<MovieClip*>(ScriptScope(environment, frame).ResolveTarget(path).get());
}

using ClipGeometry::FromStage;
using ClipGeometry::ToStage;

// The top of the clip's tree: hit tests take their points in its coordinates.
const MovieClip& TopOf(const MovieClip& clip) {
  const MovieClip* top = &clip;
  while (top->Parent())
    top = top->Parent();
  return *top;
}

// {xMin, xMax, yMin, yMax} of the clip's content in target's coordinates (pixels).
ActionValue Bounds(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  if (!clip)
    return {};
  const MovieClip* target = call.Has(0) ? TargetOf(call, *clip, call.Arg(0)) : clip;
  if (!target)
    return {};
  const QRectF content = clip->ContentBounds();
  const auto object = call.Level().NewObject();
  if (!object)
    return {};
  // What an empty clip answers: the largest coordinate the player keeps.
  double xMin = 6710886.35, xMax = 6710886.35, yMin = 6710886.35, yMax = 6710886.35;
  const std::optional<QTransform> fromStage = target == clip ? QTransform() : FromStage(*target);
  if (content.isValid() && fromStage) {
    const QTransform toTarget = target == clip ? QTransform() : ToStage(*clip) * *fromStage;
    // The player measures in whole twips.
    const QRectF mapped = toTarget.mapRect(content);
    xMin = std::round(mapped.left()) / TwipsPerPixel;
    xMax = std::round(mapped.right()) / TwipsPerPixel;
    yMin = std::round(mapped.top()) / TwipsPerPixel;
    yMax = std::round(mapped.bottom()) / TwipsPerPixel;
  }
  object->SetMember(QStringLiteral("xMin"), xMin);
  object->SetMember(QStringLiteral("xMax"), xMax);
  object->SetMember(QStringLiteral("yMin"), yMin);
  object->SetMember(QStringLiteral("yMax"), yMax);
  return ActionValue(object);
}

// localToGlobal and globalToLocal change the point's own x and y in place.
ActionValue ConvertPoint(NativeCall& call, bool toStage) {
  const MovieClip* clip = ThisClip(call);
  const auto point = call.Arg(0).Object();
  if (!clip || !point)
    return {};
  // Coordinates the point only inherits, or that are not both numbers, leave it as it is.
  if (!point->OwnSlot(QStringLiteral("x")) || !point->OwnSlot(QStringLiteral("y")))
    return {};
  const ActionValue xValue = call.Runtime.GetMember(call.Arg(0), QStringLiteral("x"));
  const ActionValue yValue = call.Runtime.GetMember(call.Arg(0), QStringLiteral("y"));
  if (!xValue.IsNumber() || !yValue.IsNumber())
    return {};
  const std::optional<QTransform> transform =
      toStage ? std::optional(ToStage(*clip)) : FromStage(*clip);
  if (!transform)
    return {};
  const QPointF twips(std::round(xValue.ToNumber() * TwipsPerPixel),
                      std::round(yValue.ToNumber() * TwipsPerPixel));
  const QPointF mapped = transform->map(twips);
  call.Runtime.SetMember(call.Arg(0), QStringLiteral("x"), std::round(mapped.x()) / TwipsPerPixel);
  call.Runtime.SetMember(call.Arg(0), QStringLiteral("y"), std::round(mapped.y()) / TwipsPerPixel);
  return {};
}

// hitTest(x, y[, shapeFlag]): the point, in the coordinates of the clip's root, against the
// clip's bounds on the stage or, with the flag, against what it draws. hitTest(target): whether
// the two clips' bounds on the stage overlap.
ActionValue HitTest(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  if (!clip || !call.Has(0))
    return false;
  const QTransform world = ToStage(*clip);
  QRectF bounds = clip->ContentBounds(world);
  // A clip scaled to nothing still lies at a point or along a line.
  const QRectF local = clip->ContentBounds();
  const bool measured = bounds.isValid() || local.isValid();
  if (!bounds.isValid() && local.isValid())
    bounds = world.mapRect(local);
  if (call.Arguments.size() >= 2) {
    const double x = call.Number(0);
    const double y = call.Number(1);
    if (!std::isfinite(x) || !std::isfinite(y))
      return false;
    const MovieClip& top = TopOf(*clip);
    const QPointF point = ToStage(top).map(QPointF(x * TwipsPerPixel, y * TwipsPerPixel));
    if (call.Has(2) && call.Arg(2).ToBoolean(call.Version()))
      return ClipHitsShape(*clip, world, point);
    return measured && point.x() >= bounds.left() && point.x() <= bounds.right() &&
           point.y() >= bounds.top() && point.y() <= bounds.bottom();
  }
  const MovieClip* other = TargetOf(call, *clip, call.Arg(0));
  if (!other || !bounds.isValid())
    return false;
  const QRectF otherBounds = other->ContentBounds(ToStage(*other));
  return otherBounds.isValid() && bounds.intersects(otherBounds);
}

// setMask(clip or path): the mask's fills show the clip; null or undefined takes the mask off.
// Paths are read from the clip's parent; true once the mask is set or taken off.
ActionValue SetMask(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  if (!clip || !call.Has(0))
    return {};
  const ActionValue value = call.Arg(0);
  if (value.IsUndefined() || value.IsNull()) {
    clip->SetMask(nullptr);
    return true;
  }
  MovieClip* mask = dynamic_cast<MovieClip*>(value.Object().get());
  if (!mask && !value.Object()) {
    MovieClip* from = clip->Parent() ? clip->Parent() : clip;
    mask = TargetOf(call, *from, value);
  }
  if (!mask)
    return false;
  clip->SetMask(mask == clip ? nullptr : mask);
  return true;
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
  ScriptDisplayList::AddMethods(clip);
  clip.Method(QStringLiteral("getBounds"), Bounds)
      .Method(QStringLiteral("getRect"), Bounds)
      .Method(QStringLiteral("localToGlobal"),
              [](NativeCall& call) { return ConvertPoint(call, true); })
      .Method(QStringLiteral("globalToLocal"),
              [](NativeCall& call) { return ConvertPoint(call, false); })
      .Method(QStringLiteral("hitTest"), HitTest)
      .Method(QStringLiteral("setMask"), SetMask)
      .Method(QStringLiteral("getBytesLoaded"), BytesTotal)
      .Method(QStringLiteral("getBytesTotal"), BytesTotal)
      .Method(QStringLiteral("createTextField"), ScriptMakers::CreateTextField)
      .Method(QStringLiteral("getTextSnapshot"), ScriptMakers::GetTextSnapshot)
      .Property(QStringLiteral("transform"), ScriptMakers::ClipTransform,
                ScriptMakers::SetClipTransform);
  AddDrawingMethods(clip);
  AddFrameMethods(clip);
  ScriptDrag::AddMethods(clip);
  ScriptMakers::AddLoadingMethods(clip);
  return ActionValue(std::static_pointer_cast<ScriptObject>(clip.Constructor()));
}

} // namespace ScriptMakers
