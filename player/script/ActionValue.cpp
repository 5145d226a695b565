#include "player/script/ActionValue.h"

#include "player/script/ScriptObject.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
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
    return ParseNumber(*value, 8);
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
  if (const QString* text = std::get_if<QString>(&FValue))
    return ParseNumber(*text, swfVersion);
  // The oldest movies read an object as 0.
  if (swfVersion < 5 && Object())
    return 0;
  return ToNumber();
}

bool ActionValue::ToBoolean(int swfVersion) const {
  if (swfVersion < 7 && IsString()) {
    const double number = ToNumber(swfVersion);
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
  // Fifteen significant digits, as the player prints them: plain decimals from 1e-5 up to
  // 1e15, the exponent form ("1.5e+20", "2e-7") outside.
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);
  const QByteArray printed(buffer);
  const qsizetype e = printed.indexOf('e');
  const bool negative = printed.startsWith('-');
  QByteArray digits = printed.mid(negative ? 1 : 0, e - (negative ? 1 : 0));
  digits.remove(1, 1); // the decimal point
  while (digits.size() > 1 && digits.endsWith('0'))
    digits.chop(1);
  const int exponent = printed.mid(e + 1).toInt();
  QString text = negative ? QStringLiteral("-") : QString();
  if (exponent < -5 || exponent >= 15) {
    text += QChar(digits[0]);
    if (digits.size() > 1)
      text += u'.' + QString::fromLatin1(digits.mid(1));
    text += (exponent < 0 ? QStringLiteral("e-") : QStringLiteral("e+")) +
            QString::number(std::abs(exponent));
  } else if (exponent < 0) {
    text += QStringLiteral("0.") + QString(-exponent - 1, u'0') + QString::fromLatin1(digits);
  } else {
    const qsizetype whole = exponent + 1;
    if (digits.size() <= whole) {
      text += QString::fromLatin1(digits) + QString(whole - digits.size(), u'0');
    } else {
      text +=
          QString::fromLatin1(digits.left(whole)) + u'.' + QString::fromLatin1(digits.mid(whole));
    }
  }
  return text;
}

namespace {

constexpr double NotANumber = std::numeric_limits<double>::quiet_NaN();

bool IsNumberSpace(QChar c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v';
}

// Whole text in one radix, digits only; NaN when any character is no digit of it.
double ParseDigits(QStringView digits, int radix) {
  if (digits.isEmpty())
    return NotANumber;
  double value = 0;
  for (const QChar c : digits) {
    const int digit = c.isDigit() ? c.digitValue() : (c.toLower().unicode() - u'a' + 10);
    if (c.unicode() > 0x7F || digit < 0 || digit >= radix)
      return NotANumber;
    value = value * radix + digit;
  }
  return value;
}

// A decimal number: sign, digits with at most one point, an optional exponent; nothing
// else, so words such as "inf" or "nan" that the C library reads are no numbers here.
double ParseDecimal(QStringView text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  if (i < n && (text[i] == u'+' || text[i] == u'-'))
    ++i;
  qsizetype mantissaDigits = 0;
  while (i < n && text[i] >= u'0' && text[i] <= u'9')
    ++i, ++mantissaDigits;
  if (i < n && text[i] == u'.') {
    ++i;
    while (i < n && text[i] >= u'0' && text[i] <= u'9')
      ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0)
    return NotANumber;
  if (i < n && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
      ++i;
    qsizetype exponentDigits = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9')
      ++i, ++exponentDigits;
    if (exponentDigits == 0)
      return NotANumber;
  }
  if (i != n)
    return NotANumber;
  return std::strtod(text.toLatin1().constData(), nullptr);
}

// The decimal number a text starts with, as the oldest movies read every text: what
// follows it is ignored, and a text that starts with none reads as 0.
double ParseLeadingDecimal(QStringView text) {
  const auto digitsFrom = [&text](qsizetype i) {
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
      ++i;
    return i;
  };
  const qsizetype start = text.size() > 0 && (text[0] == u'+' || text[0] == u'-') ? 1 : 0;
  qsizetype end = digitsFrom(start);
  qsizetype digits = end - start;
  if (end < text.size() && text[end] == u'.') {
    const qsizetype fractionEnd = digitsFrom(end + 1);
    digits += fractionEnd - end - 1;
    end = fractionEnd;
  }
  if (digits == 0)
    return 0;
  if (end < text.size() && (text[end] == u'e' || text[end] == u'E')) {
    qsizetype exponent = end + 1;
    if (exponent < text.size() && (text[exponent] == u'+' || text[exponent] == u'-'))
      ++exponent;
    const qsizetype exponentEnd = digitsFrom(exponent);
    if (exponentEnd > exponent)
      end = exponentEnd;
  }
  return std::strtod(text.first(end).toLatin1().constData(), nullptr);
}

} // namespace

double ParseNumber(const QString& text, int swfVersion) {
  QStringView rest = text;
  while (!rest.isEmpty() && IsNumberSpace(rest.front()))
    rest = rest.sliced(1);
  if (swfVersion < 5)
    return ParseLeadingDecimal(rest);
  if (rest.isEmpty())
    return NotANumber;
  bool negative = false;
  QStringView body = rest;
  if (body.front() == u'-' || body.front() == u'+') {
    negative = body.front() == u'-';
    body = body.sliced(1);
  }
  // Hexadecimal is read as a 32-bit integer; from version 6 on a leading 0 followed by
  // octal digits only is octal.
  if (body.size() > 2 && body[0] == u'0' && (body[1] == u'x' || body[1] == u'X')) {
    // The player also takes a sign after the prefix ("0x-10").
    QStringView digits = body.sliced(2);
    if (digits.size() > 1 && digits.front() == u'-') {
      negative = !negative;
      digits = digits.sliced(1);
    }
    const double value = ParseDigits(digits, 16);
    if (std::isnan(value))
      return value;
    const double wrapped = double(qint32(quint32(std::fmod(value, 4294967296.0))));
    return negative ? -wrapped : wrapped;
  }
  if (swfVersion >= 6 && body.size() > 1 && body[0] == u'0') {
    const double octal = ParseDigits(body.sliced(1), 8);
    if (!std::isnan(octal))
      return negative ? -octal : octal;
  }
  while (!rest.isEmpty() && IsNumberSpace(rest.back()))
    rest.chop(1);
  return ParseDecimal(rest);
}
