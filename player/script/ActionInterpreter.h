#pragma once

#include "player/script/ActionValue.h"
#include "player/script/ScriptAccessorDepth.h"
#include "player/script/ScriptFrame.h"
#include "player/script/ScriptNative.h"
#include "player/swf/SwfAction.h"

#include <QString>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

class MovieClip;
class PlayerLevel;
class PlayerStage;
class ScriptFunction;
class ScriptObject;
class ScriptSuper;

// Runs one frame script: the stack, control flow and function calls here; operators,
// variables and paths, classes, built-ins and movie-clip actions in their own units. Actions it
// does not carry out are skipped and the script goes on. A script ends at its end, at an uncaught
// throw, at a branch that leads outside it, or when it exceeds its action, stack, call
// depth, text or object allowance; it never throws.
class ActionInterpreter : public ScriptRuntime {
public:
  // depth: how deep the scripts that started this one run already (a frame script that
  // another script calls runs inside it and counts against the same call depth).
  ActionInterpreter(const PlayerStage& stage, PlayerLevel& level, MovieClip& self, int depth = 0);

  void Run(const SwfScript& script);
  // Calls a function a script defined with self as this; what it returns, or undefined for
  // any other value.
  ActionValue Invoke(const ActionValue& function, const std::shared_ptr<ScriptObject>& self,
                     const std::vector<ActionValue>& arguments);

  // What built-in functions ask of the running script.
  PlayerLevel& Level() override { return FEnvironment.Level; }
  const PlayerStage& Stage() const override { return FEnvironment.Stage; }
  int Version() const override { return FEnvironment.Version; }
  ActionValue CallValue(const ActionValue& function, const ActionValue& self,
                        const Arguments& arguments) override;
  bool Unwinding() const override { return FPendingThrow.has_value() || FStopped; }
  ActionValue GetMember(const ActionValue& base, const QString& name) override;
  void SetMember(const ActionValue& base, const QString& name, const ActionValue& value) override;
  ActionValue ToPrimitive(const ActionValue& value, bool preferText) override;
  void Throw(const ActionValue& value) override;

private:
  // How an action or a range of actions ended. Continue goes on at At; a call's result, a
  // returned or a thrown value is in Value.
  struct Completion {
    enum Kind { Continue, Return, Throw, Abort };
    Kind How = Continue;
    std::size_t At = 0;
    ActionValue Value;

    static Completion ContinueAt(std::size_t at) { return {Continue, at, {}}; }
    static Completion Ended(Kind how, const ActionValue& value = {}) { return {how, 0, value}; }
    static Completion Result(const ActionValue& value) { return {Continue, 0, value}; }
  };
  Completion RunRange(const SwfScript& script, std::size_t begin, std::size_t end,
                      ScriptFrame& frame);
  Completion Execute(const SwfScript& script, std::size_t index, ScriptFrame& frame);
  // Moves the frame off a timeline that was taken off the stage for good.
  void LeaveRemovedTimeline(ScriptFrame& frame);
  // Each handles one family of actions; false when the action is not of its family.
  bool ExecuteStack(const SwfAction& action, ScriptFrame& frame, Completion& result);
  bool ExecuteVariables(const SwfAction& action, ScriptFrame& frame, Completion& result);
  bool ExecuteObjects(const SwfAction& action, ScriptFrame& frame, Completion& result);
  bool ExecuteCalls(const SwfAction& action, ScriptFrame& frame, Completion& result);
  bool ExecuteClip(const SwfAction& action, ScriptFrame& frame, Completion& result);
  Completion ExecuteBlock(const SwfScript& script, std::size_t index, ScriptFrame& frame);
  Completion ExecuteTry(const SwfScript& script, std::size_t index, ScriptFrame& frame);
  // Runs the try, catch and finally blocks of a checked Try action.
  Completion RunBlocks(const SwfScript& script, const SwfAction& action, ScriptFrame& frame);
  Completion DefineFunctionAt(const SwfScript& script, std::size_t index, ScriptFrame& frame);

  bool Push(const ActionValue& value);
  ActionValue Pop();
  Arguments PopArguments();
  bool PushText(const QString& text);
  // Calls a function with receiver as this; Value holds what it returned.
  Completion Call(const ScriptFunction& function, const ActionValue& receiver,
                  const Arguments& arguments);
  void Prepare(const ScriptFunction& function, const Arguments& arguments, ScriptFrame& callee);
  // A call through super runs on super's this; the script function it calls gets a super
  // one prototype level higher.
  void CallThroughSuper(const ScriptSuper& super, const ActionValue& callee, ActionValue& self);
  // The super object of a call of function belonging to home (null: this's prototype); the
  // call owns it.
  ActionValue SuperOf(const ScriptFunction& function, ScriptFrame& callee,
                      std::shared_ptr<ScriptObject> home);
  // Calls callee when it is a function a script defined; nothing for any other value.
  std::optional<Completion> CallScriptFunction(const ActionValue& callee,
                                               const ActionValue& receiver,
                                               const Arguments& arguments);
  Completion Construct(const ActionValue& constructor, const QString& className,
                       const Arguments& arguments);
  // Calls a function value of any kind: a script's or the player's; nothing for other values.
  std::optional<Completion> CallAny(const ActionValue& callee, const ActionValue& self,
                                    const Arguments& arguments);
  // refused, when given, tells whether a constructor refused its arguments.
  ActionValue Invoke(const NativeFunction& function, const ActionValue& self,
                     const Arguments& arguments, bool constructing, bool* refused = nullptr);
  // A primitive made an object through the global class of its kind, which a movie may
  // have replaced; undefined and null stay as they are.
  ActionValue ToObject(const ActionValue& value);
  bool InstanceOf(const ActionValue& object, const ActionValue& constructor);
  // An operator's operands as the operator sees them: objects turned into their primitive
  // values, except where the operator compares the objects themselves.
  ActionValue Operate(quint8 code, const ActionValue& left, const ActionValue& right);
  // A unary operator's operand as it sees it: text, number, or the value itself.
  ActionValue UnaryOperand(quint8 code, const ActionValue& operand);
  // The slot of name on object or along its chain, default prototypes included, and the
  // object holding it. A chain that does not end stops the script.
  const ScriptObject::Slot* FindMember(const ScriptObject& object, const QString& name,
                                       const ScriptObject** holder = nullptr);
  // The value of a slot found on holder for receiver: an accessor's getter's, or what the
  // accessor keeps when its getter runs too deep to be called.
  ActionValue ReadSlot(const ScriptObject::Slot& slot, const ScriptObject& holder,
                       const QString& name, const ActionValue& receiver);
  // Calls a getter, setter or watcher of member; nothing when too many of its kind already
  // run inside each other (inside the watcher of watched too).
  std::optional<ActionValue> CallAccessor(ScriptAccessorDepth::Kind kind,
                                          const ScriptAccessorDepth::Member& member,
                                          const ScriptAccessorDepth::Member* watched,
                                          const ActionValue& function, const ActionValue& self,
                                          const Arguments& arguments);
  // Pushes undefined (the mark a for-in loop ends at), then the object's member names; false
  // when the script has to stop.
  bool Enumerate(const ActionValue& object);

  ScriptEnvironment FEnvironment;
  MovieClip& FSelf;
  std::vector<ActionValue> FStack;
  std::size_t FStackBase = 0; // values below belong to the calling function
  std::size_t FExecuted = 0;
  int FDepth = 0; // function calls and with and try blocks running inside each other
  ScriptAccessorDepth FAccessorDepth;
  // The prototype level a call through super belongs to, taken by the call it starts.
  std::shared_ptr<ScriptObject> FSuperHome;
  std::optional<ActionValue> FPendingThrow; // thrown inside a built-in's callback
  // The script function whose body runs now; undefined in a frame script.
  ActionValue FRunningFunction;
  // The registers of the running frame script, which functions of version 2 share; spare
  // ones when a handler runs outside any frame script.
  std::vector<ActionValue> FSpareRegisters = std::vector<ActionValue>(4);
  std::vector<ActionValue>* FScriptRegisters = &FSpareRegisters;
  bool FStopped = false; // an allowance ran out inside a callback
};
