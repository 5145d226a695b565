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

namespace {

// The significant digits of a decimal text such as "1.50000000000000" without the point
// and trailing zeros.
QByteArray DigitsOf(QByteArray printed) {
  printed.remove(1, 1); // the decimal point
  while (printed.size() > 1 && printed.endsWith('0'))
    printed.chop(1);
  return printed;
}

// The fifteen significant digits of a positive finite number, correctly rounded, and its
// decimal exponent.
QByteArray RoundedDigits(double value, int& exponent) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);
  const QByteArray printed(buffer);
  const qsizetype e = printed.indexOf('e');
  exponent = printed.mid(e + 1).toInt();
  return DigitsOf(printed.left(e));
}

// The same as the player makes them for its exponent form: it scales the number into
// [1, 10) with a power of ten in double precision before rounding, so a number just below a
// half in its sixteenth digit may round up ("1.23456789123457e-6" for 1.2345678912345649e-6).
QByteArray ScaledDigits(double value, int& exponent) {
  // Powers below 1e-308 lose their precision (or vanish): the smallest numbers are scaled
  // in two steps.
  double mantissa = exponent >= 0      ? value * std::pow(10.0, -exponent)
                    : exponent >= -308 ? value / std::pow(10.0, exponent)
                                       : value * 1e16 / std::pow(10.0, exponent + 16);
  if (mantissa >= 10) {
    mantissa /= 10;
    ++exponent;
  } else if (mantissa < 1) {
    mantissa *= 10;
    --exponent;
  }
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.14f", mantissa);
  if (buffer[0] == '1' && buffer[1] == '0') { // rounded up to the next power of ten
    ++exponent;
    return "1";
  }
  return DigitsOf(buffer);
}

bool InExponentForm(int exponent) {
  return exponent < -5 || exponent >= 15;
}

} // namespace

QString FormatNumber(double value) {
  if (std::isnan(value))
    return QStringLiteral("NaN");
  if (std::isinf(value))
    return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
  if (value == 0)
    return QStringLiteral("0"); // also for -0
  // Fifteen significant digits, as the player prints them: plain decimals from 1e-5 up to
  // 1e15, the exponent form ("1.5e+20", "2e-7") outside.
  const bool negative = value < 0;
  int exponent = 0;
  QByteArray digits = RoundedDigits(std::abs(value), exponent);
  if (InExponentForm(exponent))
    digits = ScaledDigits(std::abs(value), exponent);
  QString text = negative ? QStringLiteral("-") : QString();
  if (InExponentForm(exponent)) {
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

// Whole text in one radix, digits only, kept to its low 32 bits as the player keeps them;
// NaN when any character is no digit of it.
double ParseWrappedDigits(QStringView digits, int radix) {
  if (digits.isEmpty())
    return NotANumber;
  quint32 value = 0;
  for (const QChar c : digits) {
    const int digit = c.isDigit() ? c.digitValue() : (c.toLower().unicode() - u'a' + 10);
    if (c.unicode() > 0x7F || digit < 0 || digit >= radix)
      return NotANumber;
    value = value * quint32(radix) + quint32(digit);
  }
  return double(qint32(value));
}

// A decimal number: sign, digits with at most one point, an optional exponent; nothing
// else, so words such as "inf" or "nan" that the C library reads are no numbers here. An
// exponent mark without digits ("2e", "5e-") ends the number where it starts.
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
  qsizetype end = i;
  if (i < n && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
      ++i;
    const qsizetype exponentStart = i;
    while (i < n && text[i] >= u'0' && text[i] <= u'9')
      ++i;
    if (i == n)
      end = i > exponentStart ? i : end;
  }
  if (i != n)
    return NotANumber;
  return std::strtod(text.first(end).toLatin1().constData(), nullptr);
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
  if (swfVersion < 5) {
    QStringView rest = text;
    while (!rest.isEmpty() && IsNumberSpace(rest.front()))
      rest = rest.sliced(1);
    return ParseLeadingDecimal(rest);
  }
  // Hexadecimal and, from version 6 on, octal after a leading 0 are read as 32-bit integers,
  // the sign applied after the wrap; white space before them makes the text decimal.
  if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
    // The sign of a hexadecimal number follows the prefix ("0x-10"); one before it ("-0x10")
    // makes the text no number.
    QStringView digits = QStringView(text).sliced(2);
    const bool negative = digits.size() > 1 && digits.front() == u'-';
    const double value = ParseWrappedDigits(negative ? digits.sliced(1) : digits, 16);
    return negative ? -value : value;
  }
  bool negative = false;
  QStringView body = text;
  if (!body.isEmpty() && (body.front() == u'-' || body.front() == u'+')) {
    negative = body.front() == u'-';
    body = body.sliced(1);
  }
  if (swfVersion >= 6 && body.size() > 1 && body[0] == u'0') {
    const double octal = ParseWrappedDigits(body.sliced(1), 8);
    if (!std::isnan(octal))
      return negative ? -octal : octal;
  }
  return ParseDecimalNumber(text);
}

double ParseDecimalNumber(const QString& text) {
  // Leading white space is skipped, trailing white space makes the text no number.
  QStringView rest = text;
  while (!rest.isEmpty() && IsNumberSpace(rest.front()))
    rest = rest.sliced(1);
  return ParseDecimal(rest);
}
