#pragma once

#include <QPointF>
#include <memory>
#include <optional>

class ButtonClip;
class MovieClip;
class PlayerLevel;
class PlayerStage;

// The mouse over one stage, for a control that takes it: which button or clip with mouse
// handlers lies under it, the button states it shows, and the button actions, `on(...)`
// handlers and onPress-style handlers its moves and clicks run. Positions are in the main
// movie's twips.
class StageMouse {
public:
  explicit StageMouse(PlayerStage& stage) : FStage(stage) {}

  // Where the mouse was last seen on the stage; unset before it came.
  const std::optional<QPointF>& Position() const { return FPosition; }
  void Move(const QPointF& position);
  void Press();
  void Release();
  // The mouse left the control: no target is under it any more.
  void Leave();
  // Whether the target under the mouse asks for the hand cursor.
  bool ShowsHand() const;

  // Whether a point in clip's own twips lies on what the clip shows; a button answers for
  // its hit state.
  static bool Hits(const MovieClip& clip, const QPointF& local);

private:
  enum class Event { RollOver, RollOut, Press, Release, ReleaseOutside, DragOver, DragOut };

  // The topmost enabled button or clip with mouse handlers at position, if any.
  std::shared_ptr<MovieClip> TargetAt(const QPointF& position) const;
  // Finds the target under the mouse again after a move or a release.
  void Retarget();
  // Runs what target does on event: a button changes state first.
  void Send(const std::shared_ptr<MovieClip>& target, Event event);
  static void ShowState(PlayerLevel& level, ButtonClip& button, int state);

  PlayerStage& FStage;
  std::optional<QPointF> FPosition;
  std::weak_ptr<MovieClip> FOver;    // the target the mouse is over
  std::weak_ptr<MovieClip> FPressed; // the target pressed while the button is down
  bool FDown = false;
};
