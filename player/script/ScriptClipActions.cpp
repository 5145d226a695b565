#include "player/script/ScriptClipActions.h"

#include "player/FramePlayer.h"
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/PlayerStage.h"
#include "player/TextField.h"
#include "player/script/ScriptDisplayList.h"
#include "player/script/ScriptDrag.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptScope.h"
#include "player/swf/SwfMovie.h"

#include <cmath>
#include <limits>

namespace {

const QString FSCommandPrefix = QStringLiteral("FSCommand:");

// Property numbers: the clip's own, the player's from _highquality to _quality, then the
// clip's _xmouse and _ymouse.
constexpr int DropTarget = 14, Url = 15, HighQuality = 16, FocusRect = 17, SoundBufferTime = 18,
              Quality = 19, LastProperty = 21;

bool OfPlayer(int property) {
  return property >= HighQuality && property <= Quality;
}

const QString QualityNames[] = {QStringLiteral("LOW"), QStringLiteral("MEDIUM"),
                                QStringLiteral("HIGH"), QStringLiteral("BEST")};

// Scripts place clips in whole twips.
ActionValue InWholeTwips(int property, const ActionValue& value) {
  if (property != MovieClip::X && property != MovieClip::Y)
    return value;
  const double pixels = value.ToNumber();
  if (!std::isfinite(pixels))
    return value;
  return std::round(pixels * TwipsPerPixel) / TwipsPerPixel;
}

} // namespace

int ScriptClipActions::PropertyNumber(double number) {
  const double whole = std::trunc(number);
  return whole >= 0 && whole <= LastProperty ? int(whole) : -1;
}

int ScriptClipActions::PropertyOf(const ActionValue& property) const {
  // Version 5 movies read a property's number in text as a decimal only ("0x13" names
  // none), later ones as every number.
  const ActionValue primitive = FRuntime.ToPrimitive(property, false);
  if (primitive.IsString() && FEnvironment.Version == 5)
    return PropertyNumber(ParseDecimalNumber(primitive.ToString()));
  return PropertyNumber(primitive.ToNumber(FEnvironment.Version));
}

ActionValue ScriptClipActions::AssignedValue(ScriptRuntime& runtime, int property,
                                             const ActionValue& value) {
  const bool text = property == MovieClip::Name || property == Quality;
  const auto object = value.Object();
  // From version 7 on a name given NaN reads "0".
  if (property == MovieClip::Name && runtime.Version() >= 7 && value.IsNumber() &&
      std::isnan(value.ToNumber()))
    return QStringLiteral("0");
  if (!object)
    return text ? ActionValue(value.ToString(runtime.Version())) : InWholeTwips(property, value);
  // _focusrect takes any object for false without asking it.
  if (property == FocusRect)
    return false;
  if (dynamic_cast<const MovieClip*>(object.get()))
    return object->ToText();
  // Text is asked of toString alone, a number of valueOf alone.
  const ActionValue method =
      runtime.GetMember(value, text ? QStringLiteral("toString") : QStringLiteral("valueOf"));
  const ActionValue primitive = runtime.CallValue(method, value, {});
  if (text) // an object whose toString gives no text names nothing better than its type
    return primitive.IsString() ? primitive : ActionValue(QStringLiteral("[type Object]"));
  return primitive.Object() ? ActionValue(std::numeric_limits<double>::quiet_NaN())
                            : InWholeTwips(property, primitive);
}

std::shared_ptr<ScriptObject> ScriptClipActions::TargetObject(const ActionValue& target) const {
  auto object = target.Object();
  if (dynamic_cast<const MovieClip*>(object.get()) || dynamic_cast<const TextField*>(object.get()))
    return object;
  // Any other value names a clip by its text, an object by what its toString gives.
  const QString path = FRuntime.ToText(target);
  if (FRuntime.Unwinding())
    return nullptr;
  return ScriptScope(FEnvironment, FFrame).ResolveTarget(path);
}

MovieClip* ScriptClipActions::TargetClip(const ActionValue& target) const {
  return dynamic_cast<MovieClip*>(TargetObject(target).get());
}

ActionValue ScriptClipActions::GetProperty(const ActionValue& target,
                                           const ActionValue& property) const {
  const int number = PropertyOf(property);
  if (number < 0 || FRuntime.Unwinding())
    return {};
  // The current target of a tellTarget that found no clip has no properties.
  const bool current = !target.Object() && target.ToString(FEnvironment.Version).isEmpty();
  if (current && FFrame.TargetMissing && !OfPlayer(number))
    return {};
  // The target is read (and an object asked for its text) whatever the property.
  const MovieClip* clip = TargetClip(target);
  if (OfPlayer(number))
    return PlayerProperty(number);
  return clip ? clip->GetProperty(number) : ActionValue();
}

void ScriptClipActions::SetProperty(const ActionValue& target, const ActionValue& property,
                                    const ActionValue& value) const {
  // The property first, then the target, then the value: each object is asked in that order.
  const int number = PropertyOf(property);
  if (number < 0 || FRuntime.Unwinding())
    return;
  MovieClip* clip = TargetClip(target);
  // The texts the player keeps for itself take nothing, and ask the value nothing.
  if (FRuntime.Unwinding() || number == MovieClip::Target || number == DropTarget || number == Url)
    return;
  const ActionValue assigned = AssignedValue(FRuntime, number, value);
  if (FRuntime.Unwinding())
    return;
  if (OfPlayer(number))
    SetPlayerProperty(number, assigned);
  else if (clip)
    clip->SetProperty(number, assigned);
}

ActionValue ScriptClipActions::PlayerProperty(int property) const {
  const PlayerStage::Settings& settings = FEnvironment.Stage.PlayerSettings();
  switch (property) {
  case HighQuality:
    return settings.RenderQuality == PlayerStage::Settings::Low    ? 0.0
           : settings.RenderQuality == PlayerStage::Settings::Best ? 2.0
                                                                   : 1.0;
  case FocusRect:
    // Movies before version 6 read it as a number.
    return FEnvironment.Version < 6 ? ActionValue(settings.FocusRect ? 1.0 : 0.0)
                                    : ActionValue(settings.FocusRect);
  case SoundBufferTime:
    return double(settings.SoundBufferSeconds);
  default:
    return QualityNames[settings.RenderQuality];
  }
}

void ScriptClipActions::SetPlayerProperty(int property, const ActionValue& value) const {
  PlayerStage::Settings& settings = FEnvironment.Stage.PlayerSettings();
  if (property == Quality) {
    for (int quality = PlayerStage::Settings::Low; quality <= PlayerStage::Settings::Best;
         ++quality)
      if (value.ToString().compare(QualityNames[quality], Qt::CaseInsensitive) == 0)
        settings.RenderQuality = PlayerStage::Settings::Quality(quality);
    return;
  }
  const double number = value.ToNumber();
  if (std::isnan(number))
    return;
  switch (property) {
  case HighQuality:
    settings.RenderQuality = number >= 2               ? PlayerStage::Settings::Best
                             : std::trunc(number) == 0 ? PlayerStage::Settings::Low
                                                       : PlayerStage::Settings::High;
    break;
  case FocusRect:
    settings.FocusRect = number != 0;
    break;
  case SoundBufferTime:
    // Whole seconds; what does not fit 32 bits becomes the lowest that does.
    settings.SoundBufferSeconds =
        std::abs(number) < 2147483648.0 ? int(std::trunc(number)) : std::numeric_limits<int>::min();
    break;
  default:
    break;
  }
}

void ScriptClipActions::SetTarget(const ActionValue& target) const {
  // A clip is found again by its path, so a clip that took its name first wins; any other
  // object by the path its toString gives.
  const auto* named = dynamic_cast<const MovieClip*>(target.Object().get());
  const QString path = named ? named->ToText() : FRuntime.ToText(target);
  if (FRuntime.Unwinding())
    return;
  const bool empty = path.isEmpty();
  MovieClip* clip = empty ? nullptr : TargetClip(path);
  FFrame.TargetMissing = !empty && !clip;
  // A target that names no clip leaves the script talking to its level's root.
  std::shared_ptr<MovieClip> found =
      clip ? std::static_pointer_cast<MovieClip>(clip->shared_from_this()) : nullptr;
  if (FFrame.TargetMissing)
    found = FEnvironment.Stage.LevelRoot(FFrame.Origin->Level());
  FFrame.Target = found ? found : FFrame.Origin;
}

bool ScriptClipActions::IsFrameLoaded(double frame) const {
  // What is no whole number names no frame to wait for. Frame numbers are counted in 32 bits,
  // so huge ones wrap to before the first frame.
  if (!std::isfinite(frame) || frame != std::floor(frame))
    return true;
  const auto index = qint32(quint32(quint64(qint64(std::fmod(frame, 4294967296.0)))));
  // The whole movie is there, so is every frame up to the most a movie may have.
  constexpr int MostFrames = 16000;
  const SwfTimeline* timeline = FFrame.Target->Timeline();
  const int frames = timeline ? std::max(1, timeline->FrameCount) : 1;
  return index <= std::max(frames - 1, MostFrames);
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
  const double scriptDepth = depth - ScriptDisplayList::DepthOffset;
  // The source is looked up once: naming it may run its toString.
  const auto object = TargetObject(source);
  if (auto* clip = dynamic_cast<MovieClip*>(object.get())) {
    ScriptDisplayList::Duplicate(runtime, *clip, name, scriptDepth, {});
    return;
  }
  auto* field = dynamic_cast<TextField*>(object.get());
  if (const auto at = ScriptDisplayList::DepthFromScript(scriptDepth); field && at)
    ScriptMakers::DuplicateTextField(FEnvironment.Level, *field, name, *at);
}

void ScriptClipActions::RemoveSprite(const ActionValue& target) const {
  auto object = target.Object();
  // A clip or text field is removed itself; any other value names one by its text.
  if (!dynamic_cast<const MovieClip*>(object.get()) &&
      !dynamic_cast<const TextField*>(object.get())) {
    const QString path = FRuntime.ToText(target);
    if (FRuntime.Unwinding())
      return;
    object = ScriptScope(FEnvironment, FFrame).ResolveTarget(path);
  }
  if (object)
    ScriptDisplayList::Remove(FEnvironment.Level, *object);
}

void ScriptClipActions::StartDrag(const ActionValue& target, bool lockCenter,
                                  const std::optional<QRectF>& constraint) const {
  if (MovieClip* clip = TargetClip(target))
    ScriptDrag::Start(FEnvironment.Level, *clip, lockCenter, constraint);
}
