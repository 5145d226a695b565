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
  // Follows a slash, colon or dot path from the current target; a variable's path
  // (variablePath) starts along the scope chain and from "this" too.
  ActionValue ResolvePath(QStringView path, bool variablePath) const;
  // The object the first name of a path names.
  ActionValue First(const QString& name, bool variablePath) const;
  // A member of base; of a clip, a child by that name before a variable (childFirst) or after.
  ActionValue Step(const ActionValue& base, const QString& segment, bool childFirst) const;
  // A member object inherits from the default prototype of its kind (a clip's from
  // MovieClip's), which its own lookup does not reach.
  ActionValue Inherited(const ScriptObject& object, const QString& name) const;
  // Splits a variable's path ("clip:name", "a.b.name") into its owner and the member name.
  std::shared_ptr<ScriptObject> Owner(const QString& name, QString& member) const;

  const ScriptEnvironment& FEnvironment;
  ScriptFrame& FFrame;
};
