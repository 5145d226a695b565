#pragma once

#include "player/script/ActionValue.h"
#include "player/script/ScriptFrame.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

class PlayerLevel;
class ScriptObject;

// What has no built-in function object: the frame methods of movie clips (which change
// nothing, as only the first frame is shown), and the arrays every built-in makes.
namespace ScriptBuiltins {

using Arguments = std::vector<ActionValue>;

// Calls a built-in method of receiver; nothing when it has none of that name.
std::optional<ActionValue> CallMethod(const ScriptEnvironment& environment,
                                      const ActionValue& receiver, const QString& name,
                                      const Arguments& arguments);

// A new array holding elements, owned by the level; undefined once the level's allowance
// of objects or elements is spent.
ActionValue NewArray(PlayerLevel& level, const std::vector<ActionValue>& elements);

} // namespace ScriptBuiltins
