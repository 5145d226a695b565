// Number and Boolean: conversions, boxing, and Number's text in any radix.
#include "player/PlayerLevel.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptOperators.h"

#include <cmath>
#include <limits>

namespace {

// The primitive of this: a boxed value's, or this itself.
ActionValue ThisValue(NativeCall& call) {
  if (const auto* boxed = dynamic_cast<const BoxedValue*>(call.This.Object().get()))
    return boxed->Value();
  return call.This;
}

ActionValue Box(NativeCall& call, const ActionValue& value, const QString& className) {
  if (!call.Constructing)
    return value;
  const auto boxed = call.Level().Adopt(std::make_shared<BoxedValue>(value));
  if (!boxed)
    return {};
  if (const auto prototype = ScriptGlobals::Prototype(call.Level(), className))
    boxed->DefineMember(QStringLiteral("__proto__"), prototype);
  return ActionValue(std::static_pointer_cast<ScriptObject>(boxed));
}

// Digits of a whole number in radix 2 to 36; the player drops any fraction.
QString InRadix(double value, int radix) {
  if (std::isnan(value))
    return QStringLiteral("NaN");
  if (std::isinf(value))
    return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
  const qint32 whole = ScriptOperators::ToInt32(value);
  const bool negative = whole < 0;
  quint64 magnitude = negative ? quint64(-qint64(whole)) : quint64(whole);
  QString digits;
  do {
    digits.prepend(
        QChar::fromLatin1("0123456789abcdefghijklmnopqrstuvwxyz"[magnitude % quint64(radix)]));
    magnitude /= quint64(radix);
  } while (magnitude > 0);
  return negative ? u'-' + digits : digits;
}

} // namespace

namespace ScriptMakers {

ActionValue NumberClass(PlayerLevel& level) {
  NativeClass number(level, [](NativeCall& call) {
    return Box(call, call.Has(0) ? call.Number(0) : 0.0, QStringLiteral("Number"));
  });
  if (!number)
    return {};
  number
      .Method(QStringLiteral("toString"),
              [](NativeCall& call) -> ActionValue {
                const double value = ThisValue(call).ToNumber(call.Version());
                const double radix = call.Has(0) ? call.Number(0) : 10;
                if (!(radix >= 2 && radix <= 36) || int(radix) == 10)
                  return FormatNumber(value);
                return InRadix(value, int(radix));
              })
      .Method(
          QStringLiteral("valueOf"),
          [](NativeCall& call) { return ActionValue(ThisValue(call).ToNumber(call.Version())); })
      .Constant(QStringLiteral("MAX_VALUE"), std::numeric_limits<double>::max())
      .Constant(QStringLiteral("MIN_VALUE"), std::numeric_limits<double>::denorm_min())
      .Constant(QStringLiteral("NaN"), std::numeric_limits<double>::quiet_NaN())
      .Constant(QStringLiteral("NEGATIVE_INFINITY"), -std::numeric_limits<double>::infinity())
      .Constant(QStringLiteral("POSITIVE_INFINITY"), std::numeric_limits<double>::infinity());
  return ActionValue(std::static_pointer_cast<ScriptObject>(number.Constructor()));
}

ActionValue BooleanClass(PlayerLevel& level) {
  NativeClass boolean(level, [](NativeCall& call) -> ActionValue {
    // Called without a value, the function converts nothing and gives undefined.
    if (!call.Constructing && !call.Has(0))
      return {};
    return Box(call, call.Arg(0).ToBoolean(call.Version()), QStringLiteral("Boolean"));
  });
  if (!boolean)
    return {};
  boolean
      .Method(QStringLiteral("toString"),
              [](NativeCall& call) {
                return ActionValue(ThisValue(call).ToBoolean(call.Version())
                                       ? QStringLiteral("true")
                                       : QStringLiteral("false"));
              })
      .Method(QStringLiteral("valueOf"), [](NativeCall& call) {
        return ActionValue(ThisValue(call).ToBoolean(call.Version()));
      });
  return ActionValue(std::static_pointer_cast<ScriptObject>(boolean.Constructor()));
}

} // namespace ScriptMakers
