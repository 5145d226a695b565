// MovieClipLoader: loads movies into clips and levels and tells its listeners how each load
// goes. Only local files arrive; the events go out through the loader's own broadcastMessage.
#include "player/FramePlayer.h"
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/PlayerStage.h"
#include "player/script/ScriptBuiltins.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/swf/SwfMovie.h"

#include <cmath>

namespace {

// Where a load goes: a clip, or a level by number.
struct LoadTarget {
  MovieClip* Clip = nullptr;
  int Level = -1;
};

// A clip, a level number, or a path ("_levelN" names a level, any other path a clip from the
// calling level's root); nothing for any other value.
std::optional<LoadTarget> TargetOf(NativeCall& call, const ActionValue& value) {
  if (value.IsNumber()) {
    const double level = std::floor(value.ToNumber());
    if (!(level >= 0 && level < 1e9))
      return std::nullopt;
    return LoadTarget{nullptr, int(level)};
  }
  if (const auto object = value.Object()) {
    if (auto* clip = dynamic_cast<MovieClip*>(object.get()))
      return LoadTarget{clip, -1};
    return std::nullopt;
  }
  if (!value.IsString())
    return std::nullopt;
  const QString path = value.ToString();
  const QLatin1String levelPrefix("_level");
  bool isLevel = false;
  const int level = path.startsWith(levelPrefix) ? path.mid(levelPrefix.size()).toInt(&isLevel) : 0;
  if (isLevel && level >= 0)
    return LoadTarget{nullptr, level};
  const auto root = call.Level().Root();
  auto* clip =
      dynamic_cast<MovieClip*>(call.Runtime.Stage().Resolve(path, root.get()).Object().get());
  if (!clip)
    return std::nullopt;
  return LoadTarget{clip, -1};
}

// loadClip(url, target): true once the load is on its way.
ActionValue LoadClip(NativeCall& call) {
  FramePlayer* frames = call.Level().Frames();
  const auto loader = call.ThisObject();
  if (!frames || !loader || call.Arguments.size() < 2)
    return false;
  const std::optional<LoadTarget> target = TargetOf(call, call.Arg(1));
  if (!target)
    return false;
  const QString url = call.Text(0);
  if (target->Clip)
    frames->LoadIntoClip(*target->Clip, url, loader);
  else
    frames->LoadIntoLevel(call.Level(), target->Level, url, loader);
  return true;
}

// unloadClip(target): empties the clip or level on the next frame.
ActionValue UnloadClip(NativeCall& call) {
  FramePlayer* frames = call.Level().Frames();
  const auto target = call.Has(0) ? TargetOf(call, call.Arg(0)) : std::nullopt;
  if (!frames || !target)
    return false;
  if (target->Clip)
    frames->LoadIntoClip(*target->Clip, {});
  else
    frames->LoadIntoLevel(call.Level(), target->Level, {});
  return true;
}

// getProgress(target): {bytesLoaded, bytesTotal} of the movie the clip or level shows; both
// undefined when a path or level number finds nothing, and no object for other values.
ActionValue GetProgress(NativeCall& call) {
  const ActionValue given = call.Arg(0);
  if (!given.IsNumber() && !given.IsString() && !dynamic_cast<MovieClip*>(given.Object().get()))
    return {};
  const auto progress = call.Level().NewObject();
  if (!progress)
    return {};
  const auto target = TargetOf(call, given);
  const MovieClip* clip = nullptr;
  if (target)
    clip = target->Clip ? target->Clip : call.Runtime.Stage().LevelRoot(target->Level).get();
  ActionValue bytes;
  if (clip && clip->Dictionary())
    bytes = double(clip->Dictionary()->FileLength);
  progress->SetMember(QStringLiteral("bytesLoaded"), bytes);
  progress->SetMember(QStringLiteral("bytesTotal"), bytes);
  return ActionValue(progress);
}

} // namespace

namespace ScriptMakers {

ActionValue MovieClipLoaderClass(PlayerLevel& level) {
  const std::shared_ptr<ScriptObject> broadcaster =
      ScriptGlobals::Global(level, QStringLiteral("AsBroadcaster")).Object();
  if (!broadcaster)
    return {};
  // A loader is its own first listener, so handlers set on it hear its events.
  NativeClass loader(level, [broadcaster](NativeCall& call) -> ActionValue {
    const auto self = call.ThisObject();
    if (!self || !call.Constructing)
      return {};
    for (const char* name : {"addListener", "removeListener", "broadcastMessage"})
      self->DefineMember(QString::fromLatin1(name), broadcaster->Member(QString::fromLatin1(name)));
    self->DefineMember(QStringLiteral("_listeners"),
                       ScriptBuiltins::NewArray(call.Level(), {call.This}));
    return {};
  });
  if (!loader)
    return {};
  loader.Method(QStringLiteral("loadClip"), LoadClip)
      .Method(QStringLiteral("unloadClip"), UnloadClip)
      .Method(QStringLiteral("getProgress"), GetProgress);
  return ActionValue(std::static_pointer_cast<ScriptObject>(loader.Constructor()));
}

} // namespace ScriptMakers
