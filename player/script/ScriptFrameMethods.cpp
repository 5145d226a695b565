// MovieClip's frame methods as function values: a script may read, pass on and call
// play, stop, nextFrame, prevFrame, gotoAndPlay and gotoAndStop like any other method, and
// each acts on the clip it is called on.
#include "player/MovieClip.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptTimeline.h"

namespace ScriptMakers {

void AddFrameMethods(NativeClass& clip) {
  for (const QString& name :
       {QStringLiteral("play"), QStringLiteral("stop"), QStringLiteral("nextFrame"),
        QStringLiteral("prevFrame"), QStringLiteral("gotoAndPlay"), QStringLiteral("gotoAndStop")})
    clip.Method(name, [name](NativeCall& call) {
      const auto self = std::dynamic_pointer_cast<MovieClip>(call.This.Object());
      if (!self)
        return ActionValue();
      const ScriptEnvironment environment{call.Runtime.Stage(), call.Level(), call.Version()};
      // A "path:frame" argument is read from the clip.
      ScriptFrame frame;
      frame.Origin = frame.Target = self;
      frame.This = call.This;
      return ScriptTimeline::CallMethod(call.Runtime, environment, frame, *self, name,
                                        call.Arguments)
          .value_or(ActionValue());
    });
}

} // namespace ScriptMakers
