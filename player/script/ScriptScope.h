#pragma once

#include "player/script/ActionValue.h"
#include "player/script/ScriptFrame.h"

#include <QString>
#include <memory>
#include <vector>

class MovieClip;
class ScriptObject;
class ScriptRuntime;

// Variables and paths as a running script sees them: plain names through the frame's scope
// chain, dot paths ("_root.item.prop"), slash paths ("/item", "../x") and "path:variable".
// "_root", "_parent", "_levelN", "_global" and "this" are understood in every form.
class ScriptScope {
public:
  ScriptScope(const ScriptEnvironment& environment, ScriptFrame& frame)
      : FEnvironment(environment), FFrame(frame) {}
  // With a runtime, variables are read and written as members are: getters, setters and
  // watchers run.
  ScriptScope(const ScriptEnvironment& environment, ScriptFrame& frame, ScriptRuntime& runtime)
      : FEnvironment(environment), FFrame(frame), FRuntime(&runtime) {}

  ActionValue Get(const QString& name) const;
  void Set(const QString& name, const ActionValue& value) const;
  // Declares a local of the running function, or a timeline variable outside functions.
  void DefineLocal(const QString& name, const ActionValue& value) const;
  // The innermost with object that holds name, or null.
  std::shared_ptr<ScriptObject> WithHolder(const QString& name) const;
  // Whether the running body's locals (a function's, or the timeline's) have the variable,
  // their prototypes' included.
  bool HasLocal(const QString& name) const;
  // Deletes the variable from the first scope holding it; false when none does.
  bool Delete(const QString& name) const;
  // What a called path like "_root.menu.stop" leads to before its last name; null for a
  // plain name or a path that leads nowhere.
  std::shared_ptr<ScriptObject> CallOwner(const QString& name) const;
  // The object a target path names (a clip, mostly); null when none answers.
  std::shared_ptr<ScriptObject> ResolveTarget(const QString& path) const;

  // A member of any value: objects' members, a text's length.
  static ActionValue MemberOf(const ActionValue& base, const QString& name);
  // Whether a clip is off the stage for good: taken off, and no unload handler of its own
  // still to run on it (those see their clip as it was).
  static bool IsGone(const MovieClip& clip);

private:
  Qt::CaseSensitivity NameCase() const;
  // A name without path separators: the special names, then the scope chain.
  ActionValue Lookup(const QString& name) const;
  // Every scope that has the variable, innermost first, _global last.
  std::vector<std::shared_ptr<ScriptObject>> ScopesHolding(const QString& name) const;
  // Where the variable name lives now, or null.
  std::shared_ptr<ScriptObject> Holder(const QString& name) const;
  // Follows a dot path from base; the first segment is looked up when base is undefined.
  ActionValue Walk(QStringView path, ActionValue base) const;
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
  // What the path part of a "path.variable", "path:variable" or "/path/variable" name
  // leads to, and the member name.
  ActionValue PathOwner(const QString& name, QString& member) const;

  // Whether object has the member itself or along its prototypes.
  bool Holds(const ScriptObject& object, const QString& name) const;
  ActionValue Read(const std::shared_ptr<ScriptObject>& object, const QString& name) const;
  void Write(const std::shared_ptr<ScriptObject>& object, const QString& name,
             const ActionValue& value) const;

  const ScriptEnvironment& FEnvironment;
  ScriptFrame& FFrame;
  ScriptRuntime* FRuntime = nullptr;
};
