#pragma once

#include "player/script/ActionValue.h"
#include "player/script/ScriptFrame.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

class PlayerLevel;
class ScriptObject;

// The few built-in objects and functions a clip's first-frame script uses: Math, the
// conversion functions, Array and Object, the methods of texts and arrays, and the frame
// methods of movie clips (which change nothing, as only the first frame is shown).
namespace ScriptBuiltins {

using Arguments = std::vector<ActionValue>;

// The built-in object a global name stands for ("Math"), made on first use; null for
// other names.
std::shared_ptr<ScriptObject> GlobalObject(PlayerLevel& level, const QString& name);

// Calls a built-in global function or constructor; nothing when name is none.
std::optional<ActionValue> CallFunction(const ScriptEnvironment& environment, const QString& name,
                                        const Arguments& arguments);
// Calls a built-in method of receiver; nothing when it has none of that name.
std::optional<ActionValue> CallMethod(const ScriptEnvironment& environment,
                                      const ActionValue& receiver, const QString& name,
                                      const Arguments& arguments);

// A new array holding elements, owned by the level; undefined once the level's allowance
// of objects or elements is spent.
ActionValue NewArray(PlayerLevel& level, const std::vector<ActionValue>& elements);

} // namespace ScriptBuiltins
