#include "player/ActionInterpreter.h"

#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/PlayerStage.h"
#include "player/SwfLimits.h"

#include <cmath>

namespace {

const QString FSCommandPrefix = QStringLiteral("FSCommand:");

// How many entries a count popped from the stack may take, given what the stack holds.
std::size_t ClampCount(double count, std::size_t available) {
  if (!(count > 0))
    return 0;
  return count >= double(available) ? available : std::size_t(count);
}

} // namespace

void ActionInterpreter::Run(const SwfScript& script) {
  std::size_t executed = 0;
  for (const SwfAction& action : script)
    if (++executed > SwfLimits::MaxActionsPerScript || !Execute(action))
      return;
}

bool ActionInterpreter::Execute(const SwfAction& action) {
  switch (action.Code) {
  case SwfActionCode::Push:
    for (const ActionValue& value : action.Values)
      if (!Push(value))
        return false;
    return true;
  case SwfActionCode::Pop:
    Pop();
    return true;
  case SwfActionCode::GetVariable:
    return Push(FStage.Resolve(Pop().ToString(), &FSelf));
  case SwfActionCode::SetVariable: {
    const ActionValue value = Pop();
    FStage.Assign(Pop().ToString(), value, &FSelf);
    return true;
  }
  case SwfActionCode::GetMember: {
    const QString name = Pop().ToString();
    const auto object = Pop().Object();
    return Push(object ? object->Member(name) : ActionValue());
  }
  case SwfActionCode::SetMember: {
    const ActionValue value = Pop();
    const QString name = Pop().ToString();
    if (const auto object = Pop().Object())
      object->SetMember(name, value);
    return true;
  }
  case SwfActionCode::GetProperty: {
    const double property = Pop().ToNumber();
    return Push(GetProperty(Pop(), property));
  }
  case SwfActionCode::StringAdd: {
    const QString right = Pop().ToString();
    return PushText(Pop().ToString(), right);
  }
  case SwfActionCode::Add2: {
    const ActionValue right = Pop();
    const ActionValue left = Pop();
    const auto isText = [](const ActionValue& value) {
      return value.IsString() || value.Object() != nullptr;
    };
    if (isText(left) || isText(right))
      return PushText(left.ToString(), right.ToString());
    return Push(left.ToNumber() + right.ToNumber());
  }
  case SwfActionCode::NewObject:
    return NewObject();
  case SwfActionCode::InitObject:
    return InitObject();
  case SwfActionCode::DefineLocal: {
    // A frame script's locals live on its timeline.
    const ActionValue value = Pop();
    FSelf.SetMember(Pop().ToString(), value);
    return true;
  }
  case SwfActionCode::GetUrl:
    GetUrl(action.Url, action.Target);
    return true;
  case SwfActionCode::GetUrl2: {
    const QString target = Pop().ToString();
    GetUrl(Pop().ToString(), target);
    return true;
  }
  case SwfActionCode::ConstantPool:
    return true; // resolved when the script was decoded
  default:
    return false;
  }
}

bool ActionInterpreter::Push(const ActionValue& value) {
  if (FStack.size() >= SwfLimits::MaxStackDepth)
    return false;
  FStack.push_back(value);
  return true;
}

ActionValue ActionInterpreter::Pop() {
  if (FStack.empty())
    return {};
  ActionValue value = std::move(FStack.back());
  FStack.pop_back();
  return value;
}

bool ActionInterpreter::PushText(const QString& left, const QString& right) {
  const qsizetype length = left.size() + right.size();
  if (length > qsizetype(SwfLimits::MaxTextLength) || !FLevel.SpendText(length))
    return false;
  return Push(left + right);
}

bool ActionInterpreter::NewObject() {
  const QString className = Pop().ToString();
  const double requested = Pop().ToNumber();
  const std::size_t arguments = ClampCount(requested, FStack.size());
  FStack.resize(FStack.size() - arguments);
  if (className != u"Object")
    return false;
  const auto object = FLevel.NewObject();
  return object && Push(object);
}

bool ActionInterpreter::InitObject() {
  const double requested = Pop().ToNumber();
  const std::size_t pairs = ClampCount(requested, FStack.size() / 2);
  const auto object = FLevel.NewObject();
  if (!object)
    return false;
  for (std::size_t i = 0; i < pairs; ++i) {
    const ActionValue value = Pop();
    object->SetMember(Pop().ToString(), value);
  }
  return Push(object);
}

ActionValue ActionInterpreter::GetProperty(const ActionValue& target, double property) const {
  if (!std::isfinite(property) || property < 0 || property > 100)
    return {};
  auto object = target.Object();
  if (!object) {
    const QString path = target.ToString();
    if (path.isEmpty())
      return FSelf.GetProperty(int(property));
    object = FStage.Resolve(path, &FSelf).Object();
  }
  const auto* clip = dynamic_cast<const MovieClip*>(object.get());
  return clip ? clip->GetProperty(int(property)) : ActionValue();
}

void ActionInterpreter::GetUrl(const QString& url, const QString& target) const {
  if (url.startsWith(FSCommandPrefix, Qt::CaseInsensitive))
    FStage.SendFSCommand(url.mid(FSCommandPrefix.size()), target);
}
