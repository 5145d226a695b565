#pragma once

#include <QString>
#include <memory>
#include <variant>

class ScriptObject;

// A script value: undefined, null, boolean, number, text or a reference to an object.
// Objects are owned by their level; a value only observes them, so a value that outlives
// its level reads as undefined instead of dangling.
class ActionValue {
public:
  enum class Kind { Undefined, Null, Boolean, Number, String, Object };

  ActionValue() = default;
  static ActionValue Null();
  ActionValue(bool value) : FValue(value) {}
  ActionValue(const char*) = delete; // would silently become a boolean
  ActionValue(double value) : FValue(value) {}
  ActionValue(const QString& value) : FValue(value) {}
  ActionValue(const std::shared_ptr<ScriptObject>& object);

  Kind Type() const;
  bool IsUndefined() const;
  bool IsNull() const { return std::holds_alternative<NullValue>(FValue); }
  bool IsNumber() const { return std::holds_alternative<double>(FValue); }
  bool IsString() const { return std::holds_alternative<QString>(FValue); }
  bool IsBoolean() const { return std::holds_alternative<bool>(FValue); }
  // The object referred to, or null for every other value and for a released object.
  std::shared_ptr<ScriptObject> Object() const;

  // Conversions for the host, as the newest movies make them.
  QString ToString() const;
  double ToNumber() const;
  bool ToBoolean() const;

  // Conversions as a movie of swfVersion makes them: before version 7 undefined reads as ""
  // and 0, null as 0, and a text is true when it reads as a number other than 0; before
  // version 5 a text that is no number reads as 0.
  QString ToString(int swfVersion) const;
  double ToNumber(int swfVersion) const;
  bool ToBoolean(int swfVersion) const;

private:
  struct NullValue {};
  std::variant<std::monostate, NullValue, bool, double, QString, std::weak_ptr<ScriptObject>>
      FValue;
};

// The text of a number as the player prints it: 15 significant digits, "." as the decimal
// point, exponent form below 1e-5 and from 1e15 on.
QString FormatNumber(double value);
// Reads a number as a movie of swfVersion does: decimal with an optional exponent after
// leading white space (trailing white space makes it no number), hexadecimal after "0x" and
// octal after a leading 0 from version 6 on, both wrapped to 32 bits; NaN when the text is
// no number.
double ParseNumber(const QString& text, int swfVersion);
// Reads a decimal number only, after leading white space; NaN for anything else.
double ParseDecimalNumber(const QString& text);
