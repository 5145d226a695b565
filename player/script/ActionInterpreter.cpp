#include "player/script/ActionInterpreter.h"

#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/PlayerStage.h"
#include "player/TextField.h"
#include "player/script/ScriptArray.h"
#include "player/script/ScriptBuiltins.h"
#include "player/script/ScriptClasses.h"
#include "player/script/ScriptClipActions.h"
#include "player/script/ScriptDrag.h"
#include "player/script/ScriptFunction.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptOperators.h"
#include "player/script/ScriptRemovedClip.h"
#include "player/script/ScriptScope.h"
#include "player/script/ScriptSuper.h"
#include "player/script/ScriptTimeline.h"
#include "player/swf/SwfLimits.h"

#include <QRandomGenerator>
#include <cmath>
#include <utility>

namespace {

// Registers a frame script and a DefineFunction body have.
constexpr int DefaultRegisters = 4;

// DefineFunction2's flags, first byte high.
namespace Preload {
constexpr quint16 Parent = 0x8000;
constexpr quint16 Root = 0x4000;
constexpr quint16 SuppressSuper = 0x2000;
constexpr quint16 Super = 0x1000;
constexpr quint16 SuppressArguments = 0x0800;
constexpr quint16 Arguments = 0x0400;
constexpr quint16 SuppressThis = 0x0200;
constexpr quint16 This = 0x0100;
constexpr quint16 Global = 0x0001;
} // namespace Preload

// The script value of a Push action's constant; a pool entry the pool lacks is undefined.
ActionValue PushedConstant(const SwfPushValue& pushed, const std::vector<QString>* pool) {
  if (pushed.PoolIndex >= 0)
    return pool && std::size_t(pushed.PoolIndex) < pool->size()
               ? ActionValue((*pool)[std::size_t(pushed.PoolIndex)])
               : ActionValue();
  struct ToValue {
    ActionValue operator()(std::monostate) const { return {}; }
    ActionValue operator()(SwfNull) const { return ActionValue::Null(); }
    ActionValue operator()(bool value) const { return value; }
    ActionValue operator()(double value) const { return value; }
    ActionValue operator()(const QString& value) const { return value; }
  };
  return std::visit(ToValue{}, pushed.Value);
}

// Try's flags.
constexpr int HasCatch = 0x01;
constexpr int HasFinally = 0x02;

// How many entries a count popped from the stack may take, given what the stack holds.
std::size_t ClampCount(double count, std::size_t available) {
  if (!(count > 0))
    return 0;
  return count >= double(available) ? available : std::size_t(count);
}

// The register index names in frame, its own or the frame script's; null for none.
ActionValue* RegisterOf(ScriptFrame& frame, int index) {
  if (index < 0)
    return nullptr;
  if (std::size_t(index) < frame.Registers.size())
    return &frame.Registers[std::size_t(index)];
  if (frame.SharedRegisters && std::size_t(index) < frame.SharedRegisters->size())
    return &(*frame.SharedRegisters)[std::size_t(index)];
  return nullptr;
}

void SetRegister(ScriptFrame& frame, int index, const ActionValue& value) {
  if (ActionValue* slot = RegisterOf(frame, index))
    *slot = value;
}

} // namespace

ActionInterpreter::ActionInterpreter(const PlayerStage& stage, PlayerLevel& level, MovieClip& self,
                                     int depth)
    : FEnvironment{stage, level, level.Movie().Version}, FSelf(self), FDepth(depth) {}

void ActionInterpreter::Run(const SwfScript& script) {
  ScriptFrame frame;
  frame.Origin = frame.Target = std::static_pointer_cast<MovieClip>(FSelf.shared_from_this());
  frame.This = ActionValue(frame.Origin);
  frame.Registers.resize(DefaultRegisters);
  frame.Pool = FEnvironment.Level.ConstantPool();
  std::vector<ActionValue>* const outer = FScriptRegisters;
  FScriptRegisters = &frame.Registers;
  // The stack carries over from one script of the frame to the next.
  const bool outermost = FStack.empty();
  if (outermost)
    FStack.swap(FEnvironment.Level.LeftOnStack());
  const Completion completion = RunRange(script, 0, script.size(), frame);
  if (outermost) {
    if (completion.How == Completion::Abort)
      FStack.clear();
    FStack.swap(FEnvironment.Level.LeftOnStack());
    FStack.clear();
  }
  FScriptRegisters = outer;
}

ActionValue ActionInterpreter::Invoke(const ActionValue& function,
                                      const std::shared_ptr<ScriptObject>& self,
                                      const std::vector<ActionValue>& arguments) {
  const auto called = CallScriptFunction(function, ActionValue(self), arguments);
  return called && called->How == Completion::Continue ? called->Value : ActionValue();
}

ActionInterpreter::Completion ActionInterpreter::RunRange(const SwfScript& script,
                                                          std::size_t begin, std::size_t end,
                                                          ScriptFrame& frame) {
  std::size_t index = begin;
  while (index < end) {
    if (++FExecuted > SwfLimits::MaxActionsPerScript || !FEnvironment.Level.SpendAction())
      return Completion::Ended(Completion::Abort);
    if (frame.Target->IsUnloaded())
      LeaveRemovedTimeline(frame);
    Completion step = Execute(script, index, frame);
    if (FStopped)
      return Completion::Ended(Completion::Abort);
    if (FPendingThrow) {
      step = Completion::Ended(Completion::Throw, *FPendingThrow);
      FPendingThrow.reset();
    }
    if (step.How != Completion::Continue)
      return step;
    // A branch out of the range ends it; the enclosing range decides whether it may go on.
    if (step.At < begin || step.At > end)
      return step;
    index = step.At;
  }
  return Completion::ContinueAt(end);
}

void ActionInterpreter::LeaveRemovedTimeline(ScriptFrame& frame) {
  // A level's own root stays what it was: the level it belonged to is gone with it.
  if (!frame.Target->Parent() || !ScriptScope::IsGone(*frame.Target))
    return;
  // Code whose timeline was taken off the stage runs on the clip now at its path, or else on
  // its level's root.
  auto found = std::dynamic_pointer_cast<MovieClip>(
      MovieClip::Live(ActionValue(std::static_pointer_cast<ScriptObject>(frame.Target))).Object());
  if (!found)
    found = FEnvironment.Stage.LevelRoot(frame.Target->Level());
  if (found)
    frame.Target = found;
}

ActionInterpreter::Completion ActionInterpreter::Execute(const SwfScript& script, std::size_t index,
                                                         ScriptFrame& frame) {
  const SwfAction& action = script[index];
  Completion result = Completion::ContinueAt(index + 1);
  const int version = FEnvironment.Version;
  if (ScriptOperators::IsBinary(action.Code)) {
    const ActionValue right = Pop();
    const ActionValue left = Pop();
    if (!Push(Operate(action.Code, left, right)))
      result.How = Completion::Abort;
    return result;
  }
  if (ScriptOperators::IsUnary(action.Code)) {
    if (!Push(ScriptOperators::Unary(action.Code, UnaryOperand(action.Code, Pop()), version)))
      result.How = Completion::Abort;
    return result;
  }
  switch (action.Code) {
  case SwfActionCode::Jump:
  case SwfActionCode::If:
    if (action.Code == SwfActionCode::If && !Pop().ToBoolean(version))
      return result;
    if (action.Branch == NoAction)
      return Completion::Ended(Completion::Abort);
    result.At = action.Branch;
    return result;
  case SwfActionCode::With:
    return ExecuteBlock(script, index, frame);
  case SwfActionCode::Try:
    return ExecuteTry(script, index, frame);
  case SwfActionCode::DefineFunction:
  case SwfActionCode::DefineFunction2:
    return DefineFunctionAt(script, index, frame);
  case SwfActionCode::Return:
    return Completion::Ended(Completion::Return, Pop());
  case SwfActionCode::End: // one that actions follow: reached, it ends the body
    return Completion::Ended(Completion::Return);
  case SwfActionCode::Throw:
    return Completion::Ended(Completion::Throw, Pop());
  default:
    break;
  }
  const bool carriedOut = ExecuteStack(action, frame, result) ||
                          ExecuteVariables(action, frame, result) ||
                          ExecuteObjects(action, frame, result) ||
                          ExecuteCalls(action, frame, result) || ExecuteClip(action, frame, result);
  // An action no family carries out (one the player does not know, or a frame change that
  // leaves frame 1 showing) is skipped and the script goes on.
  return carriedOut ? result : Completion::ContinueAt(index + 1);
}

bool ActionInterpreter::ExecuteStack(const SwfAction& action, ScriptFrame& frame,
                                     Completion& result) {
  const int version = FEnvironment.Version;
  bool ok = true;
  switch (action.Code) {
  case SwfActionCode::Push:
    for (const SwfPushValue& value : action.Values) {
      if (value.Register >= 0) {
        const ActionValue* slot = RegisterOf(frame, value.Register);
        ok = ok && this->Push(slot ? *slot : ActionValue());
      } else {
        ok = ok && this->Push(PushedConstant(value, frame.Pool));
      }
    }
    break;
  case SwfActionCode::Pop:
    this->Pop();
    break;
  case SwfActionCode::PushDuplicate: {
    const ActionValue top = this->Pop();
    ok = this->Push(top) && this->Push(top);
    break;
  }
  case SwfActionCode::StackSwap: {
    const ActionValue top = this->Pop();
    const ActionValue below = this->Pop();
    ok = this->Push(top) && this->Push(below);
    break;
  }
  case SwfActionCode::StoreRegister: {
    const ActionValue top = this->Pop();
    SetRegister(frame, action.Register, top);
    ok = this->Push(top);
    break;
  }
  case SwfActionCode::StringAdd: {
    const QString right = ToText(this->Pop());
    ok = PushText(ToText(this->Pop()) + right);
    break;
  }
  case SwfActionCode::Add2: {
    // Both sides are reduced by valueOf, the right one first; an object left over joins a
    // text through its toString and is no number otherwise.
    const ActionValue right = ToPrimitive(this->Pop(), false);
    const ActionValue left = ToPrimitive(this->Pop(), false);
    if (left.IsString() || right.IsString()) {
      const QString leftText = ToText(left);
      ok = PushText(leftText + ToText(right));
    } else {
      const double leftNumber = ToNumber(left);
      ok = this->Push(leftNumber + ToNumber(right));
    }
    break;
  }
  case SwfActionCode::StringExtract:
  case SwfActionCode::MBStringExtract: {
    const double count = ToNumber(this->Pop());
    const double index = ToNumber(this->Pop());
    ok = this->Push(ScriptOperators::Extract(
        ToText(this->Pop()), index, count, action.Code == SwfActionCode::MBStringExtract, version));
    break;
  }
  case SwfActionCode::RandomNumber: {
    const double limit = ToNumber(this->Pop());
    const double range = limit >= 1 && limit < 2147483648.0 ? std::floor(limit) : 1;
    ok = this->Push(std::floor(QRandomGenerator::global()->generateDouble() * range));
    break;
  }
  case SwfActionCode::GetTime:
    ok = this->Push(std::floor(FEnvironment.Stage.Clock().Now()));
    break;
  case SwfActionCode::ConstantPool:
    frame.Pool = &action.Pool;
    FEnvironment.Level.SetConstantPool(&action.Pool);
    break;
  default:
    return false;
  }
  if (!ok)
    result.How = Completion::Abort;
  return true;
}

bool ActionInterpreter::ExecuteVariables(const SwfAction& action, ScriptFrame& frame,
                                         Completion& result) {
  const int version = FEnvironment.Version;
  const ScriptScope scope(FEnvironment, frame, *this);
  bool ok = true;
  switch (action.Code) {
  case SwfActionCode::GetVariable: {
    // An object names the variable its toString gives.
    const QString name = ToText(Pop());
    ok = Push(MovieClip::Live(scope.Get(name)));
    break;
  }
  case SwfActionCode::SetVariable: {
    const ActionValue value = Pop();
    scope.Set(Pop().ToString(version), value);
    break;
  }
  case SwfActionCode::DefineLocal: {
    const ActionValue value = Pop();
    scope.DefineLocal(Pop().ToString(version), value);
    break;
  }
  case SwfActionCode::DefineLocal2: {
    // A variable the locals already have, their prototypes' included, keeps its value.
    const QString name = Pop().ToString(version);
    if (!scope.HasLocal(name))
      scope.DefineLocal(name, {});
    break;
  }
  case SwfActionCode::Delete2:
    ok = Push(scope.Delete(Pop().ToString(version)));
    break;
  case SwfActionCode::TargetPath: {
    const auto object = Pop().Object();
    const bool displayed = dynamic_cast<const MovieClip*>(object.get()) ||
                           dynamic_cast<const TextField*>(object.get());
    ok = Push(displayed ? ActionValue(object->ToText()) : ActionValue());
    break;
  }
  default:
    return false;
  }
  if (!ok)
    result.How = Completion::Abort;
  return true;
}

bool ActionInterpreter::ExecuteObjects(const SwfAction& action, ScriptFrame& frame,
                                       Completion& result) {
  const int version = FEnvironment.Version;
  bool ok = true;
  switch (action.Code) {
  case SwfActionCode::GetMember: {
    const QString name = ToText(Pop());
    ok = Push(GetMember(Pop(), name));
    break;
  }
  case SwfActionCode::SetMember: {
    const ActionValue value = Pop();
    const QString name = ToText(Pop());
    SetMember(Pop(), name, value);
    break;
  }
  case SwfActionCode::Delete: {
    const QString name = Pop().ToString(version);
    const auto object = Pop().Object();
    ok = Push(object && object->DeleteMember(name));
    break;
  }
  case SwfActionCode::InitObject: {
    // A count beyond what the stack holds makes nothing and takes nothing.
    const double requested = Pop().ToNumber(version);
    if (requested > double((FStack.size() - FStackBase) / 2)) {
      ok = Push({});
      break;
    }
    const std::size_t pairs = ClampCount(requested, (FStack.size() - FStackBase) / 2);
    const auto object = FEnvironment.Level.NewObject();
    ok = object != nullptr;
    for (std::size_t i = 0; ok && i < pairs; ++i) {
      const ActionValue value = Pop();
      object->SetMember(Pop().ToString(version), value);
    }
    ok = ok && Push(object);
    break;
  }
  case SwfActionCode::InitArray: {
    const double requested = Pop().ToNumber(version);
    if (requested > double(FStack.size() - FStackBase)) {
      ok = Push({});
      break;
    }
    Arguments elements;
    for (std::size_t i = ClampCount(requested, FStack.size() - FStackBase); i > 0; --i)
      elements.push_back(Pop());
    const ActionValue array = ScriptBuiltins::NewArray(FEnvironment.Level, elements);
    ok = !array.IsUndefined() && Push(array);
    break;
  }
  case SwfActionCode::Enumerate:
  case SwfActionCode::Enumerate2: {
    const ActionValue target = Pop();
    ok = Enumerate(action.Code == SwfActionCode::Enumerate2
                       ? target
                       : ScriptScope(FEnvironment, frame, *this).Get(target.ToString(version)));
    break;
  }
  case SwfActionCode::TypeOf:
    ok = Push(ScriptOperators::TypeOf(Pop()));
    break;
  case SwfActionCode::InstanceOf: {
    const ActionValue constructor = Pop();
    ok = Push(InstanceOf(Pop(), constructor));
    break;
  }
  case SwfActionCode::CastOp: {
    const ActionValue object = Pop();
    const ActionValue constructor = Pop();
    // A primitive is made an object (a replaced String runs), yet casts to null.
    if (!object.Object()) {
      ToObject(object);
      ok = Push(ActionValue::Null());
    } else {
      ok = Push(InstanceOf(object, constructor) ? object : ActionValue::Null());
    }
    break;
  }
  case SwfActionCode::ImplementsOp: {
    const ActionValue constructor = Pop();
    ScriptClasses::Implement(constructor, PopArguments());
    break;
  }
  case SwfActionCode::Extends: {
    const ActionValue superclass = Pop();
    ok = ScriptClasses::Extend(FEnvironment.Level, Pop(), superclass);
    break;
  }
  default:
    return false;
  }
  if (!ok)
    result.How = Completion::Abort;
  return true;
}

bool ActionInterpreter::ExecuteCalls(const SwfAction& action, ScriptFrame& frame,
                                     Completion& result) {
  const int version = FEnvironment.Version;
  Completion call;
  switch (action.Code) {
  case SwfActionCode::CallFunction: {
    const QString name = Pop().ToString(version);
    const Arguments arguments = PopArguments();
    // A plain call runs with the current timeline as this, or on the with object that holds
    // the function; one named by a path runs on what the path leads to ("menu.stop" on menu).
    // super() runs the superclass constructor on this.
    const ScriptScope scope(FEnvironment, frame, *this);
    ActionValue callee = scope.Get(name);
    const auto with = scope.WithHolder(name);
    ActionValue self = with ? ActionValue(with) : ActionValue(frame.Target);
    if (const auto owner = scope.CallOwner(name))
      self = ActionValue(owner);
    if (const auto* super = dynamic_cast<const ScriptSuper*>(callee.Object().get())) {
      callee = super->Constructor();
      CallThroughSuper(*super, callee, self);
    }
    const auto called = CallAny(callee, self, arguments);
    FSuperHome.reset();
    if (called)
      call = *called;
    else if (const auto timer = ScriptTimeline::CallFunction(FEnvironment, name, arguments))
      call.Value = *timer;
    break;
  }
  case SwfActionCode::CallMethod: {
    const ActionValue nameValue = Pop();
    const ActionValue receiver = Pop();
    const Arguments arguments = PopArguments();
    const QString name = nameValue.IsUndefined() ? QString() : nameValue.ToString(version);
    // Without a name the receiver itself is called, with no this (super(…) runs on super's).
    ActionValue callee = name.isEmpty() ? receiver : GetMember(receiver, name);
    ActionValue self = name.isEmpty() ? ActionValue() : receiver;
    const auto* super = dynamic_cast<const ScriptSuper*>(receiver.Object().get());
    if (super) {
      if (name.isEmpty())
        callee = super->Constructor();
      CallThroughSuper(*super, callee, self);
    }
    auto* clip = dynamic_cast<MovieClip*>(receiver.Object().get());
    const auto called = CallAny(callee, self, arguments);
    FSuperHome.reset();
    if (called)
      call = *called;
    else if (const auto moved = clip && !name.isEmpty()
                                    ? ScriptTimeline::CallMethod(*this, FEnvironment, frame, *clip,
                                                                 name, arguments)
                                    : std::nullopt)
      call.Value = *moved;
    else if (!name.isEmpty())
      call.Value = ScriptBuiltins::CallMethod(FEnvironment, receiver, name, arguments)
                       .value_or(ActionValue());
    break;
  }
  case SwfActionCode::NewObject: {
    const QString name = Pop().ToString(version);
    const Arguments arguments = PopArguments();
    call = Construct(ScriptScope(FEnvironment, frame, *this).Get(name), name, arguments);
    break;
  }
  case SwfActionCode::NewMethod: {
    const ActionValue nameValue = Pop();
    const ActionValue receiver = Pop();
    const Arguments arguments = PopArguments();
    const QString name = nameValue.IsUndefined() ? QString() : nameValue.ToString(version);
    call = Construct(name.isEmpty() ? receiver : GetMember(receiver, name), name, arguments);
    break;
  }
  default:
    return false;
  }
  if (call.How != Completion::Continue)
    result = call;
  else if (!Push(call.Value))
    result.How = Completion::Abort;
  return true;
}

bool ActionInterpreter::ExecuteClip(const SwfAction& action, ScriptFrame& frame,
                                    Completion& result) {
  const int version = FEnvironment.Version;
  const ScriptClipActions clip(FEnvironment, frame, *this);
  switch (action.Code) {
  case SwfActionCode::GetProperty: {
    const ActionValue property = Pop();
    const ActionValue target = Pop();
    if (!Push(clip.GetProperty(target, property)))
      result.How = Completion::Abort;
    break;
  }
  case SwfActionCode::SetProperty: {
    const ActionValue value = Pop();
    const ActionValue property = Pop();
    clip.SetProperty(Pop(), property, value);
    break;
  }
  case SwfActionCode::SetTarget:
    clip.SetTarget(action.Url);
    break;
  case SwfActionCode::SetTarget2:
    clip.SetTarget(Pop());
    break;
  case SwfActionCode::GetUrl:
    clip.GetUrl(action.Url, action.Target);
    break;
  case SwfActionCode::GetUrl2: {
    const QString target = ToText(Pop());
    constexpr int LoadsVariables = 0x80, TargetIsClip = 0x40;
    const QString url = ToText(Pop());
    if (!(action.Number & LoadsVariables))
      clip.GetUrl(url, target, action.Number & TargetIsClip);
    break;
  }
  case SwfActionCode::WaitForFrame:
  case SwfActionCode::WaitForFrame2: {
    // A label names a frame that is there; a number may lie past the movie's end.
    ActionValue frameValue =
        action.Code == SwfActionCode::WaitForFrame ? ActionValue(double(action.Number)) : Pop();
    if (frameValue.Object()) // an object names its frame by its text
      frameValue = ToText(frameValue);
    const bool byNumber = action.Code == SwfActionCode::WaitForFrame || frameValue.IsNumber();
    const double number =
        frameValue.ToNumber(version) - (action.Code == SwfActionCode::WaitForFrame ? 0 : 1);
    if (byNumber && !clip.IsFrameLoaded(number))
      result.At = action.Branch;
    break;
  }
  case SwfActionCode::Trace: {
    // undefined is shown by name whatever the movie's version.
    const ActionValue value = Pop();
    FEnvironment.Stage.SendTrace(value.IsUndefined() ? QStringLiteral("undefined") : ToText(value));
    break;
  }
  case SwfActionCode::GotoFrame2: {
    const ActionValue target = Pop();
    ScriptTimeline::Goto(*this, FEnvironment, frame, *frame.Target, target, action.Number & 0x01,
                         (action.Number & 0x02) ? action.Register : 0);
    break;
  }
  case SwfActionCode::Call: {
    const ActionValue target = Pop();
    ScriptTimeline::CallFrame(*this, FEnvironment, frame, target, FDepth + 1);
    break;
  }
  case SwfActionCode::RemoveSprite:
    clip.RemoveSprite(Pop());
    break;
  case SwfActionCode::CloneSprite: {
    // Depth, name and source are asked for what they stand for in the order they come off.
    const double depth = ToNumber(Pop());
    const QString name = ToText(Pop());
    clip.CloneSprite(*this, Pop(), name, depth);
    break;
  }
  case SwfActionCode::StartDrag: {
    // The operands are read as the player reads them: the target as text, the rest as
    // numbers; only a constraint of 1 brings the four edges of the rectangle.
    const ActionValue target(ToText(Pop()));
    const double lockCenter = ToNumber(Pop());
    std::optional<QRectF> constraint;
    if (ToNumber(Pop()) == 1) {
      const double bottom = ToNumber(Pop());
      const double right = ToNumber(Pop());
      const double top = ToNumber(Pop());
      const double left = ToNumber(Pop());
      constraint = QRectF(QPointF(left, top), QPointF(right, bottom));
    }
    clip.StartDrag(target, lockCenter != 0 && !std::isnan(lockCenter), constraint);
    break;
  }
  case SwfActionCode::EndDrag:
    ScriptDrag::Stop(FEnvironment.Level);
    break;
  default:
    // ToggleQuality and StopSounds change nothing here; unknown actions are skipped.
    return ScriptTimeline::RunFrameAction(FEnvironment, frame, action.Code, action.Number,
                                          action.Url);
  }
  return true;
}

ActionInterpreter::Completion
ActionInterpreter::ExecuteBlock(const SwfScript& script, std::size_t index, ScriptFrame& frame) {
  const SwfAction& action = script[index];
  const std::size_t end = action.BlockEnds[0];
  const auto object = Pop().Object();
  if (end == NoAction || FDepth >= SwfLimits::MaxCallDepth)
    return Completion::Ended(Completion::Abort);
  if (object)
    frame.With.push_back(object);
  ++FDepth;
  Completion completion = RunRange(script, index + 1, end, frame);
  --FDepth;
  if (object)
    frame.With.pop_back();
  return completion;
}

ActionInterpreter::Completion ActionInterpreter::ExecuteTry(const SwfScript& script,
                                                            std::size_t index, ScriptFrame& frame) {
  const SwfAction& action = script[index];
  const auto [tryEnd, catchEnd, finallyEnd] = action.BlockEnds;
  if (tryEnd == NoAction || catchEnd == NoAction || finallyEnd == NoAction ||
      FDepth >= SwfLimits::MaxCallDepth)
    return Completion::Ended(Completion::Abort);
  // The blocks nest in the interpreter's own calls, so they count as calls.
  ++FDepth;
  const Completion completion = RunBlocks(script, action, frame);
  --FDepth;
  return completion;
}

ActionInterpreter::Completion
ActionInterpreter::RunBlocks(const SwfScript& script, const SwfAction& action, ScriptFrame& frame) {
  const std::size_t index = std::size_t(&action - script.data());
  const auto [tryEnd, catchEnd, finallyEnd] = action.BlockEnds;
  const std::size_t height = FStack.size();
  Completion completion = RunRange(script, index + 1, tryEnd, frame);
  if (completion.How == Completion::Throw && (action.Number & HasCatch)) {
    // The catch block finds the stack no higher than the try block found it.
    if (FStack.size() > height)
      FStack.resize(height);
    if (action.Number & 0x04)
      SetRegister(frame, action.Register, completion.Value);
    else
      ScriptScope(FEnvironment, frame, *this).DefineLocal(action.Url, completion.Value);
    completion = RunRange(script, tryEnd, catchEnd, frame);
  }
  // Running off the end of the try or catch block goes on after the finally block.
  const bool ranThrough = completion.How == Completion::Continue &&
                          (completion.At == tryEnd || completion.At == catchEnd);
  if (ranThrough)
    completion.At = finallyEnd;
  if (completion.How == Completion::Abort || !(action.Number & HasFinally))
    return completion;
  const Completion finally = RunRange(script, catchEnd, finallyEnd, frame);
  return finally.How != Completion::Continue || finally.At != finallyEnd ? finally : completion;
}

ActionInterpreter::Completion ActionInterpreter::DefineFunctionAt(const SwfScript& script,
                                                                  std::size_t index,
                                                                  ScriptFrame& frame) {
  const SwfAction& action = script[index];
  const std::size_t end = action.BlockEnds[0];
  if (end == NoAction || !action.Function)
    return Completion::Ended(Completion::Abort);
  // The closure sees what the defining code sees, innermost last.
  std::vector<std::shared_ptr<ScriptObject>> scope = frame.Scope;
  if (frame.Activation)
    scope.push_back(frame.Activation);
  scope.insert(scope.end(), frame.With.begin(), frame.With.end());
  const auto function = FEnvironment.Level.Adopt(std::make_shared<ScriptFunction>(
      ScriptFunction::Body{&script, index + 1, end, action.Function, frame.Pool}, std::move(scope),
      frame.Target));
  if (!function || !ScriptClasses::GivePrototype(FEnvironment.Level, *function))
    return Completion::Ended(Completion::Abort);
  const ActionValue value{std::shared_ptr<ScriptObject>(function)};
  if (action.Function->Name.isEmpty()) {
    if (!Push(value))
      return Completion::Ended(Completion::Abort);
  } else {
    ScriptScope(FEnvironment, frame, *this).DefineLocal(action.Function->Name, value);
  }
  return Completion::ContinueAt(end);
}

bool ActionInterpreter::Push(const ActionValue& value) {
  if (FStack.size() >= SwfLimits::MaxStackDepth)
    return false;
  FStack.push_back(value);
  return true;
}

ActionValue ActionInterpreter::Pop() {
  if (FStack.size() <= FStackBase)
    return {};
  ActionValue value = std::move(FStack.back());
  FStack.pop_back();
  return value;
}

ActionInterpreter::Arguments ActionInterpreter::PopArguments() {
  const double requested = Pop().ToNumber(FEnvironment.Version);
  const std::size_t count = ClampCount(requested, FStack.size() - FStackBase);
  Arguments arguments;
  arguments.reserve(count);
  for (std::size_t i = 0; i < count; ++i)
    arguments.push_back(Pop());
  return arguments;
}

bool ActionInterpreter::PushText(const QString& text) {
  if (text.size() > qsizetype(SwfLimits::MaxTextLength) ||
      !FEnvironment.Level.SpendText(text.size()))
    return false;
  return Push(text);
}

std::optional<ActionInterpreter::Completion>
ActionInterpreter::CallScriptFunction(const ActionValue& callee, const ActionValue& receiver,
                                      const Arguments& arguments) {
  const auto* function = dynamic_cast<const ScriptFunction*>(callee.Object().get());
  if (!function)
    return std::nullopt;
  return Call(*function, receiver, arguments);
}

ActionInterpreter::Completion ActionInterpreter::Call(const ScriptFunction& function,
                                                      const ActionValue& receiver,
                                                      const Arguments& arguments) {
  if (FDepth >= SwfLimits::MaxCallDepth)
    return Completion::Ended(Completion::Abort);
  ScriptFrame callee;
  callee.This = receiver;
  Prepare(function, arguments, callee);
  const std::size_t savedBase = FStackBase;
  FStackBase = FStack.size();
  // Functions came with version 5: their bodies follow its rules in older movies too.
  const int savedVersion = FEnvironment.Version;
  FEnvironment.Version = std::max(savedVersion, 5);
  ++FDepth;
  const ActionValue caller = std::exchange(
      FRunningFunction,
      ActionValue(std::const_pointer_cast<ScriptObject>(function.shared_from_this())));
  const ScriptFunction::Body& body = function.Code();
  Completion completion = RunRange(*body.Script, body.Begin, body.End, callee);
  FRunningFunction = caller;
  --FDepth;
  FEnvironment.Version = savedVersion;
  // What the function pushed and did not pop stays on the stack, as the player leaves it.
  FStackBase = savedBase;
  switch (completion.How) {
  case Completion::Return:
    return Completion::Result(completion.Value);
  case Completion::Continue:
    return {}; // ran off its end, or branched out of its body
  default:
    return completion;
  }
}

void ActionInterpreter::Prepare(const ScriptFunction& function, const Arguments& arguments,
                                ScriptFrame& callee) {
  const SwfFunctionInfo& info = *function.Code().Info;
  callee.Scope = function.Scope();
  callee.Pool = function.Code().Pool;
  callee.Origin = callee.Target = function.Timeline();
  // A function whose timeline left the stage runs on the clip now at that timeline's path,
  // when one is there.
  if (callee.Origin && callee.Origin->IsUnloaded())
    if (const auto now = std::dynamic_pointer_cast<MovieClip>(
            MovieClip::Live(ActionValue(std::static_pointer_cast<ScriptObject>(callee.Origin)))
                .Object()))
      callee.Origin = callee.Target = now;
  callee.Activation = std::make_shared<ScriptActivation>();
  callee.Activation->IgnoreCase(FEnvironment.Level.IgnoresCase());
  callee.Registers.resize(info.Version2 ? std::size_t(info.RegisterCount) : DefaultRegisters);
  callee.SharedRegisters = info.Version2 ? FScriptRegisters : nullptr;
  const auto flag = [&info](quint16 bit) { return info.Version2 && (info.Flags & bit); };
  callee.ThisIsTimeline = flag(Preload::This) || flag(Preload::SuppressThis);

  const bool wantsArguments =
      !info.Version2 || !(info.Flags & Preload::SuppressArguments) || flag(Preload::Arguments);
  ActionValue argumentsArray;
  if (wantsArguments) {
    auto array = std::make_shared<ScriptArray>(FEnvironment.Level);
    array->IgnoreCase(FEnvironment.Level.IgnoresCase());
    array->Insert(0, arguments);
    // The function itself, and the function that called it (null for a frame script).
    array->DefineMember(QStringLiteral("callee"), ActionValue(std::const_pointer_cast<ScriptObject>(
                                                      function.shared_from_this())));
    array->DefineMember(QStringLiteral("caller"),
                        FRunningFunction.IsUndefined() ? ActionValue::Null() : FRunningFunction);
    callee.Activation->Keep(array);
    argumentsArray = ActionValue(std::shared_ptr<ScriptObject>(array));
  }
  int preload = 1;
  const auto load = [&](quint16 bit, const ActionValue& value) {
    if (flag(bit))
      SetRegister(callee, preload++, value);
  };
  // A suppressed this or super loads undefined into its register; arguments load anyway.
  load(Preload::This, flag(Preload::SuppressThis) ? ActionValue() : callee.This);
  load(Preload::Arguments, argumentsArray);
  std::shared_ptr<ScriptObject> superHome = std::move(FSuperHome);
  FSuperHome.reset();
  const bool superIsLocal =
      !info.Version2 || (!(info.Flags & Preload::SuppressSuper) && !flag(Preload::Super));
  const ActionValue super = superIsLocal || (flag(Preload::Super) && !flag(Preload::SuppressSuper))
                                ? SuperOf(function, callee, std::move(superHome))
                                : ActionValue();
  load(Preload::Super, super);
  load(Preload::Root,
       ActionValue(std::static_pointer_cast<ScriptObject>(callee.Target->RootClip())));
  // A timeline without a parent (a level's root) takes no register for _parent: _global
  // moves up into the one it would have had.
  if (MovieClip* parent = callee.Target->Parent())
    load(Preload::Parent, ActionValue(parent->shared_from_this()));
  load(Preload::Global, ActionValue(FEnvironment.Level.Global()));
  if (wantsArguments && !flag(Preload::Arguments))
    callee.Activation->SetMember(QStringLiteral("arguments"), argumentsArray);
  if (superIsLocal)
    callee.Activation->SetMember(QStringLiteral("super"), super);

  for (std::size_t i = 0; i < info.Params.size(); ++i) {
    const ActionValue value = i < arguments.size() ? arguments[i] : ActionValue();
    if (info.ParamRegisters[i] > 0)
      SetRegister(callee, info.ParamRegisters[i], value);
    else
      callee.Activation->SetMember(info.Params[i], value);
  }
}

void ActionInterpreter::CallThroughSuper(const ScriptSuper& super, const ActionValue& callee,
                                         ActionValue& self) {
  self = super.This();
  if (dynamic_cast<const ScriptFunction*>(callee.Object().get()))
    FSuperHome = super.Above();
}

ActionValue ActionInterpreter::SuperOf(const ScriptFunction& function, ScriptFrame& callee,
                                       std::shared_ptr<ScriptObject> home) {
  PlayerLevel& level = FEnvironment.Level;
  // The function belongs to the level of this's chain that a call through super named, or
  // else to this's prototype.
  if (!home)
    if (const auto self = callee.This.Object())
      home = ScriptGlobals::PrototypeOf(level, *self);
  ActionValue constructor = home ? home->Member(QStringLiteral("__constructor__")) : ActionValue();
  if (constructor.IsUndefined())
    constructor = ScriptClasses::SuperConstructor(function);
  const auto super = std::make_shared<ScriptSuper>(
      callee.This, home ? ScriptGlobals::PrototypeOf(level, *home) : nullptr, constructor);
  callee.Activation->Keep(super);
  return ActionValue(std::shared_ptr<ScriptObject>(super));
}

ActionInterpreter::Completion ActionInterpreter::Construct(const ActionValue& constructor,
                                                           const QString& className,
                                                           const Arguments& arguments) {
  const auto* function = dynamic_cast<const ScriptFunction*>(constructor.Object().get());
  if (const auto* native = dynamic_cast<const NativeFunction*>(constructor.Object().get())) {
    const auto object = FEnvironment.Level.NewObject();
    if (!object)
      return Completion::Ended(Completion::Abort);
    object->DefineMember(QStringLiteral("__proto__"),
                         constructor.Object()->Member(QStringLiteral("prototype")));
    bool refused = false;
    const ActionValue made = Invoke(*native, ActionValue(object), arguments, true, &refused);
    if (refused)
      return Completion::Result(ActionValue());
    return Completion::Result(made.Object() ? made : ActionValue(object));
  }
  if (!function) {
    // An object that is no function constructs nothing; classes this player lacks give a
    // plain object.
    Q_UNUSED(className);
    if (constructor.Object())
      return Completion::Result(ActionValue());
    const auto object = FEnvironment.Level.NewObject();
    return object ? Completion::Result(ActionValue(object)) : Completion::Ended(Completion::Abort);
  }
  const auto object = ScriptClasses::NewInstance(FEnvironment.Level, function);
  if (!object)
    return Completion::Ended(Completion::Abort);
  // Movies up to version 6 give every instance its constructor as a hidden member of its own.
  if (FEnvironment.Version < 7)
    object->DefineMember(QStringLiteral("constructor"), constructor);
  Completion completion = Call(*function, ActionValue(object), arguments);
  if (completion.How == Completion::Continue)
    completion.Value = ActionValue(object);
  return completion;
}

bool ActionInterpreter::Enumerate(const ActionValue& object) {
  // The loop stops at undefined: for-in compares with null, which undefined equals.
  if (!Push(ActionValue()))
    return false;
  const auto target = object.Object();
  if (!target)
    return true;
  // Listing names is work in proportion to their number: it counts against the allowance.
  FExecuted += target->MemberCount();
  if (FExecuted > SwfLimits::MaxActionsPerScript)
    return false;
  // Pushed oldest first, so the loop takes the newest first, as the player lists them.
  for (const QString& name : ScriptClasses::EnumerableNames(FEnvironment.Level, *target))
    if (!Push(name))
      return false;
  return true;
}

std::optional<ActionInterpreter::Completion>
ActionInterpreter::CallAny(const ActionValue& callee, const ActionValue& self,
                           const Arguments& arguments) {
  const auto object = callee.Object();
  if (const auto* native = dynamic_cast<const NativeFunction*>(object.get()))
    return Completion::Result(Invoke(*native, self, arguments, false));
  if (!dynamic_cast<const ScriptFunction*>(object.get()))
    return std::nullopt;
  return CallScriptFunction(callee, self, arguments);
}

ActionValue ActionInterpreter::Invoke(const NativeFunction& function, const ActionValue& self,
                                      const Arguments& arguments, bool constructing,
                                      bool* refused) {
  if (FDepth >= SwfLimits::MaxCallDepth) {
    FStopped = true;
    return {};
  }
  ++FDepth;
  NativeCall call{*this, self, arguments, constructing, false};
  ActionValue result = function.Invoke(call);
  --FDepth;
  if (refused)
    *refused = call.Refused;
  return result;
}

ActionValue ActionInterpreter::CallValue(const ActionValue& function, const ActionValue& self,
                                         const Arguments& arguments) {
  if (Unwinding())
    return {};
  const auto called = CallAny(function, self, arguments);
  if (!called)
    return {};
  switch (called->How) {
  case Completion::Throw:
    FPendingThrow = called->Value;
    return {};
  case Completion::Abort:
    FStopped = true;
    return {};
  default:
    return called->Value;
  }
}

void ActionInterpreter::Throw(const ActionValue& value) {
  if (!Unwinding())
    FPendingThrow = value;
}

ActionValue ActionInterpreter::ReadSlot(const ScriptObject::Slot& slot, const ScriptObject& holder,
                                        const QString& name, const ActionValue& receiver) {
  if (!slot.IsAccessor())
    return MovieClip::Live(slot.Value);
  const ActionValue kept = slot.Value;
  const ScriptAccessorDepth::Member member{&holder, name, slot.Order};
  const ScriptAccessorDepth::Member watched{receiver.Object().get(), name, 0};
  return CallAccessor(ScriptAccessorDepth::Accessor, member, &watched, ActionValue(slot.Getter),
                      receiver, {})
      .value_or(kept);
}

std::optional<ActionValue> ActionInterpreter::CallAccessor(
    ScriptAccessorDepth::Kind kind, const ScriptAccessorDepth::Member& member,
    const ScriptAccessorDepth::Member* watched, const ActionValue& function,
    const ActionValue& self, const Arguments& arguments) {
  // A getter, setter or watcher that runs inside itself stops at a fixed depth: the call
  // past it is skipped and the script goes on, as the player does.
  if (!FAccessorDepth.Enter(kind, member, watched))
    return std::nullopt;
  ActionValue result = CallValue(function, self, arguments);
  FAccessorDepth.Leave(kind, member);
  return result;
}

const ScriptObject::Slot* ActionInterpreter::FindMember(const ScriptObject& object,
                                                        const QString& name,
                                                        const ScriptObject** holder) {
  std::shared_ptr<const ScriptObject> current = object.shared_from_this();
  // The chain is followed a bounded number of steps; one that goes on past them (a
  // prototype loop) stops the script, as the player does.
  for (int step = 0; current; ++step) {
    if (step == SwfLimits::MaxNesting) {
      FStopped = true;
      return nullptr;
    }
    if (const ScriptObject::Slot* slot = current->OwnSlot(name);
        slot && !(slot->Flags & ScriptObject::Unreadable)) {
      if (holder)
        *holder = current.get();
      return slot;
    }
    current = ScriptGlobals::PrototypeOf(FEnvironment.Level, *current);
  }
  return nullptr;
}

ActionValue ActionInterpreter::GetMember(const ActionValue& base, const QString& name) {
  PlayerLevel& level = FEnvironment.Level;
  std::shared_ptr<ScriptObject> object = base.Object();
  if (!object) {
    if (base.IsString() && name == u"length")
      return double(base.ToString().size());
    const QString className = base.IsString()    ? QStringLiteral("String")
                              : base.IsNumber()  ? QStringLiteral("Number")
                              : base.IsBoolean() ? QStringLiteral("Boolean")
                                                 : QString();
    const auto prototype =
        className.isEmpty() ? nullptr : ScriptGlobals::Prototype(level, className);
    const ScriptObject* holder = nullptr;
    const ScriptObject::Slot* slot = prototype ? FindMember(*prototype, name, &holder) : nullptr;
    return slot ? ReadSlot(*slot, *holder, name, base) : ActionValue();
  }
  if (const auto* super = dynamic_cast<const ScriptSuper*>(object.get()))
    return super->Above() ? GetMember(ActionValue(super->Above()), name) : ActionValue();
  if (name == u"__proto__") {
    // A script may give __proto__ any value; a text, number, null or undefined reads back
    // as it was given (and leaves the object inheriting nothing).
    const ScriptObject::Slot* own = object->OwnSlot(name);
    if (own && !own->IsAccessor() && !own->Value.Object())
      return own->Value;
    return ActionValue(ScriptGlobals::PrototypeOf(level, *object));
  }
  if (const ScriptObject::Slot* slot = object->OwnSlot(name);
      slot && !(slot->Flags & ScriptObject::Unreadable))
    return ReadSlot(*slot, *object, name, base);
  // The player's own globals are made when first named, through _global as well.
  if (object == level.Global())
    if (const ActionValue builtin = ScriptGlobals::Global(level, name); !builtin.IsUndefined())
      return builtin;
  // Members the object answers itself: a clip's properties and children, an array's
  // elements and length.
  const ActionValue own = object->Member(name);
  if (!own.IsUndefined())
    return own;
  const ScriptObject* holder = nullptr;
  if (const ScriptObject::Slot* slot = FindMember(*object, name, &holder))
    return ReadSlot(*slot, *holder, name, base);
  if (name != u"__resolve") {
    const ScriptObject::Slot* resolve = FindMember(*object, QStringLiteral("__resolve"));
    if (resolve && !resolve->IsAccessor())
      return CallValue(resolve->Value, base, {name});
  }
  return {};
}

void ActionInterpreter::SetMember(const ActionValue& base, const QString& name,
                                  const ActionValue& value) {
  const auto object = base.Object();
  if (!object)
    return;
  // A watcher decides the value first, for a getter and setter property too.
  ActionValue stored = value;
  // A clip's properties take the text or number an object stands for.
  if (dynamic_cast<const MovieClip*>(object.get()) && name.startsWith(u'_'))
    if (const auto property = MovieClip::PropertyByName(name.toLower())) {
      stored = ScriptClipActions::AssignedValue(*this, *property, value);
      if (Unwinding())
        return;
    }
  // A text field's autoSize takes the text an object stands for.
  if (dynamic_cast<const TextField*>(object.get()) && name == u"autoSize") {
    stored = ToPrimitive(value, true);
    if (Unwinding())
      return;
  }
  const ScriptAccessorDepth::Member watched{object.get(), name, 0};
  if (const ScriptObject::Watcher* watcher = object->FindWatcher(name)) {
    const ActionValue callback = watcher->Callback;
    const ActionValue data = watcher->Data;
    // A text field's own properties are no members: a watcher sees them as undefined.
    const ScriptObject::Slot* own = object->OwnSlot(name);
    const ActionValue old = dynamic_cast<const TextField*>(object.get())
                                ? (own ? own->Plain() : ActionValue())
                                : object->Member(name);
    // A watcher too deep to run lets the value through.
    stored = CallAccessor(ScriptAccessorDepth::Watcher, watched, nullptr, callback, base,
                          {name, old, value, data})
                 .value_or(value);
  }
  // Looked up after the watcher ran, which may have changed the members.
  const ScriptObject* holder = nullptr;
  const ScriptObject::Slot* slot = FindMember(*object, name, &holder);
  if (slot && slot->IsAccessor()) {
    const std::shared_ptr<ScriptObject> keeper =
        std::const_pointer_cast<ScriptObject>(holder->shared_from_this());
    const ScriptAccessorDepth::Member member{holder, name, slot->Order};
    CallAccessor(ScriptAccessorDepth::Accessor, member, &watched, ActionValue(slot->Setter), base,
                 {stored});
    // The accessor keeps the value too: its getter gives it when it runs too deep.
    keeper->KeepAccessorValue(name, member.Order, stored);
    return;
  }
  object->SetMember(name, stored);
}

ActionValue ActionInterpreter::ToPrimitive(const ActionValue& value, bool preferText) {
  const auto object = value.Object();
  if (!object)
    return value;
  // Clips and text fields stand for their path in text and for no number; a removed clip
  // for the empty text.
  if (dynamic_cast<const MovieClip*>(object.get()) ||
      dynamic_cast<const TextField*>(object.get()) ||
      dynamic_cast<const ScriptRemovedClip*>(object.get()))
    return preferText ? ActionValue(object->ToText()) : value;
  // One method only: valueOf for arithmetic, toString for text. An object that valueOf
  // leaves an object stays one (no number); toString giving an object gives its type.
  const ActionValue method =
      GetMember(value, preferText ? QStringLiteral("toString") : QStringLiteral("valueOf"));
  // A bare object stands for no number, and for its type in text.
  if (!method.Object())
    return preferText ? ActionValue(QStringLiteral("[type Object]")) : ActionValue();
  const ActionValue result = CallValue(method, value, {});
  if (Unwinding())
    return {};
  if (!preferText)
    return result.Object() ? value : result;
  if (result.IsString())
    return result;
  // A toString that gives no text leaves the object's type as its text.
  return object->TypeOf() == u"function" ? QStringLiteral("[type Function]")
                                         : QStringLiteral("[type Object]");
}

ActionValue ActionInterpreter::ToObject(const ActionValue& value) {
  if (value.Object() || value.IsUndefined() || value.IsNull())
    return value;
  const QString className = value.IsString()   ? QStringLiteral("String")
                            : value.IsNumber() ? QStringLiteral("Number")
                                               : QStringLiteral("Boolean");
  ActionValue constructor = FEnvironment.Level.Global()->Member(className);
  if (constructor.IsUndefined())
    constructor = ScriptGlobals::Global(FEnvironment.Level, className);
  const Completion made = Construct(constructor, className, {value});
  if (made.How == Completion::Throw)
    FPendingThrow = made.Value;
  else if (made.How == Completion::Abort)
    FStopped = true;
  return made.How == Completion::Continue ? made.Value : ActionValue();
}

bool ActionInterpreter::InstanceOf(const ActionValue& object, const ActionValue& constructor) {
  return ScriptClasses::InstanceOf(
      FEnvironment.Level, object, constructor,
      [this](const ActionValue& value) { return Unwinding() ? ActionValue() : ToObject(value); });
}

ActionValue ActionInterpreter::UnaryOperand(quint8 code, const ActionValue& operand) {
  switch (code) {
  case SwfActionCode::TypeOf:
  case SwfActionCode::Not: // an object is true without asking it
    return operand;
  case SwfActionCode::ToString:
  case SwfActionCode::StringLength:
  case SwfActionCode::MBStringLength:
  case SwfActionCode::CharToAscii:
  case SwfActionCode::MBCharToAscii:
    return ToText(operand);
  default:
    return ToNumber(operand);
  }
}

ActionValue ActionInterpreter::Operate(quint8 code, const ActionValue& left,
                                       const ActionValue& right) {
  const int version = FEnvironment.Version;
  switch (code) {
  case SwfActionCode::StrictEquals:
  case SwfActionCode::And: // objects are true without asking them
  case SwfActionCode::Or:
    return ScriptOperators::Binary(code, left, right, version);
  case SwfActionCode::Equals2: {
    // Two objects are the same object; version 5 compares what they stand for.
    if (left.Object() && right.Object() && version >= 6)
      return ScriptOperators::Binary(code, left, right, version);
    const ActionValue b = ToPrimitive(right, false);
    const ActionValue a = ToPrimitive(left, false);
    return ScriptOperators::Binary(code, a, b, version);
  }
  case SwfActionCode::Less2:
  case SwfActionCode::Greater: {
    const ActionValue a = ToPrimitive(left, false);
    const ActionValue b = ToPrimitive(right, false);
    return ScriptOperators::Binary(code, a, b, version);
  }
  case SwfActionCode::StringEquals:
  case SwfActionCode::StringLess:
  case SwfActionCode::StringGreater: {
    const ActionValue b = ToText(right);
    const ActionValue a = ToText(left);
    return ScriptOperators::Binary(code, a, b, version);
  }
  default: {
    // The player reads the right operand first for these, the left one first otherwise.
    const bool rightFirst = code == SwfActionCode::Subtract || code == SwfActionCode::Divide ||
                            code == SwfActionCode::Equals;
    double a = 0;
    double b = 0;
    if (rightFirst) {
      b = ToNumber(right);
      a = ToNumber(left);
    } else {
      a = ToNumber(left);
      b = ToNumber(right);
    }
    return ScriptOperators::Binary(code, a, b, version);
  }
  }
}
