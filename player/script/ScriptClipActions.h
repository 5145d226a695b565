#pragma once

#include "player/script/ActionValue.h"
#include "player/script/ScriptFrame.h"
#include "player/script/ScriptNative.h"

#include <QRectF>
#include <QString>
#include <optional>

class ScriptRuntime;

// What scripts do to movie clips: properties by number, the target of tellTarget, frame
// waits, the urls that carry fscommand calls to the host and those that load movies. Quality
// and sounds leave the clip as it is.
class ScriptClipActions {
public:
  ScriptClipActions(const ScriptEnvironment& environment, ScriptFrame& frame,
                    ScriptRuntime& runtime)
      : FEnvironment(environment), FFrame(frame), FRuntime(runtime) {}

  // The property a script's number names (cut towards zero), or -1 for none.
  static int PropertyNumber(double number);
  // The value a script's value gives a clip property: an object becomes the text or number
  // it stands for, as that property reads it.
  static ActionValue AssignedValue(ScriptRuntime& runtime, int property, const ActionValue& value);

  // target is a clip, a path, or "" for the current target; property is a script's value.
  ActionValue GetProperty(const ActionValue& target, const ActionValue& property) const;
  void SetProperty(const ActionValue& target, const ActionValue& property,
                   const ActionValue& value) const;
  // tellTarget: a clip or a path; "" (or a target that is no clip) returns to the script's own
  // timeline.
  void SetTarget(const ActionValue& target) const;
  // Whether frame (0-based) of the current target's timeline is loaded; the whole movie is,
  // and so is any frame past its end up to the most a movie may have.
  bool IsFrameLoaded(double frame) const;
  // Sends an "FSCommand:" url to the host; loads a movie into a level ("_levelN") or, when
  // targetIsClip is set, into the clip target names ("" unloads it); other urls are not opened.
  void GetUrl(const QString& url, const QString& target, bool targetIsClip = false) const;

  // duplicateMovieClip and removeMovieClip as actions: source and target are clips or paths.
  void CloneSprite(ScriptRuntime& runtime, const ActionValue& source, const QString& name,
                   double depth) const;
  void RemoveSprite(const ActionValue& target) const;
  // startDrag as an action: target is a clip or a path.
  void StartDrag(const ActionValue& target, bool lockCenter,
                 const std::optional<QRectF>& constraint) const;

private:
  // The object a target names: itself when it is one, else the object at its path.
  std::shared_ptr<ScriptObject> TargetObject(const ActionValue& target) const;
  MovieClip* TargetClip(const ActionValue& target) const;
  // The property a script's value names, or -1 for none.
  int PropertyOf(const ActionValue& property) const;
  // The properties of the player rather than of a clip: _highquality to _ymouse.
  ActionValue PlayerProperty(int property) const;
  void SetPlayerProperty(int property, const ActionValue& value) const;

  const ScriptEnvironment& FEnvironment;
  ScriptFrame& FFrame;
  ScriptRuntime& FRuntime;
};
