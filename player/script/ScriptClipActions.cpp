#include "player/script/ScriptClipActions.h"

#include "player/FramePlayer.h"
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/PlayerStage.h"
#include "player/script/ScriptDisplayList.h"
#include "player/script/ScriptScope.h"
#include "player/swf/SwfMovie.h"

#include <cmath>

namespace {

const QString FSCommandPrefix = QStringLiteral("FSCommand:");

// Properties of the player rather than of a clip: _highquality, _focusrect,
// _soundbuftime, _quality, _xmouse and _ymouse.
ActionValue PlayerProperty(int property) {
  switch (property) {
  case 16:
  case 17:
    return 1.0;
  case 18:
    return 5.0;
  case 19:
    return QStringLiteral("HIGH");
  default:
    return 0.0;
  }
}

} // namespace

MovieClip* ScriptClipActions::TargetClip(const ActionValue& target) const {
  auto object = target.Object();
  if (!object)
    object = ScriptScope(FEnvironment, FFrame).ResolveTarget(target.ToString(FEnvironment.Version));
  return dynamic_cast<MovieClip*>(object.get());
}

ActionValue ScriptClipActions::GetProperty(const ActionValue& target, double property) const {
  if (!(property >= 0 && property <= 21))
    return {};
  if (property >= 16)
    return PlayerProperty(int(property));
  const MovieClip* clip = TargetClip(target);
  return clip ? clip->GetProperty(int(property)) : ActionValue();
}

void ScriptClipActions::SetProperty(const ActionValue& target, double property,
                                    const ActionValue& value) const {
  if (!(property >= 0 && property < 16))
    return;
  if (MovieClip* clip = TargetClip(target))
    clip->SetProperty(int(property), value);
}

void ScriptClipActions::SetTarget(const ActionValue& target) const {
  const bool empty = !target.Object() && target.ToString(FEnvironment.Version).isEmpty();
  MovieClip* clip = empty ? nullptr : TargetClip(target);
  FFrame.Target =
      clip ? std::static_pointer_cast<MovieClip>(clip->shared_from_this()) : FFrame.Origin;
}

bool ScriptClipActions::IsFrameLoaded(double frame) const {
  const SwfTimeline* timeline = FFrame.Target->Timeline();
  const int frames = timeline ? std::max(1, timeline->FrameCount) : 1;
  return !(frame >= frames);
}

void ScriptClipActions::GetUrl(const QString& url, const QString& target, bool targetIsClip) const {
  if (url.startsWith(FSCommandPrefix, Qt::CaseInsensitive)) {
    FEnvironment.Stage.SendFSCommand(url.mid(FSCommandPrefix.size()), target);
    return;
  }
  FramePlayer* frames = FEnvironment.Level.Frames();
  if (!frames)
    return;
  const QLatin1String levelPrefix("_level");
  bool isLevel = false;
  const int level =
      target.startsWith(levelPrefix) ? target.mid(levelPrefix.size()).toInt(&isLevel) : 0;
  if (isLevel && level >= 0)
    frames->LoadIntoLevel(FEnvironment.Level, level, url);
  else if (targetIsClip)
    if (MovieClip* clip = TargetClip(target))
      frames->LoadIntoClip(*clip, url);
}

void ScriptClipActions::CloneSprite(ScriptRuntime& runtime, const ActionValue& source,
                                    const QString& name, double depth) const {
  // The action's depth counts from the timeline's first depth, the method's from 0.
  if (MovieClip* clip = TargetClip(source))
    ScriptDisplayList::Duplicate(runtime, *clip, name, depth - ScriptDisplayList::DepthOffset, {});
}

void ScriptClipActions::RemoveSprite(const ActionValue& target) const {
  auto object = target.Object();
  if (!object)
    object = ScriptScope(FEnvironment, FFrame).ResolveTarget(target.ToString(FEnvironment.Version));
  if (object)
    ScriptDisplayList::Remove(FEnvironment.Level, *object);
}
