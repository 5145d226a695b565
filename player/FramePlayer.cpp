#include "player/FramePlayer.h"

#include "player/MovieCache.h"
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/PlayerStage.h"
#include "player/script/ActionInterpreter.h"
#include "player/script/ScriptClasses.h"
#include "player/script/ScriptDisplayList.h"
#include "player/swf/SwfError.h"
#include "player/swf/SwfLimits.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {

const QString OnLoad = QStringLiteral("onLoad");
const QString OnConstruct = QStringLiteral("onConstruct");
const QString OnEnterFrame = QStringLiteral("onEnterFrame");
const QString OnUnload = QStringLiteral("onUnload");

// Intervals shorter than this fire no more often; a zero interval would never let time pass.
constexpr double ShortestInterval = 10;
// Firings of one timer in one frame, however short its interval.
constexpr int MostFiringsPerFrame = 100;

// The display-list state a timeline has on a frame: by depth, the placement and its frame.
struct PlacedState {
  SwfFrameItem Item;
  int Frame = 0;
  int MovedOn = 0; // the last frame up to the one asked for that moved it
};

// Whether a display entry stands for the placement a timeline's state holds at its depth:
// the same character with the same ratio, whichever frame placed it.
bool IsPlacementOf(const MovieClip::DisplayEntry& entry, const PlacedState& placed) {
  return entry.CharacterId != 0 && placed.Item.CharacterId == entry.CharacterId &&
         placed.Item.Ratio.value_or(0) == entry.PlacedRatio;
}

// Depths from here on are for scripts; the timeline's own lie below.
constexpr int FirstScriptDepth = 16384;

std::map<int, PlacedState> StateAt(const SwfTimeline& timeline, int frame) {
  std::map<int, PlacedState> state;
  for (int number = 1; number <= frame && number <= int(timeline.Frames.size()); ++number) {
    for (const SwfFrameItem& item : timeline.Frames[std::size_t(number - 1)].Items) {
      if (item.What == SwfFrameItem::Remove) {
        state.erase(item.Depth);
        continue;
      }
      if (item.What != SwfFrameItem::Place)
        continue;
      const auto existing = state.find(item.Depth);
      const bool replaces =
          item.CharacterId && (!item.Move || existing == state.end() ||
                               existing->second.Item.CharacterId != item.CharacterId);
      if (item.Move && existing != state.end() && !replaces) {
        SwfFrameItem& placed = existing->second.Item;
        placed.Matrix = item.Matrix ? item.Matrix : placed.Matrix;
        placed.ColorTransform = item.ColorTransform ? item.ColorTransform : placed.ColorTransform;
        placed.Ratio = item.Ratio ? item.Ratio : placed.Ratio;
        placed.ClipDepth = item.ClipDepth ? item.ClipDepth : placed.ClipDepth;
        existing->second.MovedOn = number;
      } else if (item.CharacterId) {
        PlacedState placed{item, number, 0};
        placed.Item.Move = false;
        if (item.Move && existing != state.end()) {
          // Replacing the character keeps the rest of the placement.
          const SwfFrameItem& old = existing->second.Item;
          placed.Item.Matrix = item.Matrix ? item.Matrix : old.Matrix;
          placed.Item.ColorTransform =
              item.ColorTransform ? item.ColorTransform : old.ColorTransform;
          placed.Item.Name = item.Name ? item.Name : old.Name;
          placed.Item.ClipDepth = item.ClipDepth ? item.ClipDepth : old.ClipDepth;
        }
        state[item.Depth] = std::move(placed);
      }
    }
  }
  return state;
}

// Labels match whatever the case of their ASCII letters; other letters must be the same.
bool SameIgnoringAsciiCase(const QString& left, const QString& right) {
  if (left.size() != right.size())
    return false;
  const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
  for (qsizetype i = 0; i < left.size(); ++i)
    if (fold(left[i].unicode()) != fold(right[i].unicode()))
      return false;
  return true;
}

void CollectClips(const std::shared_ptr<MovieClip>& clip,
                  std::vector<std::shared_ptr<MovieClip>>& clips) {
  clips.push_back(clip);
  for (const MovieClip::DisplayEntry& entry : clip->DisplayList())
    if (entry.Clip)
      CollectClips(std::static_pointer_cast<MovieClip>(entry.Clip->shared_from_this()), clips);
}

} // namespace

std::shared_ptr<PlayerLevel> FramePlayer::LevelOf(const MovieClip& clip) const {
  const auto found = FStage.Levels().find(clip.Level());
  return found == FStage.Levels().end() ? nullptr : found->second;
}

void FramePlayer::StartLevel(PlayerLevel& level) {
  const std::shared_ptr<MovieClip>& root = level.Root();
  root->SetSequence(FNextSequence++);
  Touch(*root);
  RunFrame(*root, 1, true);
  RunQueue();
}

void FramePlayer::RunFrame(MovieClip& clip, int frame, bool runScripts) {
  const SwfTimeline* timeline = clip.Timeline();
  const auto level = LevelOf(clip);
  if (!timeline || !level || frame < 1 || frame > int(timeline->Frames.size()))
    return;
  clip.SetShownFrame(frame);
  Touch(clip);
  // The bytecode of an ActionScript 3 movie is for another machine.
  runScripts = runScripts && !level->Movie().ActionScript3;
  const SwfFrame& shown = timeline->Frames[std::size_t(frame - 1)];
  for (const SwfFrameItem& item : shown.Items) {
    if (clip.IsUnloaded())
      return;
    switch (item.What) {
    case SwfFrameItem::Place:
      if (const auto child = level->Place(clip, item, frame))
        Arrive(child);
      break;
    case SwfFrameItem::Remove:
      if (const auto child = level->Remove(clip, item.Depth))
        Depart(*level, child, item.Depth);
      break;
    case SwfFrameItem::Action:
      if (runScripts)
        Queue(NormalPriority, {level,
                               std::static_pointer_cast<MovieClip>(clip.shared_from_this()),
                               &shown.Scripts[item.Script],
                               {},
                               false,
                               {}});
      break;
    }
  }
}

void FramePlayer::Arrive(const std::shared_ptr<MovieClip>& clip) {
  // A clip of a registered class is its instance from the start; its constructor runs after
  // its construct event.
  const auto level = LevelOf(*clip);
  const ActionValue constructor =
      level ? ScriptDisplayList::AdoptClass(*level, *clip) : ActionValue();
  clip->SetSequence(FNextSequence++);
  QueueEvent(*clip, SwfClipAction::Initialize, {}, InitializePriority);
  QueueEvent(*clip, SwfClipAction::Construct, {}, ConstructPriority);
  // Its onConstruct handler, its own or inherited, runs with its construct event.
  if (const ActionValue handler =
          level ? ScriptClasses::InheritedValue(*level, *clip, OnConstruct) : ActionValue();
      handler.Object())
    Queue(ConstructPriority, {level, clip, nullptr, {}, false, handler});
  if (constructor.Object())
    Queue(ConstructPriority, {level, clip, nullptr, {}, false, constructor});
  QueueEvent(*clip, SwfClipAction::Load, OnLoad, NormalPriority);
  RunFrame(*clip, 1, true);
}

void FramePlayer::ArriveByScript(const std::shared_ptr<MovieClip>& clip) {
  clip->SetSequence(FNextSequence++);
  QueueEvent(*clip, SwfClipAction::Initialize, {}, InitializePriority);
  QueueEvent(*clip, SwfClipAction::Construct, {}, ConstructPriority);
  QueueEvent(*clip, SwfClipAction::Load, OnLoad, NormalPriority);
  RunFrame(*clip, 1, true);
}

void FramePlayer::Depart(PlayerLevel& level, const std::shared_ptr<MovieClip>& clip, int depth) {
  QueueUnload(*clip);
  MovieClip* parent = clip->Parent();
  if (parent && depth >= 0 && HasUnloadHandler(*clip)) {
    // Its unload handlers still reach it by name: it waits below every depth timelines and
    // scripts use until they have run.
    parent->AddChild(clip, -1 - depth);
    FDeparting.insert(clip.get());
    Queued release{LevelOf(*clip), clip, nullptr, {}, true, {}};
    release.Release = true;
    Queue(NormalPriority, std::move(release));
  } else {
    level.Release(*clip);
  }
  Touch(*clip);
}

bool FramePlayer::HasUnloadHandler(const MovieClip& clip) const {
  if (const auto* actions = clip.ClipActions())
    for (const SwfClipAction& action : *actions)
      if (action.Events & SwfClipAction::Unload)
        return true;
  if (clip.Member(OnUnload).Object())
    return true;
  for (const MovieClip::DisplayEntry& entry : clip.DisplayList())
    if (entry.Clip && HasUnloadHandler(*entry.Clip))
      return true;
  return false;
}

bool FramePlayer::IsDeparting(const MovieClip& clip) const {
  if (FDeparting.empty())
    return false;
  for (const MovieClip* at = &clip; at; at = at->Parent())
    if (FDeparting.contains(at))
      return true;
  return false;
}

void FramePlayer::FinishDeparture(PlayerLevel& level, MovieClip& clip) {
  FDeparting.erase(&clip);
  if (clip.IsUnloaded())
    return;
  if (MovieClip* parent = clip.Parent())
    if (const MovieClip::DisplayEntry* entry = parent->EntryHolding(clip))
      parent->RemoveEntryAt(entry->Depth);
  level.Release(clip);
  Touch(clip);
}

void FramePlayer::QueueUnload(MovieClip& clip) {
  for (const MovieClip::DisplayEntry& entry : clip.DisplayList())
    if (entry.Clip)
      QueueUnload(*entry.Clip);
  QueueEvent(clip, SwfClipAction::Unload, OnUnload, NormalPriority);
}

void FramePlayer::QueueEvent(MovieClip& clip, quint32 event, const QString& handler,
                             Priority priority) {
  const auto self = std::static_pointer_cast<MovieClip>(clip.shared_from_this());
  const std::weak_ptr<PlayerLevel> owner = LevelOf(clip);
  const bool unload = event == SwfClipAction::Unload;
  if (const auto* actions = clip.ClipActions())
    for (const SwfClipAction& action : *actions)
      if (action.Events & event)
        Queue(priority, {owner, self, &action.Script, {}, unload, {}});
  if (!handler.isEmpty())
    Queue(priority, {owner, self, nullptr, handler, unload, {}});
}

void FramePlayer::Queue(Priority priority, Queued entry) {
  FQueues[priority].push_back(std::move(entry));
}

void FramePlayer::RunQueue() {
  // A script that moves a timeline queues more; the outermost run takes them all.
  if (FRunningQueue)
    return;
  FRunningQueue = true;
  for (;;) {
    auto queue = std::find_if(std::begin(FQueues), std::end(FQueues),
                              [](const std::deque<Queued>& waiting) { return !waiting.empty(); });
    if (queue == std::end(FQueues))
      break;
    const Queued entry = std::move(queue->front());
    queue->pop_front();
    RunEntry(entry);
  }
  FRunningQueue = false;
}

void FramePlayer::RunEntry(const Queued& entry) {
  const auto level = entry.Level.lock();
  if (entry.Release) {
    FDeparting.erase(entry.Clip.get());
    if (level)
      FinishDeparture(*level, *entry.Clip);
    return;
  }
  // What waits for a clip that has left the stage is dropped, its unload handlers apart.
  if (!level || ((entry.Clip->IsUnloaded() || IsDeparting(*entry.Clip)) && !entry.Unload))
    return;
  Touch(*entry.Clip);
  ActionInterpreter interpreter(FStage, *level, *entry.Clip);
  if (entry.Script) {
    interpreter.Run(*entry.Script);
    return;
  }
  if (entry.Constructor.Object()) {
    interpreter.Invoke(entry.Constructor, entry.Clip, {});
    return;
  }
  const ActionValue handler = entry.Clip->Member(entry.Handler);
  if (handler.Object())
    interpreter.Invoke(handler, entry.Clip, {});
}

std::vector<std::shared_ptr<MovieClip>> FramePlayer::ClipsNewestFirst() const {
  std::vector<std::shared_ptr<MovieClip>> clips;
  for (const auto& [number, level] : FStage.Levels())
    CollectClips(level->Root(), clips);
  std::sort(clips.begin(), clips.end(), [](const auto& left, const auto& right) {
    return left->Sequence() > right->Sequence();
  });
  return clips;
}

bool FramePlayer::HasEnterFrameHandler(const MovieClip& clip) const {
  if (const auto* actions = clip.ClipActions())
    for (const SwfClipAction& action : *actions)
      if (action.Events & SwfClipAction::EnterFrame)
        return true;
  return clip.Member(OnEnterFrame).Object() != nullptr;
}

std::optional<QString> FramePlayer::LoadPath(const PlayerLevel& from, const QString& url) {
  if (url.isEmpty())
    return QString();
  QString path = url;
  if (path.startsWith(u"file:///", Qt::CaseInsensitive))
    path = path.mid(7);
  else if (path.contains(u"://"))
    return std::nullopt; // not a local file: nothing arrives
  return QDir(from.Directory()).filePath(path);
}

void FramePlayer::LoadIntoLevel(PlayerLevel& from, int level, const QString& url,
                                const std::shared_ptr<ScriptObject>& loader) {
  const auto path = LoadPath(from, url);
  const auto before = FStage.LevelRoot(level);
  Request(path, {level, {}, {}, loader, LevelOf(*from.Root())},
          before ? ActionValue(before) : ActionValue());
}

void FramePlayer::LoadIntoClip(MovieClip& clip, const QString& url,
                               const std::shared_ptr<ScriptObject>& loader) {
  const auto level = LevelOf(clip);
  if (!level)
    return;
  const auto path = LoadPath(*level, url);
  Request(path,
          {-1, std::static_pointer_cast<MovieClip>(clip.shared_from_this()), {}, loader, level},
          ActionValue(clip.shared_from_this()));
}

void FramePlayer::Request(const std::optional<QString>& path, PendingLoad load,
                          const ActionValue& target) {
  // What is no local file never arrives.
  if (!path || (!path->isEmpty() && !QFileInfo(*path).isFile())) {
    Notify(load, QStringLiteral("onLoadError"), {target, QStringLiteral("URLNotFound")});
    return;
  }
  load.Path = *path;
  FLoads.push_back(std::move(load));
}

void FramePlayer::Notify(const PendingLoad& load, const QString& event,
                         std::vector<ActionValue> arguments) {
  const auto loader = load.Loader.lock();
  const auto level = load.LoaderLevel.lock();
  if (!loader || !level || level->Movie().ActionScript3 ||
      !FStage.Levels().contains(level->Number()))
    return;
  ActionInterpreter interpreter(FStage, *level, *level->Root());
  const ActionValue self(loader);
  arguments.insert(arguments.begin(), event);
  interpreter.CallValue(interpreter.GetMember(self, QStringLiteral("broadcastMessage")), self,
                        arguments);
  FChanged.insert(level->Number());
  RunQueue();
}

void FramePlayer::RunLoads() {
  for (const PendingLoad& load : std::exchange(FLoads, {})) {
    if (load.Level >= 0)
      RunLevelLoad(load);
    else
      RunClipLoad(load);
  }
}

void FramePlayer::RunLevelLoad(const PendingLoad& load) {
  if (load.Path.isEmpty()) {
    FStage.ClearLevel(load.Level);
    FChanged.insert(load.Level);
    return;
  }
  const MovieCache::Result result = MovieCache::Instance().Load(load.Path);
  const auto before = FStage.LevelRoot(load.Level);
  const ActionValue target = before ? ActionValue(before) : ActionValue();
  if (!result.Movie) {
    Notify(load, QStringLiteral("onLoadError"), {target, QStringLiteral("URLNotFound")});
    return;
  }
  // The level's root forgets its variables as the data starts to arrive; what the loader's
  // handlers set on it meanwhile stays for the movie.
  const auto ownMembers = [&before] {
    std::vector<std::pair<QString, ActionValue>> members;
    if (before)
      for (const QString& name : before->MemberNames())
        if (before->HasOwnMember(name))
          members.emplace_back(name, before->Member(name));
    return members;
  };
  for (const auto& [name, value] : ownMembers())
    before->DeleteMember(name);
  const double bytes = double(result.Movie->FileLength);
  Notify(load, QStringLiteral("onLoadStart"), {target});
  Notify(load, QStringLiteral("onLoadProgress"), {target, bytes, bytes});
  Notify(load, QStringLiteral("onLoadComplete"), {target, 0.0});
  const QFileInfo file(load.Path);
  try {
    FStage.LoadLevel(load.Level, result.Movie, file.completeBaseName(), file.absolutePath(),
                     ownMembers());
  } catch (const SwfError&) {
    FStage.ClearLevel(load.Level);
  }
  FChanged.insert(load.Level);
  if (const auto arrived = FStage.LevelRoot(load.Level))
    Notify(load, QStringLiteral("onLoadInit"), {ActionValue(arrived)});
}

void FramePlayer::RunClipLoad(const PendingLoad& load) {
  // A clip removed before its load arrived takes nothing.
  const auto clip = load.Clip.lock();
  const auto level = clip ? LevelOf(*clip) : nullptr;
  if (!clip || clip->IsUnloaded() || !level)
    return;
  if (load.Path.isEmpty()) {
    ClearClip(*clip, false);
    QueueEvent(*clip, SwfClipAction::Unload, OnUnload, NormalPriority);
    clip->SetTimeline(nullptr);
    RunQueue();
    return;
  }
  const ActionValue target(std::static_pointer_cast<ScriptObject>(clip));
  // A clip takes a movie or a picture.
  const SwfMovie* movie = level->Keep(load.Path);
  const SwfShape* picture = movie ? nullptr : level->KeepPicture(load.Path);
  if (!movie && !picture) {
    Notify(load, QStringLiteral("onLoadError"), {target, QStringLiteral("URLNotFound")});
    return;
  }
  // The clip is emptied as the data starts to arrive; what the loader's handlers set on it
  // meanwhile stays for the movie.
  ClearClip(*clip, true);
  const double bytes = double(movie ? movie->FileLength : QFileInfo(load.Path).size());
  Notify(load, QStringLiteral("onLoadStart"), {target});
  Notify(load, QStringLiteral("onLoadProgress"), {target, bytes, bytes});
  Notify(load, QStringLiteral("onLoadComplete"), {target, 0.0});
  if (clip->IsUnloaded())
    return;
  if (picture) {
    clip->SetTimeline(nullptr);
    clip->AddShape(picture, QTransform());
    Touch(*clip);
  } else {
    try {
      ShowMovie(*clip, *movie, QFileInfo(load.Path).absolutePath());
    } catch (const SwfError&) {
      clip->SetPlaying(false);
    }
  }
  RunQueue();
  if (!clip->IsUnloaded())
    Notify(load, QStringLiteral("onLoadInit"), {target});
}

void FramePlayer::ClearClip(MovieClip& clip, bool forgetVariables) {
  const auto level = LevelOf(clip);
  if (!level)
    return;
  // Clips still running their unload handlers go once those have run.
  std::vector<int> depths;
  for (const MovieClip::DisplayEntry& entry : clip.DisplayList())
    if (entry.Depth >= 0)
      depths.push_back(entry.Depth);
  for (const int depth : depths)
    if (const auto child = level->Remove(clip, depth))
      Depart(*level, child, depth);
  if (forgetVariables)
    for (const QString& name : clip.MemberNames())
      clip.DeleteMember(name);
  Touch(clip);
}

void FramePlayer::ShowMovie(MovieClip& clip, const SwfMovie& movie, const QString& directory) {
  const auto level = LevelOf(clip);
  if (!level)
    return;
  clip.SetTimeline(&movie.Root);
  clip.SetDictionary(&movie);
  clip.SetShownFrame(1);
  clip.SetPlaying(true);
  // The movie's init scripts run on the clip it arrives in, before its first frame.
  if (!level->Movie().ActionScript3)
    RunInitScripts(*level, clip, movie, directory);
  RunFrame(clip, 1, true);
}

void FramePlayer::RunInitScripts(PlayerLevel& level, MovieClip& clip, const SwfMovie& movie,
                                 const QString& directory, int nesting) {
  // Files imported from run theirs where the import comes among the movie's own; a chain of
  // imports that loops ends at the nesting cap.
  const auto runImports = [&](std::size_t before) {
    if (directory.isEmpty() || nesting >= SwfLimits::MaxNesting)
      return;
    for (const SwfMovie::ImportedFile& file : movie.ImportedFiles)
      if (file.AfterInitScripts == before)
        if (const SwfMovie* imported = level.Keep(QDir(directory).filePath(file.Url)))
          if (!imported->ActionScript3)
            RunInitScripts(level, clip, *imported,
                           QFileInfo(QDir(directory).filePath(file.Url)).absolutePath(),
                           nesting + 1);
  };
  for (std::size_t index = 0; index < movie.InitScripts.size(); ++index) {
    runImports(index);
    if (!clip.IsUnloaded())
      ActionInterpreter(FStage, level, clip).Run(movie.InitScripts[index]);
  }
  runImports(movie.InitScripts.size());
}

void FramePlayer::AdvanceFrame() {
  for (const auto& [number, level] : FStage.Levels())
    level->RenewActionAllowance();
  RunLoads();
  for (const std::shared_ptr<MovieClip>& clip : ClipsNewestFirst()) {
    if (clip->IsUnloaded() || IsDeparting(*clip))
      continue;
    const auto level = LevelOf(*clip);
    if (!level || level->Movie().ActionScript3)
      continue;
    if (HasEnterFrameHandler(*clip))
      QueueEvent(*clip, SwfClipAction::EnterFrame, OnEnterFrame, NormalPriority);
    const int frames = clip->FrameCount();
    if (!clip->IsPlaying() || frames < 2)
      continue;
    const int next = clip->ShownFrame() + 1;
    // A damaged or unfinished timeline stops at its last frame instead of looping.
    if (next > frames && !clip->Timeline()->Loops) {
      clip->SetPlaying(false);
      continue;
    }
    try {
      if (next > frames)
        Rewind(*clip, 1, true);
      else
        RunFrame(*clip, next, true);
    } catch (const SwfError&) {
      clip->SetPlaying(false); // a frame that breaks a limit ends the clip's play
    }
  }
  RunQueue();
  FireTimers();
}

void FramePlayer::Rewind(MovieClip& clip, int frame, bool runScripts) {
  const SwfTimeline* timeline = clip.Timeline();
  const auto level = LevelOf(clip);
  if (!timeline || !level)
    return;
  const std::map<int, PlacedState> state = StateAt(*timeline, frame);
  // What lies at the timeline's depths goes unless the target frame holds the same placement
  // there, or places anything there and it is a timeline's clip that swapDepths moved. Clips
  // at scripts' depths and clips still running their unload handlers stay.
  std::vector<int> gone;
  for (const MovieClip::DisplayEntry& entry : clip.DisplayList()) {
    if (entry.Depth < 0 || entry.Depth >= FirstScriptDepth)
      continue;
    const auto target = state.find(entry.Depth);
    if (target == state.end() || (!entry.SwappedByScript && !IsPlacementOf(entry, target->second)))
      gone.push_back(entry.Depth);
  }
  for (const int depth : gone)
    if (const auto child = level->Remove(clip, depth))
      Depart(*level, child, depth);
  clip.SetShownFrame(frame);
  Touch(clip);
  for (const auto& [depth, placed] : state) {
    MovieClip::DisplayEntry* entry = clip.EntryAt(depth);
    if (!entry) {
      if (const auto child = level->Place(clip, placed.Item, placed.Frame))
        Arrive(child);
    } else if (IsPlacementOf(*entry, placed)) {
      // A kept instance that frames after the target moved takes the target's placement back,
      // whatever scripts did to it.
      if (entry->MovedOnFrame > frame)
        RestorePlacement(*entry, placed.Item);
      entry->PlacedOnFrame = placed.Frame;
      entry->MovedOnFrame = placed.MovedOn;
    } else if (entry->CharacterId != 0 && !entry->SwappedByScript) {
      if (const auto child = level->Place(clip, placed.Item, placed.Frame))
        Arrive(child);
    }
  }
  if (!runScripts || level->Movie().ActionScript3)
    return;
  const SwfFrame& shown = timeline->Frames[std::size_t(frame - 1)];
  for (const SwfFrameItem& item : shown.Items)
    if (item.What == SwfFrameItem::Action)
      Queue(NormalPriority, {level,
                             std::static_pointer_cast<MovieClip>(clip.shared_from_this()),
                             &shown.Scripts[item.Script],
                             {},
                             false,
                             {}});
}

void FramePlayer::RestorePlacement(MovieClip::DisplayEntry& entry, const SwfFrameItem& item) {
  const QTransform matrix = item.Matrix.value_or(QTransform());
  const SwfColorTransform colors = item.ColorTransform.value_or(SwfColorTransform());
  if (entry.Clip) {
    entry.Clip->SetMatrix(matrix);
    entry.Clip->SetColorTransform(colors);
    Touch(*entry.Clip);
  } else {
    entry.Matrix = matrix;
    entry.ColorTransform = colors;
  }
}

void FramePlayer::GoTo(MovieClip& clip, int frame, bool runScripts) {
  const int current = clip.ShownFrame();
  if (frame < 1 || frame > clip.FrameCount() || frame == current)
    return;
  try {
    if (frame < current) {
      Rewind(clip, frame, runScripts);
    } else {
      for (int skipped = current + 1; skipped < frame; ++skipped)
        RunFrame(clip, skipped, false);
      RunFrame(clip, frame, runScripts);
    }
  } catch (const SwfError&) {
    clip.SetPlaying(false);
  }
}

void FramePlayer::GotoFrame(MovieClip& clip, int frame, bool play) {
  // A frame before the first changes nothing, not even whether it plays.
  if (frame < 1)
    return;
  clip.SetPlaying(play);
  // A frame past the end shows the last frame's display list; no frame's scripts run for it.
  const int last = clip.FrameCount();
  GoTo(clip, std::min(frame, last), frame <= last);
}

std::optional<int> FramePlayer::LabelledFrame(const MovieClip& clip, const QString& label) {
  if (const SwfTimeline* timeline = clip.Timeline())
    for (const auto& [name, frame] : timeline->Labels)
      if (SameIgnoringAsciiCase(name, label))
        return frame;
  return std::nullopt;
}

bool FramePlayer::GotoLabel(MovieClip& clip, const QString& label, bool play) {
  const auto frame = LabelledFrame(clip, label);
  if (frame)
    GotoFrame(clip, *frame, play);
  return frame.has_value();
}

void FramePlayer::CallFrame(MovieClip& clip, int frame, int depth) {
  const SwfTimeline* timeline = clip.Timeline();
  const auto level = LevelOf(clip);
  // Frames that call each other end at the call depth as functions do.
  if (!timeline || !level || level->Movie().ActionScript3 || frame < 1 ||
      frame > int(timeline->Frames.size()) || depth >= SwfLimits::MaxCallDepth)
    return;
  Touch(clip);
  const SwfFrame& called = timeline->Frames[std::size_t(frame - 1)];
  for (const SwfFrameItem& item : called.Items)
    if (item.What == SwfFrameItem::Action && !clip.IsUnloaded())
      ActionInterpreter(FStage, *level, clip, depth).Run(called.Scripts[item.Script]);
}

void FramePlayer::NextFrame(MovieClip& clip) {
  clip.SetPlaying(false);
  GotoFrame(clip, clip.ShownFrame() + 1, false);
}

void FramePlayer::PrevFrame(MovieClip& clip) {
  clip.SetPlaying(false);
  GotoFrame(clip, clip.ShownFrame() - 1, false);
}

int FramePlayer::AddTimer(PlayerLevel& level, TimerCall call, double delay, bool repeat) {
  const double interval = std::isfinite(delay) ? std::max(delay, ShortestInterval) : 0;
  const int id = FNextTimer++;
  Timer timer;
  timer.Level = LevelOf(*level.Root());
  timer.Call = std::move(call);
  timer.Interval = interval;
  timer.Due = FStage.Clock().Now() + interval;
  timer.Repeat = repeat;
  FTimers.emplace(id, std::move(timer));
  return id;
}

void FramePlayer::RemoveTimer(int id) {
  FTimers.erase(id);
}

void FramePlayer::FireTimers() {
  const double now = FStage.Clock().Now();
  std::vector<int> due;
  for (const auto& [id, timer] : FTimers)
    if (timer.Due <= now)
      due.push_back(id);
  for (const int id : due) {
    for (int firing = 0; firing < MostFiringsPerFrame; ++firing) {
      const auto found = FTimers.find(id);
      if (found == FTimers.end() || found->second.Due > now)
        break;
      const auto level = found->second.Level.lock();
      if (!level) {
        FTimers.erase(found);
        break;
      }
      const TimerCall call = found->second.Call;
      if (found->second.Repeat)
        found->second.Due += found->second.Interval;
      else
        FTimers.erase(found);
      ActionInterpreter interpreter(FStage, *level, *level->Root());
      if (call.Object)
        interpreter.Invoke(call.Object->Member(call.Method), call.Object, call.Arguments);
      else
        interpreter.Invoke(call.Function, nullptr, call.Arguments);
      FChanged.insert(level->Number());
      RunQueue();
    }
    // A timer that fell behind takes up from now rather than firing in a burst.
    if (const auto found = FTimers.find(id); found != FTimers.end() && found->second.Due <= now)
      found->second.Due = now + found->second.Interval;
  }
}

bool FramePlayer::LevelPlays(const PlayerLevel& level) const {
  if (level.Movie().ActionScript3)
    return false;
  std::vector<std::shared_ptr<MovieClip>> clips;
  CollectClips(level.Root(), clips);
  for (const auto& clip : clips)
    if ((clip->IsPlaying() && clip->FrameCount() > 1) || HasEnterFrameHandler(*clip))
      return true;
  return false;
}

bool FramePlayer::IsIdle() {
  if (!FTimers.empty() || !FLoads.empty())
    return false;
  for (const int number : std::exchange(FActivityUnknown, {})) {
    const auto level = FStage.Levels().find(number);
    if (level != FStage.Levels().end() && LevelPlays(*level->second))
      FPlayingLevels.insert(number);
    else
      FPlayingLevels.erase(number);
  }
  // Only the levels known to play are looked at, so a stage of many stopped clips answers
  // without walking every level at each load.
  std::erase_if(FPlayingLevels, [this](int number) { return !FStage.Levels().contains(number); });
  return FPlayingLevels.empty();
}

std::set<int> FramePlayer::TakeChangedLevels() {
  return std::exchange(FChanged, {});
}
