#include "player/script/ScriptArray.h"

#include "player/PlayerLevel.h"
#include "player/swf/SwfLimits.h"

#include <cmath>

namespace {

const QString LengthName = QStringLiteral("length");

// The element index a member name stands for, or -1.
qsizetype ElementIndex(const QString& name) {
  if (name.isEmpty() || name.size() > 9 || (name.size() > 1 && name[0] == u'0'))
    return -1;
  for (const QChar c : name)
    if (c < u'0' || c > u'9')
      return -1;
  return name.toLongLong();
}

} // namespace

ActionValue ScriptArray::Member(const QString& name) const {
  if (name == LengthName)
    return double(FElements.size());
  if (const qsizetype index = ElementIndex(name); index >= 0)
    return std::size_t(index) < FElements.size() ? FElements[std::size_t(index)] : ActionValue();
  return ScriptObject::Member(name);
}

void ScriptArray::SetMember(const QString& name, const ActionValue& value) {
  if (name == LengthName) {
    Resize(value.ToNumber());
    return;
  }
  const qsizetype index = ElementIndex(name);
  if (index < 0) {
    ScriptObject::SetMember(name, value);
    return;
  }
  if (std::size_t(index) >= FElements.size() && !Resize(double(index) + 1))
    return;
  FElements[std::size_t(index)] = value;
}

bool ScriptArray::HasOwnMember(const QString& name) const {
  const qsizetype index = ElementIndex(name);
  if (index >= 0)
    return std::size_t(index) < FElements.size();
  return name == LengthName || ScriptObject::HasOwnMember(name);
}

bool ScriptArray::DeleteMember(const QString& name) {
  const qsizetype index = ElementIndex(name);
  if (index < 0)
    return ScriptObject::DeleteMember(name);
  if (std::size_t(index) >= FElements.size())
    return false;
  FElements[std::size_t(index)] = ActionValue();
  return true;
}

std::vector<QString> ScriptArray::MemberNames() const {
  std::vector<QString> names;
  for (std::size_t i = 0; i < FElements.size(); ++i)
    names.push_back(QString::number(i));
  for (const QString& name : ScriptObject::MemberNames())
    names.push_back(name);
  return names;
}

bool ScriptArray::Charge(std::size_t elements) {
  // An element costs what the text of its size would.
  constexpr std::size_t CharactersPerElement = sizeof(ActionValue) / sizeof(QChar);
  return elements <= SwfLimits::MaxScriptTextChars &&
         FLevel.SpendText(qsizetype(elements * CharactersPerElement));
}

bool ScriptArray::Resize(double length) {
  if (!(length >= 0) || length > double(SwfLimits::MaxScriptTextChars))
    return false;
  const std::size_t size = std::size_t(std::floor(length));
  if (size > FElements.size() && !Charge(size - FElements.size()))
    return false;
  FElements.resize(size);
  return true;
}

bool ScriptArray::Insert(std::size_t position, const std::vector<ActionValue>& values) {
  if (!Charge(values.size()))
    return false;
  FElements.insert(FElements.begin() + qsizetype(std::min(position, FElements.size())),
                   values.begin(), values.end());
  return true;
}

ActionValue ScriptArray::Take(bool last) {
  if (FElements.empty())
    return {};
  const auto taken = last ? FElements.end() - 1 : FElements.begin();
  ActionValue value = std::move(*taken);
  FElements.erase(taken);
  return value;
}

QString ScriptArray::Join(const QString& separator) const {
  QString text;
  for (std::size_t i = 0; i < FElements.size(); ++i) {
    if (i > 0)
      text += separator;
    text += FElements[i].ToString();
  }
  return text;
}
