#pragma once

#include "player/script/ScriptObject.h"

#include <vector>

class PlayerLevel;

// An array: its elements are ordinary members named "0", "1", … (so an element that was
// never set is a hole, not an own member, and elements keep their attributes and their place
// in for-in), and "length" is kept beside them. Growing the length is charged to its level's
// allowance like text, so scripts cannot exhaust memory through array lengths.
class ScriptArray : public ScriptObject {
public:
  explicit ScriptArray(PlayerLevel& level) : FLevel(level) {}

  ActionValue Member(const QString& name) const override;
  void SetMember(const QString& name, const ActionValue& value) override;
  bool HasOwnMember(const QString& name) const override;
  QString ToText() const override { return Join(QStringLiteral(",")); }

  std::size_t Length() const { return FLength; }
  // The element values from 0 to the length; holes read through the prototypes, as a
  // script reading them would.
  std::vector<ActionValue> Elements() const;
  // Replaces every element by values, created in order.
  bool SetElements(const std::vector<ActionValue>& values);
  // Sets the length, dropping the elements beyond it; false (and nothing changes) when it is
  // no length or over the allowance.
  bool Resize(double length);
  // Inserts values at position (clamped to the length); false when over the allowance.
  bool Insert(std::size_t position, const std::vector<ActionValue>& values);
  // Takes the first or last element out; undefined when there is none.
  ActionValue Take(bool last);
  void Reverse();
  QString Join(const QString& separator) const;

private:
  bool Grow(std::size_t length);
  void DropFrom(std::size_t length);

  PlayerLevel& FLevel;
  std::size_t FLength = 0;
};
