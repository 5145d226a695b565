#include "player/script/ScriptArray.h"

#include "player/PlayerLevel.h"
#include "player/swf/SwfLimits.h"

#include <algorithm>
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

QString ElementName(std::size_t index) {
  return QString::number(index);
}

} // namespace

ActionValue ScriptArray::Member(const QString& name) const {
  if (name == LengthName)
    return double(FLength);
  return ScriptObject::Member(name);
}

void ScriptArray::SetMember(const QString& name, const ActionValue& value) {
  if (name == LengthName) {
    Resize(value.ToNumber());
    return;
  }
  const qsizetype index = ElementIndex(name);
  if (index >= 0 && std::size_t(index) >= FLength && !Grow(std::size_t(index) + 1))
    return;
  ScriptObject::SetMember(name, value);
}

bool ScriptArray::HasOwnMember(const QString& name) const {
  return name == LengthName || ScriptObject::HasOwnMember(name);
}

std::vector<ActionValue> ScriptArray::Elements() const {
  std::vector<ActionValue> elements;
  elements.reserve(FLength);
  for (std::size_t i = 0; i < FLength; ++i)
    elements.push_back(ScriptObject::Member(ElementName(i)));
  return elements;
}

bool ScriptArray::SetElements(const std::vector<ActionValue>& values) {
  if (values.size() > FLength && !Grow(values.size()))
    return false;
  DropFrom(0);
  FLength = values.size();
  for (std::size_t i = 0; i < values.size(); ++i)
    ScriptObject::SetMember(ElementName(i), values[i]);
  return true;
}

bool ScriptArray::Grow(std::size_t length) {
  // An element costs what the text of its size would.
  constexpr std::size_t CharactersPerElement = sizeof(ActionValue) / sizeof(QChar);
  if (length > SwfLimits::MaxScriptTextChars ||
      !FLevel.SpendText(qsizetype((length - FLength) * CharactersPerElement)))
    return false;
  FLength = length;
  return true;
}

void ScriptArray::DropFrom(std::size_t length) {
  for (std::size_t i = length; i < FLength; ++i)
    RemoveMember(ElementName(i));
}

bool ScriptArray::Resize(double length) {
  if (!(length >= 0) || length > double(SwfLimits::MaxScriptTextChars))
    return false;
  const std::size_t size = std::size_t(std::floor(length));
  if (size > FLength)
    return Grow(size);
  DropFrom(size);
  FLength = size;
  return true;
}

bool ScriptArray::Insert(std::size_t position, const std::vector<ActionValue>& values) {
  // The elements from position on move up, recreated from the last down, and the inserted
  // values follow in order: that is the order for-in then lists them in.
  const std::size_t length = FLength;
  position = std::min(position, length);
  std::vector<ActionValue> tail;
  tail.reserve(length - position);
  for (std::size_t i = position; i < length; ++i)
    tail.push_back(ScriptObject::Member(ElementName(i)));
  if (!values.empty() && !Grow(length + values.size()))
    return false;
  // An element protected from delete keeps its place (and, read-only, its value).
  for (std::size_t i = position; i < length; ++i)
    DeleteMember(ElementName(i));
  for (std::size_t i = tail.size(); i-- > 0;)
    ScriptObject::SetMember(ElementName(position + values.size() + i), tail[i]);
  for (std::size_t i = 0; i < values.size(); ++i)
    ScriptObject::SetMember(ElementName(position + i), values[i]);
  return true;
}

ActionValue ScriptArray::Take(bool last) {
  if (FLength == 0)
    return {};
  if (last) {
    const ActionValue value = ScriptObject::Member(ElementName(FLength - 1));
    Resize(double(FLength - 1));
    return value;
  }
  // Every element is deleted and the rest set again one place lower, in order: one protected
  // from delete keeps its place (and stays past the new length when it was the last one), one
  // that is read-only too keeps its value.
  const std::vector<ActionValue> elements = Elements();
  for (std::size_t i = 0; i < elements.size(); ++i)
    DeleteMember(ElementName(i));
  FLength = elements.size() - 1;
  for (std::size_t i = 1; i < elements.size(); ++i)
    ScriptObject::SetMember(ElementName(i - 1), elements[i]);
  return elements.front();
}

void ScriptArray::Reverse() {
  const std::vector<ActionValue> elements = Elements();
  SetElements(std::vector<ActionValue>(elements.rbegin(), elements.rend()));
}

QString ScriptArray::Join(const QString& separator) const {
  QString text;
  for (std::size_t i = 0; i < FLength; ++i) {
    if (i > 0)
      text += separator;
    text += ScriptObject::Member(ElementName(i)).ToString();
  }
  return text;
}
