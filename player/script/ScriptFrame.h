#pragma once

#include "player/script/ActionValue.h"

#include <memory>
#include <vector>

class MovieClip;
class PlayerLevel;
class PlayerStage;
class ScriptActivation;
class ScriptObject;

// What every action of one script run may reach: the player's levels, the level that owns
// what the script creates, and the SWF version its conversions follow.
struct ScriptEnvironment {
  const PlayerStage& Stage;
  PlayerLevel& Level;
  int Version = 0;
};

// One running body: a frame script or a function call. Names are looked up in With
// (innermost first), then Scope (innermost first), then Target, then _global.
struct ScriptFrame {
  std::vector<std::shared_ptr<ScriptObject>> Scope;
  std::vector<std::shared_ptr<ScriptObject>> With;
  std::shared_ptr<MovieClip> Origin; // the timeline the code belongs to
  std::shared_ptr<MovieClip> Target; // changed by SetTarget; Origin otherwise
  bool TargetMissing = false;        // the last SetTarget named no clip
  std::shared_ptr<ScriptObject> This;
  std::shared_ptr<ScriptActivation> Activation; // a function call's locals; null otherwise
  std::vector<ActionValue> Registers;
  const std::vector<QString>* Pool = nullptr; // the constant pool pushes read; null: none
};
