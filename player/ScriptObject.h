#pragma once

#include "player/ActionValue.h"

#include <QHash>
#include <QString>
#include <memory>

// A script object: a table of named members. Movie clips extend it with properties.
class ScriptObject : public std::enable_shared_from_this<ScriptObject> {
public:
  virtual ~ScriptObject() = default;

  virtual ActionValue Member(const QString& name) const { return FMembers.value(name); }
  virtual void SetMember(const QString& name, const ActionValue& value) {
    FMembers.insert(name, value);
  }
  // The text the object converts to.
  virtual QString ToText() const { return QStringLiteral("[object Object]"); }

protected:
  void RemoveMember(const QString& name) { FMembers.remove(name); }

private:
  QHash<QString, ActionValue> FMembers;
};
