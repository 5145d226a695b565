#pragma once

#include <QString>
#include <QtGlobal>
#include <map>
#include <tuple>

class ScriptObject;

// How deep the getters, setters and watchers of each member run inside each other, so that
// one that triggers itself stops at a fixed depth. The getter and the setter of a member slot
// count together (an inherited member counts once whatever object reads it; a slot deleted
// and made again starts afresh); a watcher counts per watched object and name, and the getter
// and setter calls made inside a watcher count its depth as their own.
class ScriptAccessorDepth {
public:
  enum Kind { Accessor, Watcher };
  // How deep calls of one kind may run inside each other.
  static constexpr int Limit = 65;

  // A member slot: the object holding it, its name, and the order it was made in (watchers: 0).
  struct Member {
    const ScriptObject* Holder = nullptr;
    QString Name;
    quint64 Order = 0;
  };

  // Counts one more call of kind on member, on top of the depth of the watcher of watched
  // (null: none); false, counting nothing, when that would pass the limit.
  bool Enter(Kind kind, const Member& member, const Member* watched = nullptr);
  void Leave(Kind kind, const Member& member);

private:
  using Key = std::tuple<const ScriptObject*, QString, quint64, int>;
  int Depth(Kind kind, const Member& member) const;

  std::map<Key, int> FDepths;
};
