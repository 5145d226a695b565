#pragma once

#include "player/script/ActionValue.h"
#include "player/script/ScriptFrame.h"

#include <QString>
#include <memory>

class ScriptObject;

// Variables and paths as a running script sees them: plain names through the frame's scope
// chain, dot paths ("_root.item.prop"), slash paths ("/item", "../x") and "path:variable".
// "_root", "_parent", "_levelN", "_global" and "this" are understood in every form.
class ScriptScope {
public:
  ScriptScope(const ScriptEnvironment& environment, ScriptFrame& frame)
      : FEnvironment(environment), FFrame(frame) {}

  ActionValue Get(const QString& name) const;
  void Set(const QString& name, const ActionValue& value) const;
  // Declares a local of the running function, or a timeline variable outside functions.
  void DefineLocal(const QString& name, const ActionValue& value) const;
  // Deletes the variable from the first scope holding it; false when none does.
  bool Delete(const QString& name) const;
  // The object a target path names (a clip, mostly); null when none answers.
  std::shared_ptr<ScriptObject> ResolveTarget(const QString& path) const;

  // A member of any value: objects' members, a text's length.
  static ActionValue MemberOf(const ActionValue& base, const QString& name);

private:
  Qt::CaseSensitivity NameCase() const;
  // A name without path separators: the special names, then the scope chain.
  ActionValue Lookup(const QString& name) const;
  // Where the variable name lives now, or null.
  std::shared_ptr<ScriptObject> Holder(const QString& name) const;
  // Follows a dot path from base; the first segment is looked up when base is undefined.
  ActionValue Walk(QStringView path, ActionValue base) const;
  ActionValue Step(const ActionValue& base, const QString& segment) const;
  // The first segment of a target path, looked up on the current target; path keeps the rest.
  ActionValue FromTarget(QStringView& path) const;
  // A member object inherits from the default prototype of its kind (a clip's from
  // MovieClip's), which its own lookup does not reach.
  ActionValue Inherited(const ScriptObject& object, const QString& name) const;
  // Splits "path:variable" (and "/path/variable") into the object and the member name.
  std::shared_ptr<ScriptObject> Owner(const QString& name, QString& member) const;

  const ScriptEnvironment& FEnvironment;
  ScriptFrame& FFrame;
};
