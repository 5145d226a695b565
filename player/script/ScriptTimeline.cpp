#include "player/script/ScriptTimeline.h"

#include "player/FramePlayer.h"
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptScope.h"
#include "player/swf/SwfAction.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ScriptTimeline {

namespace {

FramePlayer* Frames(const ScriptEnvironment& environment) {
  return environment.Level.Frames();
}

// A whole number of a script value, taken modulo 2^32 as the player's counters hold them;
// nothing for any other number.
std::optional<int> Whole32(double value) {
  if (!std::isfinite(value) || value != std::floor(value))
    return std::nullopt;
  return int(qint32(quint32(qint64(std::fmod(value, 4294967296.0)))));
}

// The frame (from 1) a script's frame number names. The player counts frames from 0 in 32
// bits, so numbers wrap there: one that lands before the first frame names none, one that
// lands on a huge count names a frame past the end.
std::optional<int> FrameNumber(double value, int bias) {
  const auto whole = Whole32(value);
  if (!whole)
    return std::nullopt;
  const auto fromZero = qint32(quint32(quint64(qint64(*whole) + bias - 1)));
  if (fromZero < 0)
    return std::nullopt;
  return int(std::min<qint64>(qint64(fromZero) + 1, std::numeric_limits<int>::max()));
}

ActionValue Argument(const Arguments& arguments, std::size_t index) {
  return index < arguments.size() ? arguments[index] : ActionValue();
}

struct NamedFrame {
  MovieClip* Clip = nullptr;
  int Frame = 0;
};

// The timeline and frame a script value names; nothing for a label the timeline lacks, a
// clip that is not there or a number before the first frame.
std::optional<NamedFrame> Resolve(ScriptRuntime& runtime, const ScriptEnvironment& environment,
                                  ScriptFrame& frame, MovieClip& clip, const ActionValue& target,
                                  int bias) {
  if (target.IsNumber()) {
    if (const auto number = FrameNumber(target.ToNumber(), bias))
      return NamedFrame{&clip, *number};
    return std::nullopt;
  }
  // Any other value names a label by its text ("undefined", "false" included).
  QString text = target.Object() ? runtime.ToText(target) : target.ToString(environment.Version);
  MovieClip* timeline = &clip;
  if (const qsizetype colon = text.lastIndexOf(u':'); colon >= 0) {
    const auto object = ScriptScope(environment, frame).ResolveTarget(text.first(colon));
    timeline = dynamic_cast<MovieClip*>(object.get());
    text = text.sliced(colon + 1);
    if (!timeline)
      return std::nullopt;
  }
  const double number = ParseNumber(text, environment.Version);
  if (!std::isnan(number)) {
    const std::optional<int> numbered = FrameNumber(number, bias);
    return numbered ? std::optional(NamedFrame{timeline, *numbered}) : std::nullopt;
  }
  // A scene's offset counts from the labelled frame as well.
  const std::optional<int> labelled = FramePlayer::LabelledFrame(*timeline, text);
  if (!labelled)
    return std::nullopt;
  return NamedFrame{timeline, int(std::min<qint64>(qint64(*labelled) + std::max(bias, 0),
                                                   std::numeric_limits<int>::max()))};
}

} // namespace

void Goto(ScriptRuntime& runtime, const ScriptEnvironment& environment, ScriptFrame& frame,
          MovieClip& clip, const ActionValue& target, bool play, int bias) {
  FramePlayer* frames = Frames(environment);
  if (!frames)
    return;
  if (const auto named = Resolve(runtime, environment, frame, clip, target, bias))
    frames->GotoFrame(*named->Clip, named->Frame, play);
}

void CallFrame(ScriptRuntime& runtime, const ScriptEnvironment& environment, ScriptFrame& frame,
               const ActionValue& target, int depth) {
  FramePlayer* frames = Frames(environment);
  if (!frames)
    return;
  if (const auto named = Resolve(runtime, environment, frame, *frame.Target, target, 0))
    frames->CallFrame(*named->Clip, named->Frame, depth);
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
    // Unlike gotoAndStop, the action does not go to a frame past the end.
    if (frames && number < clip.FrameCount())
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

std::optional<ActionValue> CallMethod(ScriptRuntime& runtime, const ScriptEnvironment& environment,
                                      ScriptFrame& frame, MovieClip& clip, const QString& name,
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
      Goto(runtime, environment, frame, clip, arguments[0], name == u"gotoAndPlay");
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
      if (const auto id = Whole32(arguments[0].ToNumber(environment.Version)))
        frames->RemoveTimer(*id);
    return ActionValue();
  }
  return std::nullopt;
}

} // namespace ScriptTimeline
