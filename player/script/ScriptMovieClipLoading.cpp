// MovieClip's loading methods: loadMovie and unloadMovie into the clip, and what the clip's
// movie is (its SWF version and size).
#include "player/FramePlayer.h"
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/swf/SwfMovie.h"

namespace {

MovieClip* ThisClip(NativeCall& call) {
  return dynamic_cast<MovieClip*>(call.This.Object().get());
}

// loadMovie(url) and unloadMovie(): the clip's content is replaced on the next frame.
ActionValue LoadInto(NativeCall& call, const QString& url) {
  MovieClip* clip = ThisClip(call);
  if (FramePlayer* frames = call.Level().Frames(); clip && frames)
    frames->LoadIntoClip(*clip, url);
  return {};
}

// The SWF version of the movie whose timeline the clip plays; -1 for a clip without one.
ActionValue SwfVersion(NativeCall& call) {
  const MovieClip* clip = ThisClip(call);
  if (!clip)
    return {};
  return double(clip->Dictionary() ? clip->Dictionary()->Version : -1);
}

} // namespace

namespace ScriptMakers {

void AddLoadingMethods(NativeClass& clip) {
  clip.Method(QStringLiteral("loadMovie"),
              [](NativeCall& call) { return LoadInto(call, call.Text(0)); })
      .Method(QStringLiteral("unloadMovie"), [](NativeCall& call) { return LoadInto(call, {}); })
      .Method(QStringLiteral("getSWFVersion"), SwfVersion);
}

} // namespace ScriptMakers
