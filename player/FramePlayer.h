#pragma once

#include "player/MovieClip.h"
#include "player/script/ActionValue.h"
#include "player/swf/SwfAction.h"
#include "player/swf/SwfMovie.h"

#include <QString>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class PlayerLevel;
class PlayerStage;

// Plays the levels of one stage over time. Each frame every clip, the newest first, gets its
// enterFrame events and moves on to its next frame: the frame's display-list changes are made
// at once and its scripts wait in the action queue, which runs once the whole stage has moved
// on. Clip events run through the same queue: initialize before construct before everything
// else. Intervals and timeouts fire on the stage's clock.
class FramePlayer {
public:
  explicit FramePlayer(PlayerStage& stage) : FStage(stage) {}

  // Shows a level's first frame and runs its scripts. Throws SwfError when the frame breaks
  // a limit.
  void StartLevel(PlayerLevel& level);
  // Plays one frame of every level, then fires the timers that are due.
  void AdvanceFrame();
  // Whether nothing would change on the next frame: every timeline stopped or of one frame, no
  // enterFrame handler and no timer.
  // Only levels whose clips changed since the last call are looked at again.
  bool IsIdle();
  // The levels whose frame, display list or scripts ran since the last call.
  std::set<int> TakeChangedLevels();

  // What scripts do to a timeline. Frames count from 1; a frame beyond the timeline's end
  // stands for its last.
  void GotoFrame(MovieClip& clip, int frame, bool play);
  // Goes to the labelled frame (labels ignore case); false when the timeline has no such label.
  bool GotoLabel(MovieClip& clip, const QString& label, bool play);
  // The frame of clip's timeline a label names; nothing when it has no such label.
  static std::optional<int> LabelledFrame(const MovieClip& clip, const QString& label);
  // Runs the scripts of a frame of clip's timeline now, on clip, without going there; depth
  // counts the scripts already running around the call. A frame the timeline lacks runs
  // nothing.
  void CallFrame(MovieClip& clip, int frame, int depth);
  void NextFrame(MovieClip& clip);
  void PrevFrame(MovieClip& clip);

  // Calls function (or the method of that name of object) with arguments after delay ms, once
  // or every delay ms. Returns the timer's id, from 1.
  struct TimerCall {
    ActionValue Function;
    std::shared_ptr<ScriptObject> Object; // with Method: calls Object's method
    QString Method;
    std::vector<ActionValue> Arguments;
  };
  int AddTimer(PlayerLevel& level, TimerCall call, double delay, bool repeat);
  void RemoveTimer(int id);

  // Loads the movie at url (relative to the movie of from) into a level or into a clip when the
  // next frame starts, as the real player's loads arrive later; "" unloads the level or clip.
  // A loader (a MovieClipLoader of from's level) hears how the load goes through its
  // broadcastMessage: onLoadStart, onLoadProgress, onLoadComplete and, once the movie's first
  // frame ran, onLoadInit; or onLoadError when nothing can be loaded from url (at once when
  // there is no such file).
  void LoadIntoLevel(PlayerLevel& from, int level, const QString& url,
                     const std::shared_ptr<ScriptObject>& loader = nullptr);
  void LoadIntoClip(MovieClip& clip, const QString& url,
                    const std::shared_ptr<ScriptObject>& loader = nullptr);

  // Runs queued scripts and events until none is left.
  void RunQueue();
  // Runs the init scripts of a movie from the file in directory on clip, with those of the
  // files it imports from; nesting counts the imports around the call.
  void RunInitScripts(PlayerLevel& level, MovieClip& clip, const SwfMovie& movie,
                      const QString& directory, int nesting = 0);

  // A clip a script put on the stage: its clip events and its first frame, as for a placed
  // one; the script itself runs the constructor of its class.
  void ArriveByScript(const std::shared_ptr<MovieClip>& clip);
  // A clip taken off depth by a script or a timeline: unload events, innermost first; then it
  // is let go. One with unload handlers stays on its parent's display list until they ran.
  void Depart(PlayerLevel& level, const std::shared_ptr<MovieClip>& clip, int depth);

private:
  enum Priority { InitializePriority, ConstructPriority, NormalPriority, PriorityCount };
  struct Queued {
    std::weak_ptr<PlayerLevel> Level;
    std::shared_ptr<MovieClip> Clip;
    const SwfScript* Script = nullptr; // a frame script or an onClipEvent handler
    QString Handler;                   // otherwise the clip's method of this name, if any
    bool Unload = false;               // runs even though the clip has left the stage
    ActionValue Constructor;           // with neither: its class constructor or onConstruct
    bool Release = false;              // instead: lets a departed clip go
  };
  struct PendingLoad {
    int Level = -1;                // the level loaded into, or -1 for a clip
    std::weak_ptr<MovieClip> Clip; // the clip loaded into
    QString Path;                  // "" unloads
    std::weak_ptr<ScriptObject> Loader;
    std::weak_ptr<PlayerLevel> LoaderLevel; // where the loader's handlers run
  };
  struct Timer {
    std::weak_ptr<PlayerLevel> Level;
    TimerCall Call;
    double Interval = 0;
    double Due = 0;
    bool Repeat = false;
  };

  // Applies frame's display-list changes to clip and queues its scripts when runScripts is set.
  void RunFrame(MovieClip& clip, int frame, bool runScripts);
  // Goes back to frame by rebuilding the display list from the first frame; instances whose
  // placement is still the same are kept. Queues the frame's scripts when runScripts is set.
  void Rewind(MovieClip& clip, int frame, bool runScripts);
  // Gives an entry the transform and colours of a placement.
  void RestorePlacement(MovieClip::DisplayEntry& entry, const SwfFrameItem& item);
  void GoTo(MovieClip& clip, int frame, bool runScripts);
  // A clip placed by a timeline: its events and its first frame.
  void Arrive(const std::shared_ptr<MovieClip>& clip);
  void QueueUnload(MovieClip& clip);
  // Queues the clip's onClipEvent handlers of event and its dynamic handler, if named.
  void QueueEvent(MovieClip& clip, quint32 event, const QString& handler, Priority priority);
  void Queue(Priority priority, Queued entry);
  void RunEntry(const Queued& entry);
  void FireTimers();
  void RunLoads();
  void RunLevelLoad(const PendingLoad& load);
  void RunClipLoad(const PendingLoad& load);
  // Takes what clip shows off it, with unload events; forgetVariables clears what its scripts
  // set on it too.
  void ClearClip(MovieClip& clip, bool forgetVariables);
  // Queues the load of the file at path ("" unloads), or tells its loader at once that there
  // is no such file; target is what the loader's handlers get.
  void Request(const std::optional<QString>& path, PendingLoad load, const ActionValue& target);
  // Gives clip the movie (from the file in directory) and plays its first frame.
  void ShowMovie(MovieClip& clip, const SwfMovie& movie, const QString& directory);
  // Sends a load's event with arguments to its loader, if it has one.
  void Notify(const PendingLoad& load, const QString& event, std::vector<ActionValue> arguments);
  // The file a load names, "" to unload, nothing for what is no local file.
  static std::optional<QString> LoadPath(const PlayerLevel& from, const QString& url);
  bool HasEnterFrameHandler(const MovieClip& clip) const;
  // Whether the clip or one inside it has an unload handler.
  bool HasUnloadHandler(const MovieClip& clip) const;
  // Takes a departed clip off its parent's display list and lets it go.
  void FinishDeparture(PlayerLevel& level, MovieClip& clip);
  // Whether the clip, or one it lies in, waits for its unload handlers to go.
  bool IsDeparting(const MovieClip& clip) const;
  // Every clip of every level, the newest first.
  std::vector<std::shared_ptr<MovieClip>> ClipsNewestFirst() const;
  std::shared_ptr<PlayerLevel> LevelOf(const MovieClip& clip) const;
  void Touch(const MovieClip& clip) {
    FChanged.insert(clip.Level());
    FActivityUnknown.insert(clip.Level());
  }
  // Whether anything on the level would change on the next frame.
  bool LevelPlays(const PlayerLevel& level) const;

  PlayerStage& FStage;
  std::deque<Queued> FQueues[PriorityCount];
  std::map<int, Timer> FTimers;
  std::vector<PendingLoad> FLoads;
  int FNextTimer = 1;
  quint64 FNextSequence = 1;
  std::set<int> FChanged;
  std::set<int> FActivityUnknown;
  std::set<int> FPlayingLevels;          // levels whose timelines or handlers run
  std::set<const MovieClip*> FDeparting; // off the stage, waiting for their unload handlers
  bool FRunningQueue = false;
};
