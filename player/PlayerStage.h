#pragma once

#include "player/FrameClock.h"
#include "player/FramePlayer.h"
#include "player/PlayerLevel.h"
#include "player/StageMouse.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>

// The levels of one player and everything done to them by path: variables, clip
// properties and the first-frame run that makes clips announce themselves. Level 0 holds
// the main movie; paths from the host start there.
class PlayerStage {
public:
  // What scripts set for the whole player rather than for one clip.
  struct Settings {
    enum Quality { Low, Medium, High, Best };
    Quality RenderQuality = High;
    bool FocusRect = true;
    int SoundBufferSeconds = 5;
  };

  using FSCommandHandler = std::function<void(const QString& command, const QString& args)>;
  using TraceHandler = std::function<void(const QString& text)>;

  explicit PlayerStage(FSCommandHandler onFSCommand)
      : FOnFSCommand(std::move(onFSCommand)), FFrames(*this), FMouse(*this) {}

  // Puts the movie on the level, replacing what was there, and plays its first frame.
  // Throws SwfError when the clip tree breaks a limit; the level is then left empty.
  // Characters it imports are read from files in directory. The new root takes rootMembers
  // before its scripts run.
  void LoadLevel(int level, std::shared_ptr<const SwfMovie> movie, const QString& typeName,
                 const QString& directory = {},
                 const std::vector<std::pair<QString, ActionValue>>& rootMembers = {});
  void ClearLevel(int level) { FLevels.erase(level); }
  // Plays the next frame of every level and moves the clock on by one frame's time.
  void AdvanceFrame();
  // Frames per second of the stage's clock.
  double FrameRate() const;
  const std::map<int, std::shared_ptr<PlayerLevel>>& Levels() const { return FLevels; }
  std::shared_ptr<MovieClip> LevelRoot(int level) const;

  // Host requests; paths start at level 0.
  QString GetVariable(const QString& name) const;
  void SetVariable(const QString& name, const QString& value);
  // Throws std::runtime_error when no clip answers at target or the property is unknown.
  QString GetProperty(const QString& target, int property) const;
  void SetProperty(const QString& target, int property, const QString& value);

  // Follows a dot path. "_levelN" anywhere selects level N's root; "_root" is the root of
  // origin's level, or level 0 for the host (origin null); "this" at the start is origin.
  // Other names are members, starting at origin (or level 0's root).
  ActionValue Resolve(QStringView path, MovieClip* origin) const;
  // Sets the member named by the last segment of path on the object the rest resolves to.
  void Assign(QStringView path, const ActionValue& value, MovieClip* origin) const;

  // Reports a clip's "FSCommand:" url to the host.
  void SendFSCommand(const QString& command, const QString& args) const;
  // Where trace() output goes; nowhere until set.
  void SetTraceHandler(TraceHandler onTrace) { FOnTrace = std::move(onTrace); }
  void SendTrace(const QString& text) const;

  // Scripts change the settings through a stage they may not otherwise change.
  Settings& PlayerSettings() const { return FSettings; }

  FrameClock& Clock() { return FClock; }
  FramePlayer& Frames() { return FFrames; }
  const FramePlayer& Frames() const { return FFrames; }
  const FrameClock& Clock() const { return FClock; }
  // The mouse of a control that takes it; no events come on one that does not.
  StageMouse& Mouse() { return FMouse; }

private:
  // Where a relative path starts: origin, or level 0's root for the host (origin null).
  std::shared_ptr<ScriptObject> PathStart(MovieClip* origin) const;
  std::shared_ptr<MovieClip> TargetClip(const QString& target) const;

  FSCommandHandler FOnFSCommand;
  TraceHandler FOnTrace;
  FrameClock FClock;
  FramePlayer FFrames;
  StageMouse FMouse;
  std::map<int, std::shared_ptr<PlayerLevel>> FLevels;
  mutable Settings FSettings;
};
