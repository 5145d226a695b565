#include "player/script/ScriptOperators.h"

#include "player/script/ScriptObject.h"
#include "player/swf/SwfAction.h"

#include <QList>
#include <cmath>

namespace ScriptOperators {

namespace {

using Kind = ActionValue::Kind;

// Comparison results: booleans from version 5 on, 1 and 0 before.
ActionValue Truth(bool value, int version) {
  return version >= 5 ? ActionValue(value) : ActionValue(value ? 1.0 : 0.0);
}

// What a value compares and adds as: objects give their text.
ActionValue Primitive(const ActionValue& value) {
  if (const auto object = value.Object())
    return object->ToText();
  return value;
}

// The abstract relational comparison left < right: undefined when either side is NaN. An
// object still left (a clip, or one whose valueOf gave an object) is no number and no text.
ActionValue LessThan(const ActionValue& left, const ActionValue& right, int version) {
  if (left.Object() || right.Object())
    return {};
  if (left.IsString() && right.IsString())
    return left.ToString() < right.ToString();
  const double x = left.ToNumber(version);
  const double y = right.ToNumber(version);
  if (std::isnan(x) || std::isnan(y))
    return {};
  return x < y;
}

ActionValue Quotient(double left, double right, int version) {
  if (right == 0 && version < 5)
    return QStringLiteral("#ERROR#");
  return left / right;
}

double Shift(quint8 code, double left, double right, int version) {
  const qint32 value = ToInt32(left);
  const int count = ToInt32(right) & 31;
  switch (code) {
  case SwfActionCode::BitLShift:
    return double(qint32(quint32(value) << count));
  case SwfActionCode::BitRShift:
    return double(value >> count);
  default: {
    const quint32 shifted = quint32(value) >> count;
    // Movies up to version 8 read the result back as a signed 32-bit number.
    return version < 9 ? double(qint32(shifted)) : double(shifted);
  }
  }
}

// The one-character text of a character code; multiByte takes any code point. A code outside
// every character gives no text, and is never cast while it is out of an integer's range.
QString CharacterOf(double code, bool multiByte) {
  if (!(code >= 1 && code < 0x110000))
    return {};
  const char32_t value = char32_t(code);
  if (!multiByte)
    return QString(QChar(char16_t(value & 0xFF)));
  return QString::fromUcs4(&value, 1);
}

// From version 6 on the text actions of both kinds count UTF-16 units: a character code is
// taken to 16 bits, and half of a surrogate pair stands for the replacement character.
constexpr char16_t Replacement = 0xFFFD;

QString UnitOf(double code) {
  const char16_t unit = char16_t(quint32(ToInt32(code)) & 0xFFFF);
  if (unit == 0)
    return {};
  return QString(QChar(QChar::isSurrogate(unit) ? Replacement : unit));
}

double UnitCodeOf(const QString& text) {
  if (text.isEmpty())
    return 0;
  return text[0].isSurrogate() ? Replacement : text[0].unicode();
}

double CodeOf(const QString& text, bool multiByte) {
  if (text.isEmpty())
    return 0;
  if (multiByte && text[0].isHighSurrogate() && text.size() > 1)
    return double(QChar::surrogateToUcs4(text[0], text[1]));
  return multiByte ? text[0].unicode() : text[0].unicode() & 0xFF;
}

} // namespace

bool IsBinary(quint8 code) {
  switch (code) {
  case SwfActionCode::Add:
  case SwfActionCode::Subtract:
  case SwfActionCode::Multiply:
  case SwfActionCode::Divide:
  case SwfActionCode::Modulo:
  case SwfActionCode::Equals:
  case SwfActionCode::Less:
  case SwfActionCode::And:
  case SwfActionCode::Or:
  case SwfActionCode::StringEquals:
  case SwfActionCode::StringLess:
  case SwfActionCode::StringGreater:
  case SwfActionCode::Less2:
  case SwfActionCode::Greater:
  case SwfActionCode::Equals2:
  case SwfActionCode::StrictEquals:
  case SwfActionCode::BitAnd:
  case SwfActionCode::BitOr:
  case SwfActionCode::BitXor:
  case SwfActionCode::BitLShift:
  case SwfActionCode::BitRShift:
  case SwfActionCode::BitURShift:
    return true;
  default:
    return false;
  }
}

bool IsUnary(quint8 code) {
  switch (code) {
  case SwfActionCode::Not:
  case SwfActionCode::ToInteger:
  case SwfActionCode::ToNumber:
  case SwfActionCode::ToString:
  case SwfActionCode::Increment:
  case SwfActionCode::Decrement:
  case SwfActionCode::StringLength:
  case SwfActionCode::MBStringLength:
  case SwfActionCode::CharToAscii:
  case SwfActionCode::MBCharToAscii:
  case SwfActionCode::AsciiToChar:
  case SwfActionCode::MBAsciiToChar:
  case SwfActionCode::TypeOf:
    return true;
  default:
    return false;
  }
}

ActionValue Binary(quint8 code, const ActionValue& left, const ActionValue& right, int version) {
  const auto number = [version](const ActionValue& value) { return value.ToNumber(version); };
  const auto text = [version](const ActionValue& value) { return value.ToString(version); };
  switch (code) {
  case SwfActionCode::Add:
    return number(left) + number(right);
  case SwfActionCode::Subtract:
    return number(left) - number(right);
  case SwfActionCode::Multiply:
    return number(left) * number(right);
  case SwfActionCode::Divide:
    return Quotient(number(left), number(right), version);
  case SwfActionCode::Modulo:
    return std::fmod(number(left), number(right));
  case SwfActionCode::Equals:
    return Truth(number(left) == number(right), version);
  case SwfActionCode::Less:
    return Truth(number(left) < number(right), version);
  case SwfActionCode::And:
    return Truth(left.ToBoolean(version) && right.ToBoolean(version), version);
  case SwfActionCode::Or:
    return Truth(left.ToBoolean(version) || right.ToBoolean(version), version);
  case SwfActionCode::StringEquals:
    return Truth(text(left) == text(right), version);
  case SwfActionCode::StringLess:
    return Truth(text(left) < text(right), version);
  case SwfActionCode::StringGreater:
    return Truth(text(left) > text(right), version);
  case SwfActionCode::Less2:
  case SwfActionCode::Greater: {
    const ActionValue less = code == SwfActionCode::Less2 ? LessThan(left, right, version)
                                                          : LessThan(right, left, version);
    return version >= 5 ? less : Truth(less.ToBoolean(), version);
  }
  case SwfActionCode::Equals2:
    return Truth(LooseEquals(left, right, version), version);
  case SwfActionCode::StrictEquals:
    return Truth(StrictEquals(left, right), version);
  case SwfActionCode::BitAnd:
    return double(ToInt32(number(left)) & ToInt32(number(right)));
  case SwfActionCode::BitOr:
    return double(ToInt32(number(left)) | ToInt32(number(right)));
  case SwfActionCode::BitXor:
    return double(ToInt32(number(left)) ^ ToInt32(number(right)));
  default:
    return Shift(code, number(left), number(right), version);
  }
}

ActionValue Unary(quint8 code, const ActionValue& operand, int version) {
  switch (code) {
  case SwfActionCode::Not:
    return Truth(!operand.ToBoolean(version), version);
  case SwfActionCode::ToInteger:
    // int() wraps to 32 bits and reads NaN, undefined included, as 0.
    return double(ToInt32(operand.ToNumber(version)));
  case SwfActionCode::ToNumber:
    return operand.ToNumber(version);
  case SwfActionCode::ToString:
    return operand.ToString(version);
  case SwfActionCode::Increment:
    return operand.ToNumber(version) + 1;
  case SwfActionCode::Decrement:
    return operand.ToNumber(version) - 1;
  case SwfActionCode::StringLength:
    return double(operand.ToString(version).size());
  case SwfActionCode::MBStringLength:
    return double(version >= 6 ? operand.ToString(version).size()
                               : operand.ToString(version).toUcs4().size());
  case SwfActionCode::CharToAscii:
  case SwfActionCode::MBCharToAscii:
    if (version >= 6)
      return UnitCodeOf(operand.ToString(version));
    return CodeOf(operand.ToString(version), code == SwfActionCode::MBCharToAscii);
  case SwfActionCode::AsciiToChar:
  case SwfActionCode::MBAsciiToChar:
    if (version >= 6)
      return UnitOf(operand.ToNumber(version));
    return CharacterOf(operand.ToNumber(version), code == SwfActionCode::MBAsciiToChar);
  default:
    return TypeOf(operand);
  }
}

ActionValue Extract(const QString& text, double index, double count, bool multiByte, int version) {
  if (version >= 6) {
    // Index and count are 32-bit integers; an index below 1 is 1, a negative count is the rest.
    const qsizetype start = std::min<qsizetype>(std::max(ToInt32(index), 1) - 1, text.size());
    const qint32 length = ToInt32(count);
    return length < 0 ? text.mid(start) : text.mid(start, length);
  }
  // Both count in characters; the older one counts bytes of the movie's 8-bit text, which
  // for the Latin texts such actions carry is the same.
  const QList<uint> units = multiByte ? text.toUcs4() : QList<uint>();
  const qsizetype size = multiByte ? units.size() : text.size();
  qsizetype start = std::isfinite(index) ? qsizetype(std::max(1.0, std::min(index, 1e9))) - 1 : 0;
  start = std::min(start, size);
  qsizetype length =
      std::isfinite(count) && count >= 0 ? qsizetype(std::min(count, 1e9)) : size - start;
  length = std::min(length, size - start);
  if (!multiByte)
    return text.mid(start, length);
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(units.constData() + start), length);
}

bool LooseEquals(const ActionValue& left, const ActionValue& right, int version) {
  const Kind a = left.Type();
  const Kind b = right.Type();
  const auto absent = [](Kind kind) { return kind == Kind::Undefined || kind == Kind::Null; };
  if (absent(a) || absent(b))
    return absent(a) && absent(b);
  if (a == b)
    return StrictEquals(left, right);
  if (a == Kind::Boolean || b == Kind::Boolean || (a == Kind::Number) != (b == Kind::Number)) {
    if (a == Kind::Object || b == Kind::Object)
      return LooseEquals(Primitive(left), Primitive(right), version);
    // Only two numbers take NaN to equal NaN; a converted side that is NaN equals nothing.
    return left.ToNumber(version) == right.ToNumber(version);
  }
  return Primitive(left).ToString() == Primitive(right).ToString();
}

bool StrictEquals(const ActionValue& left, const ActionValue& right) {
  const Kind kind = left.Type();
  if (kind != right.Type())
    return false;
  switch (kind) {
  case Kind::Undefined:
  case Kind::Null:
    return true;
  case Kind::Boolean:
    return left.ToBoolean() == right.ToBoolean();
  case Kind::Number: {
    // The player takes NaN to equal NaN.
    const double a = left.ToNumber();
    const double b = right.ToNumber();
    return a == b || (std::isnan(a) && std::isnan(b));
  }
  case Kind::String:
    return left.ToString() == right.ToString();
  case Kind::Object:
    return left.Object() == right.Object();
  }
  return false;
}

QString TypeOf(const ActionValue& value) {
  switch (value.Type()) {
  case Kind::Undefined:
    return QStringLiteral("undefined");
  case Kind::Null:
    return QStringLiteral("null");
  case Kind::Boolean:
    return QStringLiteral("boolean");
  case Kind::Number:
    return QStringLiteral("number");
  case Kind::String:
    return QStringLiteral("string");
  case Kind::Object:
    return value.Object()->TypeOf();
  }
  return {};
}

qint32 ToInt32(double value) {
  if (!std::isfinite(value))
    return 0;
  const double wrapped = std::fmod(std::trunc(value), 4294967296.0);
  return qint32(quint32(qint64(wrapped < 0 ? wrapped + 4294967296.0 : wrapped)));
}

} // namespace ScriptOperators
