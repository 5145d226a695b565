#pragma once

#include "player/ActionValue.h"
#include "player/SwfAction.h"

#include <vector>

class MovieClip;
class PlayerLevel;
class PlayerStage;

// Runs one frame script of the interpreted subset. A script stops quietly at its end, at
// an action it cannot carry out, or when it exceeds its action, stack, text or object
// allowance; it never throws.
class ActionInterpreter {
public:
  ActionInterpreter(const PlayerStage& stage, PlayerLevel& level, MovieClip& self)
      : FStage(stage), FLevel(level), FSelf(self) {}

  void Run(const SwfScript& script);

private:
  // Each returns false when the script has to stop.
  bool Execute(const SwfAction& action);
  bool Push(const ActionValue& value);
  ActionValue Pop();
  bool PushText(const QString& left, const QString& right);
  bool NewObject();
  bool InitObject();
  ActionValue GetProperty(const ActionValue& target, double property) const;
  void GetUrl(const QString& url, const QString& target) const;

  const PlayerStage& FStage;
  PlayerLevel& FLevel;
  MovieClip& FSelf;
  std::vector<ActionValue> FStack;
};
