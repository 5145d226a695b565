#include "player/script/ActionValue.h"

#include "player/script/ScriptObject.h"

#include <QLocale>
#include <cmath>
#include <limits>

ActionValue ActionValue::Null() {
  ActionValue value;
  value.FValue = NullValue{};
  return value;
}

ActionValue::ActionValue(const std::shared_ptr<ScriptObject>& object)
    : FValue(std::weak_ptr<ScriptObject>(object)) {}

ActionValue::Kind ActionValue::Type() const {
  switch (FValue.index()) {
  case 1:
    return Kind::Null;
  case 2:
    return Kind::Boolean;
  case 3:
    return Kind::Number;
  case 4:
    return Kind::String;
  case 5:
    return IsUndefined() ? Kind::Undefined : Kind::Object;
  default:
    return Kind::Undefined;
  }
}

bool ActionValue::IsUndefined() const {
  if (std::holds_alternative<std::monostate>(FValue))
    return true;
  const auto* object = std::get_if<std::weak_ptr<ScriptObject>>(&FValue);
  return object && object->expired();
}

std::shared_ptr<ScriptObject> ActionValue::Object() const {
  const auto* object = std::get_if<std::weak_ptr<ScriptObject>>(&FValue);
  return object ? object->lock() : nullptr;
}

QString ActionValue::ToString() const {
  struct Visitor {
    QString operator()(std::monostate) const { return QStringLiteral("undefined"); }
    QString operator()(NullValue) const { return QStringLiteral("null"); }
    QString operator()(bool value) const {
      return value ? QStringLiteral("true") : QStringLiteral("false");
    }
    QString operator()(double value) const { return FormatNumber(value); }
    QString operator()(const QString& value) const { return value; }
    QString operator()(const std::weak_ptr<ScriptObject>& object) const {
      const auto alive = object.lock();
      return alive ? alive->ToText() : QStringLiteral("undefined");
    }
  };
  return std::visit(Visitor{}, FValue);
}

double ActionValue::ToNumber() const {
  if (const bool* value = std::get_if<bool>(&FValue))
    return *value ? 1 : 0;
  if (const double* value = std::get_if<double>(&FValue))
    return *value;
  if (const QString* value = std::get_if<QString>(&FValue))
    return ParseNumber(*value);
  return std::numeric_limits<double>::quiet_NaN();
}

bool ActionValue::ToBoolean() const {
  if (const bool* value = std::get_if<bool>(&FValue))
    return *value;
  if (const double* value = std::get_if<double>(&FValue))
    return *value != 0 && !std::isnan(*value);
  if (const QString* value = std::get_if<QString>(&FValue))
    return !value->isEmpty();
  return Object() != nullptr;
}

QString ActionValue::ToString(int swfVersion) const {
  if (swfVersion < 7 && IsUndefined())
    return {};
  return ToString();
}

double ActionValue::ToNumber(int swfVersion) const {
  if (swfVersion < 7 && (IsUndefined() || IsNull()))
    return 0;
  if (swfVersion < 5 && IsString()) {
    const double number = ToNumber(); // the oldest movies read any other text as 0
    return std::isnan(number) ? 0 : number;
  }
  return ToNumber();
}

bool ActionValue::ToBoolean(int swfVersion) const {
  if (swfVersion < 7 && IsString()) {
    const double number = ToNumber();
    return number != 0 && !std::isnan(number);
  }
  return ToBoolean();
}

QString FormatNumber(double value) {
  if (std::isnan(value))
    return QStringLiteral("NaN");
  if (std::isinf(value))
    return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
  if (value == 0)
    return QStringLiteral("0"); // also for -0
  // Plain decimals in the usual range, exponents only for the very large and very small,
  // so readers that do not take exponents still get the everyday values.
  const double magnitude = std::abs(value);
  const char format = magnitude >= 1e-6 && magnitude < 1e21 ? 'f' : 'g';
  return QString::number(value, format, QLocale::FloatingPointShortest);
}

double ParseNumber(const QString& text) {
  bool ok = false;
  const QString trimmed = text.trimmed();
  if (trimmed.startsWith(u"0x", Qt::CaseInsensitive)) {
    const qint64 value = trimmed.mid(2).toLongLong(&ok, 16);
    return ok ? double(qint32(value)) : std::numeric_limits<double>::quiet_NaN();
  }
  const double value = trimmed.toDouble(&ok);
  return ok ? value : std::numeric_limits<double>::quiet_NaN();
}
