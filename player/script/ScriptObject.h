#pragma once

#include "player/script/ActionValue.h"

#include <QHashFunctions>
#include <QString>
#include <memory>
#include <unordered_map>
#include <vector>

// A script object: a table of named members, kept in the order they were added, with
// lookups that miss falling through to the prototype chain of "__proto__". Movie clips,
// arrays and functions extend it.
class ScriptObject : public std::enable_shared_from_this<ScriptObject> {
public:
  // Attributes of a member, as ASSetPropFlags sets them: hidden from for-in, protected from
  // delete, and protected from assignment; and one a built-in made for a newer movie version
  // than the movie's: reads pass it by (a prototype's member shows through), for-in lists it.
  enum Flag { DontEnum = 1, DontDelete = 2, ReadOnly = 4, Unreadable = 8 };

  // A member: a value, or a getter and setter pair (addProperty) that the interpreter calls.
  struct Slot {
    ActionValue Value;
    quint64 Order = 0;
    int Flags = 0;
    ActionValue Getter;
    ActionValue Setter;
    bool IsAccessor() const { return !Getter.IsUndefined(); }
    // The value a plain read sees: an accessor's own store is only its getter's fallback.
    ActionValue Plain() const { return IsAccessor() ? ActionValue() : Value; }
  };

  // A watch() callback: it decides the value of every assignment to its member.
  struct Watcher {
    ActionValue Callback;
    ActionValue Data;
  };

  virtual ~ScriptObject() = default;

  virtual ActionValue Member(const QString& name) const;
  virtual void SetMember(const QString& name, const ActionValue& value);
  // Removes an own member; false when there was none.
  virtual bool DeleteMember(const QString& name);
  // Whether the object itself (not its prototypes) holds the member.
  virtual bool HasOwnMember(const QString& name) const { return Find(name) != FMembers.end(); }
  // The member's slot on this object or its prototypes, and the object holding it.
  const Slot* FindSlot(const QString& name, const ScriptObject** holder = nullptr) const;
  const Slot* OwnSlot(const QString& name) const;
  // Sets a member with its attributes, whatever attributes it had.
  void DefineMember(const QString& name, const ActionValue& value, int flags = DontEnum);
  // Makes the member a getter and setter pair; a value it held stays stored beneath them.
  void DefineAccessor(const QString& name, const ActionValue& getter, const ActionValue& setter);
  // Stores value in the own accessor member name made in order, for its getter to fall back
  // to; nothing when that member is gone or no accessor.
  void KeepAccessorValue(const QString& name, quint64 order, const ActionValue& value);
  // Sets and clears attributes of an own member; nothing when there is none.
  void ChangeFlags(const QString& name, int set, int clear);
  // Whether an assignment of name would be refused: a read-only member here or inherited.
  bool IsReadOnly(const QString& name) const;
  // Own member names, oldest first, and how many there are.
  virtual std::vector<QString> MemberNames() const;
  virtual std::size_t MemberCount() const { return std::size_t(FMembers.size()); }
  // The text the object converts to.
  virtual QString ToText() const { return QStringLiteral("[object Object]"); }
  // What typeof answers for it.
  virtual QString TypeOf() const { return QStringLiteral("object"); }

  // The object's "__proto__" member, when that is an object.
  std::shared_ptr<ScriptObject> Prototype() const;
  // A bare object inherits nothing, not even the default prototype of its kind: _global, and
  // objects whose "__proto__" was deleted.
  bool IsBare() const { return FBare; }
  void MakeBare() { FBare = true; }

  void Watch(const QString& name, const ActionValue& callback, const ActionValue& data);
  bool Unwatch(const QString& name);
  const Watcher* FindWatcher(const QString& name) const;

  // The prototypes of the interfaces this prototype implements (ImplementsOp).
  const std::vector<ActionValue>& Interfaces() const;
  void SetInterfaces(std::vector<ActionValue> prototypes);

  // Makes names that differ only in case name the same member, as movies before version 7
  // have them.
  void IgnoreCase(bool ignore) { FIgnoreCase = ignore; }
  bool IgnoresCase() const { return FIgnoreCase; }

protected:
  void RemoveMember(const QString& name);

private:
  // A node per member: most objects hold a handful, and a clip on every level of a large
  // project has its own table, so the table costs what it holds and no more.
  using Members = std::unordered_map<QString, Slot>;

  // The member stored under name, or under a key differing in case only when case is
  // ignored.
  Members::const_iterator Find(const QString& name) const;

  Members FMembers;
  // Rare, so only objects that are watched carry the table.
  std::unique_ptr<std::unordered_map<QString, Watcher>> FWatchers;
  // Rarer still: only the prototypes of classes that implement interfaces carry a list.
  std::unique_ptr<std::vector<ActionValue>> FInterfaces;
  quint64 FNextOrder = 0;
  bool FIgnoreCase = false;
  bool FBare = false;
};
