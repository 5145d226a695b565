#include "player/script/ScriptTimeline.h"

#include "player/FramePlayer.h"
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/script/ScriptScope.h"
#include "player/swf/SwfAction.h"

#include <cmath>

namespace ScriptTimeline {

namespace {

FramePlayer* Frames(const ScriptEnvironment& environment) {
  return environment.Level.Frames();
}

// A frame number of a script value: whole numbers only, taken modulo 2^32 as the player's
// frame counter holds them; nothing for any other number.
std::optional<int> FrameNumber(double value) {
  if (!std::isfinite(value) || value != std::floor(value))
    return std::nullopt;
  return int(qint32(quint32(qint64(std::fmod(value, 4294967296.0)))));
}

ActionValue Argument(const Arguments& arguments, std::size_t index) {
  return index < arguments.size() ? arguments[index] : ActionValue();
}

} // namespace

void Goto(const ScriptEnvironment& environment, ScriptFrame& frame, MovieClip& clip,
          const ActionValue& target, bool play, int bias) {
  FramePlayer* frames = Frames(environment);
  if (!frames)
    return;
  if (target.IsNumber()) {
    if (const auto number = FrameNumber(target.ToNumber()))
      frames->GotoFrame(clip, *number + bias, play);
    return;
  }
  // Any other value names a label by its text ("undefined", "false" included).
  QString text = target.ToString(environment.Version);
  MovieClip* timeline = &clip;
  if (const qsizetype colon = text.lastIndexOf(u':'); colon >= 0) {
    const auto object = ScriptScope(environment, frame).ResolveTarget(text.first(colon));
    timeline = dynamic_cast<MovieClip*>(object.get());
    text = text.sliced(colon + 1);
    if (!timeline)
      return;
  }
  const double number = ParseNumber(text, environment.Version);
  if (!std::isnan(number)) {
    if (const auto frameNumber = FrameNumber(number))
      frames->GotoFrame(*timeline, *frameNumber + bias, play);
  } else {
    frames->GotoLabel(*timeline, text, play);
  }
}

bool RunFrameAction(const ScriptEnvironment& environment, ScriptFrame& frame, quint8 code,
                    int number, const QString& label) {
  FramePlayer* frames = Frames(environment);
  MovieClip& clip = *frame.Target;
  switch (code) {
  case SwfActionCode::NextFrame:
    if (frames)
      frames->NextFrame(clip);
    return true;
  case SwfActionCode::PrevFrame:
    if (frames)
      frames->PrevFrame(clip);
    return true;
  case SwfActionCode::Play:
    clip.SetPlaying(true);
    return true;
  case SwfActionCode::Stop:
    clip.SetPlaying(false);
    return true;
  case SwfActionCode::GotoFrame:
    if (frames)
      frames->GotoFrame(clip, number + 1, false);
    return true;
  case SwfActionCode::GoToLabel:
    if (frames)
      frames->GotoLabel(clip, label, false);
    return true;
  default:
    return false;
  }
}

std::optional<ActionValue> CallMethod(const ScriptEnvironment& environment, ScriptFrame& frame,
                                      MovieClip& clip, const QString& name,
                                      const Arguments& arguments) {
  FramePlayer* frames = Frames(environment);
  if (name == u"play") {
    clip.SetPlaying(true);
  } else if (name == u"stop") {
    clip.SetPlaying(false);
  } else if (name == u"nextFrame") {
    if (frames)
      frames->NextFrame(clip);
  } else if (name == u"prevFrame") {
    if (frames)
      frames->PrevFrame(clip);
  } else if (name == u"gotoAndStop" || name == u"gotoAndPlay") {
    if (!arguments.empty())
      Goto(environment, frame, clip, arguments[0], name == u"gotoAndPlay");
  } else {
    return std::nullopt;
  }
  return ActionValue();
}

std::optional<ActionValue> CallFunction(const ScriptEnvironment& environment, const QString& name,
                                        const Arguments& arguments) {
  const bool interval = name == u"setInterval";
  FramePlayer* frames = Frames(environment);
  if (interval || name == u"setTimeout") {
    if (!frames || arguments.empty())
      return ActionValue();
    FramePlayer::TimerCall call;
    std::size_t delayAt = 1;
    if (const auto object = arguments[0].Object(); object && arguments.size() > 1 &&
                                                   arguments[1].IsString() &&
                                                   object->TypeOf() != u"function") {
      // setInterval(object, "method", delay, ...)
      call.Object = object;
      call.Method = arguments[1].ToString(environment.Version);
      delayAt = 2;
    } else if (arguments[0].Object() && arguments[0].Object()->TypeOf() == u"function") {
      call.Function = arguments[0];
    } else {
      return ActionValue();
    }
    const double delay = Argument(arguments, delayAt).ToNumber(environment.Version);
    if (arguments.size() > delayAt + 1)
      call.Arguments.assign(arguments.begin() + std::ptrdiff_t(delayAt + 1), arguments.end());
    return double(frames->AddTimer(environment.Level, std::move(call), delay, interval));
  }
  if (name == u"clearInterval" || name == u"clearTimeout") {
    if (frames && !arguments.empty())
      if (const auto id = FrameNumber(arguments[0].ToNumber(environment.Version)))
        frames->RemoveTimer(*id);
    return ActionValue();
  }
  return std::nullopt;
}

} // namespace ScriptTimeline
