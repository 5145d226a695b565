#pragma once

#include "player/ScriptObject.h"

#include <vector>

// An array: its elements are the members "0", "1", … and "length" follows them.
class ScriptArray : public ScriptObject {
public:
  ActionValue Member(const QString& name) const override;
  void SetMember(const QString& name, const ActionValue& value) override;
  bool DeleteMember(const QString& name) override;
  std::vector<QString> MemberNames() const override;
  QString ToText() const override { return Join(QStringLiteral(",")); }

  std::vector<ActionValue>& Elements() { return FElements; }
  const std::vector<ActionValue>& Elements() const { return FElements; }
  // Sets the length, up to the cap on elements; false when length is over it.
  bool Resize(double length);
  QString Join(const QString& separator) const;

private:
  std::vector<ActionValue> FElements;
};
