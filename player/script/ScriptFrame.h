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
  ActionValue This;                  // any value: a function may be called on a text or a number
  // A function that loads this into a register or suppresses it reads the name "this" as
  // its timeline.
  bool ThisIsTimeline = false;
  std::shared_ptr<ScriptActivation> Activation; // a function call's locals; null otherwise
  std::vector<ActionValue> Registers;
  // The registers of the frame script a function runs under: a function of version 2 reaches
  // those past its own count there. Null for a frame script itself.
  std::vector<ActionValue>* SharedRegisters = nullptr;
  const std::vector<QString>* Pool = nullptr; // the constant pool pushes read; null: none
};
