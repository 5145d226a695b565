#pragma once

#include "player/script/ScriptObject.h"

#include <memory>

// What super stands for in a function: the object's members as the prototype above the
// function's own level gives them, with calls made on the object itself. Called without a
// name it is the superclass constructor.
class ScriptSuper : public ScriptObject {
public:
  // above: the prototype above the level the running function belongs to.
  ScriptSuper(const ActionValue& self, std::shared_ptr<ScriptObject> above,
              const ActionValue& constructor)
      : FThis(self), FAbove(std::move(above)), FConstructor(constructor) {}

  ActionValue Member(const QString& name) const override {
    return FAbove ? FAbove->Member(name) : ActionValue();
  }

  const ActionValue& This() const { return FThis; }
  // Where member lookups start; null at the top of the chain.
  const std::shared_ptr<ScriptObject>& Above() const { return FAbove; }
  const ActionValue& Constructor() const { return FConstructor; }

private:
  ActionValue FThis;
  std::shared_ptr<ScriptObject> FAbove;
  ActionValue FConstructor;
};
