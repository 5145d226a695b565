#pragma once

#include "player/script/ScriptObject.h"

#include <algorithm>
#include <vector>

class PlayerLevel;

// An array: its elements are the members "0", "1", … and "length" follows them.
// Growing an array is charged to its level's allowance like text, so scripts cannot
// exhaust memory through array lengths.
class ScriptArray : public ScriptObject {
public:
  explicit ScriptArray(PlayerLevel& level) : FLevel(level) {}

  ActionValue Member(const QString& name) const override;
  void SetMember(const QString& name, const ActionValue& value) override;
  bool DeleteMember(const QString& name) override;
  bool HasOwnMember(const QString& name) const override;
  std::vector<QString> MemberNames() const override;
  std::size_t MemberCount() const override {
    return FElements.size() + ScriptObject::MemberCount();
  }
  QString ToText() const override { return Join(QStringLiteral(",")); }

  const std::vector<ActionValue>& Elements() const { return FElements; }
  // Sets the length; false (and nothing changes) when it is no length or over the allowance.
  bool Resize(double length);
  // Inserts values at position (clamped to the length); false when over the allowance.
  bool Insert(std::size_t position, const std::vector<ActionValue>& values);
  // Takes the first or last element out; undefined when there is none.
  ActionValue Take(bool last);
  void Reverse() { FElements = std::vector<ActionValue>(FElements.rbegin(), FElements.rend()); }
  QString Join(const QString& separator) const;

private:
  bool Charge(std::size_t elements);

  PlayerLevel& FLevel;
  std::vector<ActionValue> FElements;
};
