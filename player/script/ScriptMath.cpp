// Math: its constants and functions.
#include "player/PlayerLevel.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"

#include <QRandomGenerator>
#include <cmath>
#include <limits>

namespace ScriptMakers {

ActionValue MathObject(PlayerLevel& level) {
  const auto math = level.NewObject();
  if (!math)
    return {};
  const int constant = ScriptObject::DontEnum | ScriptObject::DontDelete | ScriptObject::ReadOnly;
  const std::pair<const char*, double> constants[] = {
      {"PI", M_PI},       {"E", M_E},           {"LN2", M_LN2},     {"LN10", M_LN10},
      {"LOG2E", M_LOG2E}, {"LOG10E", M_LOG10E}, {"SQRT2", M_SQRT2}, {"SQRT1_2", M_SQRT1_2}};
  for (const auto& [name, value] : constants)
    math->DefineMember(QString::fromLatin1(name), value, constant);
  using Unary = double (*)(double);
  const std::pair<const char*, Unary> unary[] = {
      {"abs", [](double v) { return std::abs(v); }},
      {"floor", [](double v) { return std::floor(v); }},
      {"ceil", [](double v) { return std::ceil(v); }},
      {"round", [](double v) { return std::floor(v + 0.5); }},
      {"sqrt", [](double v) { return std::sqrt(v); }},
      {"sin", [](double v) { return std::sin(v); }},
      {"cos", [](double v) { return std::cos(v); }},
      {"tan", [](double v) { return std::tan(v); }},
      {"asin", [](double v) { return std::asin(v); }},
      {"acos", [](double v) { return std::acos(v); }},
      {"atan", [](double v) { return std::atan(v); }},
      {"exp", [](double v) { return std::exp(v); }},
      {"log", [](double v) { return std::log(v); }},
  };
  for (const auto& [name, function] : unary)
    DefineNative(level, *math, QString::fromLatin1(name),
                 [function](NativeCall& call) { return ActionValue(function(call.Number(0))); });
  // max and min of no arguments are the identities of the order; NaN wins over numbers.
  const auto extreme = [](bool greatest) {
    return [greatest](NativeCall& call) -> ActionValue {
      double result = greatest ? -std::numeric_limits<double>::infinity()
                               : std::numeric_limits<double>::infinity();
      for (std::size_t i = 0; i < call.Arguments.size(); ++i) {
        const double value = call.Number(i);
        if (std::isnan(value))
          return value;
        result = greatest ? std::max(result, value) : std::min(result, value);
      }
      return result;
    };
  };
  DefineNative(level, *math, QStringLiteral("max"), extreme(true));
  DefineNative(level, *math, QStringLiteral("min"), extreme(false));
  DefineNative(level, *math, QStringLiteral("pow"), [](NativeCall& call) {
    return ActionValue(std::pow(call.Number(0), call.Number(1)));
  });
  DefineNative(level, *math, QStringLiteral("atan2"), [](NativeCall& call) {
    return ActionValue(std::atan2(call.Number(0), call.Number(1)));
  });
  DefineNative(level, *math, QStringLiteral("random"), [](NativeCall&) {
    return ActionValue(QRandomGenerator::global()->generateDouble());
  });
  return ActionValue(math);
}

} // namespace ScriptMakers
