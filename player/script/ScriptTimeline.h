#pragma once

#include "player/script/ActionValue.h"
#include "player/script/ScriptFrame.h"

#include <QString>
#include <optional>
#include <vector>

class MovieClip;
class ScriptRuntime;

// What scripts do to timelines and time: goto, play and stop by action or MovieClip method,
// and the interval and timeout functions.
namespace ScriptTimeline {

using Arguments = std::vector<ActionValue>;

// Goes to a frame of clip given as a script value: a number, a label, a text that reads as a
// number, or "path:frame" for another clip's frame; an object stands for its text. bias is
// added to frame numbers.
void Goto(ScriptRuntime& runtime, const ScriptEnvironment& environment, ScriptFrame& frame,
          MovieClip& clip, const ActionValue& target, bool play, int bias = 0);
// The call action: runs the scripts of the frame target names (as Goto reads it) of the current
// target's timeline at once, without going there. depth counts the scripts running around it.
void CallFrame(ScriptRuntime& runtime, const ScriptEnvironment& environment, ScriptFrame& frame,
               const ActionValue& target, int depth);
// Runs the frame actions: NextFrame, PrevFrame, Play, Stop, GotoFrame and GoToLabel; false
// for other actions.
bool RunFrameAction(const ScriptEnvironment& environment, ScriptFrame& frame, quint8 code,
                    int number, const QString& label);
// Calls a frame method of clip (play, stop, gotoAndStop, ...); nothing for other names.
std::optional<ActionValue> CallMethod(ScriptRuntime& runtime, const ScriptEnvironment& environment,
                                      ScriptFrame& frame, MovieClip& clip, const QString& name,
                                      const Arguments& arguments);
// setInterval, clearInterval, setTimeout and clearTimeout; nothing for other names.
std::optional<ActionValue> CallFunction(const ScriptEnvironment& environment, const QString& name,
                                        const Arguments& arguments);

} // namespace ScriptTimeline
