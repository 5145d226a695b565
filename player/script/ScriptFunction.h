#pragma once

#include "player/script/ScriptObject.h"
#include "player/swf/SwfAction.h"

#include <memory>
#include <vector>

class MovieClip;

// A function a script defined: its body is a range of the script that defined it, and it
// keeps the scope chain and timeline of the place it was defined (a closure).
class ScriptFunction : public ScriptObject {
public:
  struct Body {
    const SwfScript* Script = nullptr; // owned by the movie, which the level keeps
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::shared_ptr<const SwfFunctionInfo> Info;
    // The constant pool in force where the function was defined, which its body reads.
    const std::vector<QString>* Pool = nullptr;
  };

  ScriptFunction(Body body, std::vector<std::shared_ptr<ScriptObject>> scope,
                 std::shared_ptr<MovieClip> timeline)
      : FBody(std::move(body)), FScope(std::move(scope)), FTimeline(std::move(timeline)) {}

  QString ToText() const override { return QStringLiteral("[type Function]"); }
  QString TypeOf() const override { return QStringLiteral("function"); }

  const Body& Code() const { return FBody; }
  const std::vector<std::shared_ptr<ScriptObject>>& Scope() const { return FScope; }
  const std::shared_ptr<MovieClip>& Timeline() const { return FTimeline; }

private:
  Body FBody;
  std::vector<std::shared_ptr<ScriptObject>> FScope;
  std::shared_ptr<MovieClip> FTimeline;
};

// The local variables of one call. It also keeps alive the objects made for the call
// alone (its arguments array), which no level owns.
class ScriptActivation : public ScriptObject {
public:
  void Keep(std::shared_ptr<ScriptObject> object) { FKept.push_back(std::move(object)); }

private:
  std::vector<std::shared_ptr<ScriptObject>> FKept;
};
