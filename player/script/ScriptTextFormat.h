#pragma once

#include "player/render/TextFormat.h"
#include "player/script/ActionValue.h"
#include "player/script/ScriptObject.h"

#include <memory>

class PlayerLevel;

// A TextFormat object: its members are getters and setters on the prototype that convert
// what a script assigns as the player does (whole pixels, colours as unsigned numbers,
// unknown alignments refused) and read back null for what is not set.
class ScriptTextFormat : public ScriptObject {
public:
  TextFormat Format;
};

namespace ScriptTextFormats {

// A new TextFormat object holding format; undefined once the level made too many objects.
ActionValue Make(PlayerLevel& level, const TextFormat& format);
// The format a script passed: the object's own when it is a TextFormat, else read member by
// member; nullopt for a value that is no object.
const ScriptTextFormat* Find(const ActionValue& value);

} // namespace ScriptTextFormats
