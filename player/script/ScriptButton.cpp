#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"

// Button: the class of buttons placed on a timeline or attached by a script. Its prototype
// shares getDepth with MovieClip's, as a button sits on its parent's display list as clips do.
namespace ScriptMakers {

ActionValue ButtonClass(PlayerLevel& level) {
  NativeClass button(level, [](NativeCall&) { return ActionValue(); });
  if (!button)
    return {};
  if (const auto clip = ScriptGlobals::Prototype(level, QStringLiteral("MovieClip")))
    button.Prototype()->DefineMember(QStringLiteral("getDepth"),
                                     clip->Member(QStringLiteral("getDepth")));
  return ActionValue(std::static_pointer_cast<ScriptObject>(button.Constructor()));
}

} // namespace ScriptMakers
