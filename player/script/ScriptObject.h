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
  virtual ~ScriptObject() = default;

  virtual ActionValue Member(const QString& name) const;
  virtual void SetMember(const QString& name, const ActionValue& value);
  // Removes an own member; false when there was none.
  virtual bool DeleteMember(const QString& name);
  // Whether the object itself (not its prototypes) holds the member.
  bool HasOwnMember(const QString& name) const { return Find(name) != FMembers.end(); }
  // Own member names, oldest first, and how many there are.
  virtual std::vector<QString> MemberNames() const;
  virtual std::size_t MemberCount() const { return std::size_t(FMembers.size()); }
  // The text the object converts to.
  virtual QString ToText() const { return QStringLiteral("[object Object]"); }
  // What typeof answers for it.
  virtual QString TypeOf() const { return QStringLiteral("object"); }

  // The object's "__proto__" member, when that is an object.
  std::shared_ptr<ScriptObject> Prototype() const;

  // Makes names that differ only in case name the same member, as movies before version 7
  // have them.
  void IgnoreCase(bool ignore) { FIgnoreCase = ignore; }

protected:
  void RemoveMember(const QString& name);

private:
  // The order a member was added in travels with it, so deleting one costs no search.
  struct Slot {
    ActionValue Value;
    quint64 Order = 0;
  };

  // A node per member: most objects hold a handful, and a clip on every level of a large
  // project has its own table, so the table costs what it holds and no more.
  using Members = std::unordered_map<QString, Slot>;

  // The member stored under name, or under a key differing in case only when case is
  // ignored.
  Members::const_iterator Find(const QString& name) const;

  Members FMembers;
  quint64 FNextOrder = 0;
  bool FIgnoreCase = false;
};
