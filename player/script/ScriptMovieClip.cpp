// MovieClip's prototype: bounds, coordinate conversion and hit tests here, the display-list
// methods in their own unit.
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/script/ScriptDisplayList.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/swf/SwfMovie.h"

#include <cmath>

namespace {

MovieClip* ThisClip(NativeCall& call) {
  return dynamic_cast<MovieClip*>(call.This.Object().get());
}

MovieClip* ClipOf(const ActionValue& value) {
  return dynamic_cast<MovieClip*>(value.Object().get());
}

// Maps the clip's own coordinates (twips) to the stage's.
QTransform StageTransform(const MovieClip& clip) {
  QTransform transform = clip.Transform();
  for (const MovieClip* parent = clip.Parent(); parent; parent = parent->Parent())
    transform = transform * parent->Transform();
  return transform;
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
    // The player measures in whole twips.
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

// localToGlobal and globalToLocal change the point's x and y in place.
ActionValue ConvertPoint(NativeCall& call, bool toStage) {
  const MovieClip* clip = ThisClip(call);
  const auto point = call.Arg(0).Object();
  if (!clip || !point)
    return {};
  const ActionValue xValue = call.Runtime.GetMember(call.Arg(0), QStringLiteral("x"));
  const ActionValue yValue = call.Runtime.GetMember(call.Arg(0), QStringLiteral("y"));
  // A point whose coordinates are not both numbers is left as it is.
  if (!xValue.IsNumber() || !yValue.IsNumber())
    return {};
  const double x = xValue.ToNumber();
  const double y = yValue.ToNumber();
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
  ScriptDisplayList::AddMethods(clip);
  clip.Method(QStringLiteral("getBounds"), Bounds)
      .Method(QStringLiteral("getRect"), Bounds)
      .Method(QStringLiteral("localToGlobal"),
              [](NativeCall& call) { return ConvertPoint(call, true); })
      .Method(QStringLiteral("globalToLocal"),
              [](NativeCall& call) { return ConvertPoint(call, false); })
      .Method(QStringLiteral("hitTest"), HitTest)
      .Method(QStringLiteral("getBytesLoaded"), BytesTotal)
      .Method(QStringLiteral("getBytesTotal"), BytesTotal)
      .Method(QStringLiteral("createTextField"), ScriptMakers::CreateTextField)
      .Method(QStringLiteral("getTextSnapshot"), ScriptMakers::GetTextSnapshot)
      .Property(QStringLiteral("transform"), ScriptMakers::ClipTransform,
                ScriptMakers::SetClipTransform);
  AddDrawingMethods(clip);
  AddFrameMethods(clip);
  ScriptMakers::AddLoadingMethods(clip);
  return ActionValue(std::static_pointer_cast<ScriptObject>(clip.Constructor()));
}

} // namespace ScriptMakers
