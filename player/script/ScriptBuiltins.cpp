#include "player/script/ScriptBuiltins.h"

#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/script/ScriptArray.h"
#include "player/script/ScriptObject.h"

namespace ScriptBuiltins {

namespace {

// Frame methods change nothing: only the first frame is shown and it is already there.
std::optional<ActionValue> CallClip(const QString& name) {
  static const QStringList frameMethods{
      QStringLiteral("play"),         QStringLiteral("stop"),      QStringLiteral("gotoAndStop"),
      QStringLiteral("gotoAndPlay"),  QStringLiteral("nextFrame"), QStringLiteral("prevFrame"),
      QStringLiteral("stopAllSounds")};
  if (frameMethods.contains(name))
    return ActionValue();
  return std::nullopt;
}

} // namespace

std::optional<ActionValue> CallMethod(const ScriptEnvironment&, const ActionValue& receiver,
                                      const QString& name, const Arguments&) {
  if (dynamic_cast<MovieClip*>(receiver.Object().get()))
    return CallClip(name);
  return std::nullopt;
}

ActionValue NewArray(PlayerLevel& level, const std::vector<ActionValue>& elements) {
  const auto array = level.Adopt(std::make_shared<ScriptArray>(level));
  if (!array || !array->Insert(0, elements))
    return {};
  return ActionValue(std::static_pointer_cast<ScriptObject>(array));
}

} // namespace ScriptBuiltins
