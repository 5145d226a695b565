#include "player/script/ScriptAccessorDepth.h"

bool ScriptAccessorDepth::Enter(Kind kind, const Member& member, const Member* watched) {
  const int outer = watched ? Depth(Watcher, *watched) : 0;
  if (Depth(kind, member) + outer >= Limit)
    return false;
  ++FDepths[Key{member.Holder, member.Name, member.Order, kind}];
  return true;
}

void ScriptAccessorDepth::Leave(Kind kind, const Member& member) {
  const auto found = FDepths.find(Key{member.Holder, member.Name, member.Order, kind});
  if (found != FDepths.end() && --found->second <= 0)
    FDepths.erase(found);
}

int ScriptAccessorDepth::Depth(Kind kind, const Member& member) const {
  const auto found = FDepths.find(Key{member.Holder, member.Name, member.Order, kind});
  return found == FDepths.end() ? 0 : found->second;
}
