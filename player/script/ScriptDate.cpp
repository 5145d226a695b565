#include "player/PlayerLevel.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"

namespace ScriptMakers {

ActionValue DateClass(PlayerLevel&) {
  return {};
}

} // namespace ScriptMakers
