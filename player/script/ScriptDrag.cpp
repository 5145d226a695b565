#include "player/script/ScriptDrag.h"

#include "player/ClipGeometry.h"
#include "player/ClipHitTest.h"
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/script/ScriptNative.h"
#include "player/swf/SwfMovie.h"

#include <algorithm>
#include <cmath>

namespace {

// The innermost clip inside clip whose drawing lies under point (stage twips), the topmost
// first; the dragged clip and what it holds are passed over.
const MovieClip* ClipUnder(const MovieClip& clip, const MovieClip& dragged, QPointF point) {
  const auto& entries = clip.DisplayList();
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    const MovieClip* child = entry->Clip;
    if (!child || child == &dragged || !child->IsVisible() || child->IsUnloaded())
      continue;
    if (!ClipHitsShape(*child, ClipGeometry::ToStage(*child), point))
      continue;
    const MovieClip* inner = ClipUnder(*child, dragged, point);
    return inner ? inner : child;
  }
  return nullptr;
}

void LearnDropTarget(MovieClip& dragged) {
  const MovieClip* top = &dragged;
  while (top->Parent())
    top = top->Parent();
  const MovieClip* under = ClipUnder(*top, dragged, dragged.StageMouse());
  dragged.SetDropTarget(under ? under->TargetPath() : QString());
}

// The mouse in the coordinates the clip's position is given in (twips).
QPointF MouseAbove(const MovieClip& clip) {
  const QPointF mouse = clip.StageMouse();
  if (!clip.Parent())
    return mouse;
  const std::optional<QTransform> fromStage = ClipGeometry::FromStage(*clip.Parent());
  return fromStage ? fromStage->map(mouse) : QPointF();
}

ActionValue StartDrag(NativeCall& call) {
  auto* clip = dynamic_cast<MovieClip*>(call.This.Object().get());
  if (!clip)
    return {};
  std::optional<QRectF> constraint;
  if (call.Has(4))
    constraint =
        QRectF(QPointF(call.Runtime.ToNumber(call.Arg(1)), call.Runtime.ToNumber(call.Arg(2))),
               QPointF(call.Runtime.ToNumber(call.Arg(3)), call.Runtime.ToNumber(call.Arg(4))));
  ScriptDrag::Start(call.Level(), *clip, call.Arg(0).ToBoolean(call.Version()), constraint);
  return {};
}

} // namespace

namespace ScriptDrag {

void Start(PlayerLevel& level, MovieClip& clip, bool lockCenter,
           const std::optional<QRectF>& constraint) {
  double x = clip.GetProperty(MovieClip::X).ToNumber();
  double y = clip.GetProperty(MovieClip::Y).ToNumber();
  if (lockCenter) {
    const QPointF mouse = MouseAbove(clip);
    x = std::round(mouse.x()) / TwipsPerPixel;
    y = std::round(mouse.y()) / TwipsPerPixel;
  }
  if (constraint) {
    const QRectF area = constraint->normalized();
    // A constraint that is no number leaves that axis free.
    if (std::isfinite(area.left()) && std::isfinite(area.right()))
      x = std::clamp(x, area.left(), area.right());
    if (std::isfinite(area.top()) && std::isfinite(area.bottom()))
      y = std::clamp(y, area.top(), area.bottom());
  }
  // From now on the clip is where the drag puts it, not where its timeline does.
  clip.SetProperty(MovieClip::X, x);
  clip.SetProperty(MovieClip::Y, y);
  level.SetDraggedClip(&clip);
  LearnDropTarget(clip);
}

void Stop(PlayerLevel& level) {
  if (MovieClip* dragged = level.DraggedClip())
    LearnDropTarget(*dragged);
  level.SetDraggedClip(nullptr);
}

void AddMethods(NativeClass& clip) {
  clip.Method(QStringLiteral("startDrag"), StartDrag)
      .Method(QStringLiteral("stopDrag"), [](NativeCall& call) {
        Stop(call.Level());
        return ActionValue();
      });
}

} // namespace ScriptDrag
