#include "player/StageMouse.h"

#include "player/ButtonClip.h"
#include "player/ClipDrawing.h"
#include "player/PlayerLevel.h"
#include "player/PlayerStage.h"
#include "player/script/ActionInterpreter.h"
#include "player/swf/SwfError.h"
#include "player/swf/SwfLimits.h"

#include <QPainterPathStroker>
#include <algorithm>
#include <vector>

namespace {

// What one mouse event means to each kind of target.
struct EventMeaning {
  quint32 Condition;      // of a button action
  quint32 ClipEvent;      // of an on(...) handler, as PlaceObject stores it
  const char* Handler;    // the dynamic handler, or null
  SwfButton::State State; // what a button shows afterwards
};

constexpr quint32 PressEvent = 0x400, ReleaseEvent = 0x800, ReleaseOutsideEvent = 0x1000,
                  RollOverEvent = 0x2000, RollOutEvent = 0x4000, DragOverEvent = 0x8000,
                  DragOutEvent = 0x10000;
constexpr quint32 MouseEvents = PressEvent | ReleaseEvent | ReleaseOutsideEvent | RollOverEvent |
                                RollOutEvent | DragOverEvent | DragOutEvent;
const char* const Handlers[] = {"onPress", "onRelease", "onRollOver", "onRollOut"};

// In the order of StageMouse::Event.
const EventMeaning Meanings[] = {
    {SwfButton::IdleToOverUp, RollOverEvent, "onRollOver", SwfButton::Over},
    {SwfButton::OverUpToIdle, RollOutEvent, "onRollOut", SwfButton::Up},
    {SwfButton::OverUpToOverDown, PressEvent, "onPress", SwfButton::Down},
    {SwfButton::OverDownToOverUp, ReleaseEvent, "onRelease", SwfButton::Over},
    {SwfButton::OutDownToIdle, ReleaseOutsideEvent, nullptr, SwfButton::Up},
    {SwfButton::OutDownToOverDown, DragOverEvent, nullptr, SwfButton::Down},
    {SwfButton::OverDownToOutDown, DragOutEvent, nullptr, SwfButton::Over},
};

// Maps a point of the parent's twips into what transform places; nothing for a transform
// that flattens its content to nothing.
std::optional<QPointF> Inside(const QTransform& transform, const QPointF& point) {
  bool invertible = false;
  const QTransform inverse = transform.inverted(&invertible);
  if (!invertible)
    return std::nullopt;
  return inverse.map(point);
}

bool ShapeHits(const SwfShape& shape, const QPointF& point) {
  for (const SwfShape::Fill& fill : shape.Fills)
    if (fill.Path.contains(point))
      return true;
  for (const SwfShape::Stroke& stroke : shape.Strokes) {
    QPainterPathStroker stroker;
    // A hairline still takes a pixel's width.
    stroker.setWidth(std::max(stroke.Style.Width, TwipsPerPixel));
    if (stroker.createStroke(stroke.Path).contains(point))
      return true;
  }
  return false;
}

bool CharacterHits(const SwfMovie& movie, int id, const QPointF& point, int nesting);

bool TimelineHits(const SwfMovie& movie, const SwfTimeline& timeline, const QPointF& point,
                  int nesting) {
  for (const SwfTimeline::Placement& placement : timeline.Frame1) {
    const auto inside = Inside(placement.Matrix, point);
    if (inside && CharacterHits(movie, placement.CharacterId, *inside, nesting + 1))
      return true;
  }
  return false;
}

// Whether a character of movie, as defined, covers point of its own twips.
bool CharacterHits(const SwfMovie& movie, int id, const QPointF& point, int nesting) {
  if (nesting > SwfLimits::MaxNesting)
    return false;
  if (const auto shape = movie.Shapes.find(id); shape != movie.Shapes.end())
    return ShapeHits(shape->second, point);
  if (const auto morph = movie.MorphShapes.find(id); morph != movie.MorphShapes.end())
    return ShapeHits(morph->second.ShapeAt(0), point);
  if (const auto sprite = movie.Sprites.find(id); sprite != movie.Sprites.end())
    return TimelineHits(movie, sprite->second, point, nesting);
  if (const SwfButton* button = movie.Button(id))
    return TimelineHits(movie, button->States[SwfButton::Hit], point, nesting);
  if (const auto field = movie.EditTexts.find(id); field != movie.EditTexts.end())
    return field->second.Bounds.contains(point);
  if (const auto text = movie.StaticTexts.find(id); text != movie.StaticTexts.end())
    return text->second.Bounds.contains(point);
  return false;
}

bool IsTarget(const MovieClip& clip) {
  if (clip.IsUnloaded() || !clip.IsVisible())
    return false;
  const ActionValue enabled = clip.Member(QStringLiteral("enabled"));
  if (!enabled.IsUndefined() && !enabled.ToBoolean())
    return false;
  if (dynamic_cast<const ButtonClip*>(&clip))
    return true;
  if (const auto* actions = clip.ClipActions())
    for (const SwfClipAction& action : *actions)
      if (action.Events & MouseEvents)
        return true;
  for (const char* handler : Handlers)
    if (clip.Member(QString::fromLatin1(handler)).Object())
      return true;
  return false;
}

// The topmost target inside clip at point (clip's own twips); a target takes the mouse for
// everything inside it.
std::shared_ptr<MovieClip> TargetIn(const MovieClip& clip, const QPointF& point) {
  const auto& entries = clip.DisplayList();
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    MovieClip* child = entry->Clip;
    if (!child || entry->ClipDepth != 0 || !child->IsVisible())
      continue;
    const auto inside = Inside(child->Transform(), point);
    if (!inside)
      continue;
    if (IsTarget(*child)) {
      if (StageMouse::Hits(*child, *inside))
        return std::static_pointer_cast<MovieClip>(child->shared_from_this());
    } else if (auto found = TargetIn(*child, *inside)) {
      return found;
    }
  }
  return nullptr;
}

std::shared_ptr<PlayerLevel> LevelOf(const PlayerStage& stage, const MovieClip& clip) {
  const auto found = stage.Levels().find(clip.Level());
  return found == stage.Levels().end() ? nullptr : found->second;
}

} // namespace

bool StageMouse::Hits(const MovieClip& clip, const QPointF& local) {
  if (const auto* button = dynamic_cast<const ButtonClip*>(&clip))
    return button->Dictionary() &&
           TimelineHits(*button->Dictionary(), button->Definition().States[SwfButton::Hit], local,
                        0);
  if (clip.Drawing() && ShapeHits(clip.Drawing()->Shape(), local))
    return true;
  for (const MovieClip::DisplayEntry& entry : clip.DisplayList()) {
    if (entry.ClipDepth != 0)
      continue;
    if (entry.Clip) {
      const auto inside = Inside(entry.Clip->Transform(), local);
      if (entry.Clip->IsVisible() && inside && Hits(*entry.Clip, *inside))
        return true;
      continue;
    }
    const auto inside = Inside(entry.Matrix, local);
    if (!inside)
      continue;
    if (entry.Shape ? ShapeHits(*entry.Shape, *inside) : entry.Bounds.contains(*inside))
      return true;
  }
  return false;
}

std::shared_ptr<MovieClip> StageMouse::TargetAt(const QPointF& position) const {
  const auto& levels = FStage.Levels();
  for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
    const MovieClip& root = *level->second->Root();
    const auto inside = Inside(root.Transform(), position);
    if (!inside || !root.IsVisible())
      continue;
    if (IsTarget(root)) {
      if (Hits(root, *inside))
        return level->second->Root();
    } else if (auto found = TargetIn(root, *inside)) {
      return found;
    }
  }
  return nullptr;
}

void StageMouse::Move(const QPointF& position) {
  FPosition = position;
  Retarget();
}

void StageMouse::Leave() {
  FPosition.reset();
  Retarget();
}

void StageMouse::Retarget() {
  const auto target = FPosition ? TargetAt(*FPosition) : nullptr;
  if (!FDown) {
    const auto over = FOver.lock();
    if (target == over)
      return;
    FOver = target;
    if (over)
      Send(over, Event::RollOut);
    if (target && FOver.lock() == target)
      Send(target, Event::RollOver);
    return;
  }
  // While the button is down only the pressed target hears of the mouse.
  const auto pressed = FPressed.lock();
  if (!pressed)
    return;
  const bool inside = target == pressed;
  if (inside == (FOver.lock() == pressed))
    return;
  FOver = inside ? pressed : nullptr;
  Send(pressed, inside ? Event::DragOver : Event::DragOut);
}

void StageMouse::Press() {
  FDown = true;
  const auto over = FOver.lock();
  FPressed = over;
  if (over)
    Send(over, Event::Press);
}

void StageMouse::Release() {
  FDown = false;
  const auto pressed = FPressed.lock();
  FPressed.reset();
  if (pressed) {
    const bool inside = FOver.lock() == pressed;
    if (!inside)
      FOver.reset();
    Send(pressed, inside ? Event::Release : Event::ReleaseOutside);
  }
  Retarget();
}

bool StageMouse::ShowsHand() const {
  const auto over = FOver.lock();
  if (!over || over->IsUnloaded())
    return false;
  const ActionValue hand = over->Member(QStringLiteral("useHandCursor"));
  return hand.IsUndefined() || hand.ToBoolean();
}

void StageMouse::Send(const std::shared_ptr<MovieClip>& target, Event event) {
  const auto level = LevelOf(FStage, *target);
  if (!level || target->IsUnloaded() || level->Movie().ActionScript3)
    return;
  const EventMeaning& meaning = Meanings[int(event)];
  if (auto* button = dynamic_cast<ButtonClip*>(target.get())) {
    ShowState(*level, *button, meaning.State);
    // Button actions run on the timeline the button sits on.
    for (const SwfButton::Action& action : button->Definition().Actions)
      if ((action.Conditions & meaning.Condition) && !target->IsUnloaded())
        if (MovieClip* parent = button->Parent(); parent && !parent->IsUnloaded())
          ActionInterpreter(FStage, *level, *parent).Run(action.Script);
  } else if (const auto* actions = target->ClipActions()) {
    for (const SwfClipAction& action : *actions)
      if ((action.Events & meaning.ClipEvent) && !target->IsUnloaded())
        ActionInterpreter(FStage, *level, *target).Run(action.Script);
  }
  if (meaning.Handler && !target->IsUnloaded()) {
    const ActionValue handler = target->Member(QString::fromLatin1(meaning.Handler));
    if (handler.Object())
      ActionInterpreter(FStage, *level, *target).Invoke(handler, target, {});
  }
  FStage.Frames().RunQueue();
}

void StageMouse::ShowState(PlayerLevel& level, ButtonClip& button, int state) {
  if (button.State() == state)
    return;
  const SwfTimeline& shown = button.Definition().States[std::size_t(state)];
  button.SetState(SwfButton::State(state));
  button.SetTimeline(&shown);
  FramePlayer* frames = level.Frames();
  // What the new state places as the old one did stays; the rest goes.
  std::vector<int> gone;
  for (const MovieClip::DisplayEntry& entry : button.DisplayList()) {
    if (entry.PlacedOnFrame == 0)
      continue;
    const auto kept = std::find_if(
        shown.Frame1.begin(), shown.Frame1.end(), [&entry](const SwfTimeline::Placement& record) {
          return record.Depth == entry.Depth && record.CharacterId == entry.CharacterId;
        });
    if (kept == shown.Frame1.end())
      gone.push_back(entry.Depth);
  }
  for (const int depth : gone)
    if (const auto child = level.Remove(button, depth)) {
      if (frames)
        frames->Depart(level, child, depth);
      else
        level.Release(*child);
    }
  try {
    for (const SwfFrameItem& item : shown.Frames.front().Items) {
      if (button.IsUnloaded())
        return;
      if (button.EntryAt(item.Depth)) {
        SwfFrameItem move = item;
        move.Move = true;
        move.CharacterId.reset();
        level.Place(button, move, 1);
      } else if (const auto child = level.Place(button, item, 1); child && frames) {
        frames->ArriveByScript(child);
      }
    }
  } catch (const SwfError&) {
    // A state that breaks the level's limits shows what fitted.
  }
}
