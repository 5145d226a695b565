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
  for (const auto& [name, unaryFunction] : unary)
    DefineNative(level, *math, QString::fromLatin1(name),
                 [function = unaryFunction](NativeCall& call) {
                   const double value = call.Number(0);
                   // The player converts a second argument too, and drops it.
                   if (call.Has(1))
                     call.Number(1);
                   return ActionValue(function(value));
                 });
  // The two-argument functions convert both in order; max and min of no arguments are the
  // identities of the order, and of one argument NaN.
  using Binary = double (*)(double, double);
  const std::pair<const char*, Binary> binary[] = {
      {"pow", [](double x, double y) { return std::pow(x, y); }},
      {"atan2", [](double y, double x) { return std::atan2(y, x); }},
      {"max",
       [](double x, double y) { return std::isnan(x) || std::isnan(y) ? x + y : std::max(x, y); }},
      {"min",
       [](double x, double y) { return std::isnan(x) || std::isnan(y) ? x + y : std::min(x, y); }},
  };
  for (const auto& [name, binaryFunction] : binary) {
    const bool greatest = qstrcmp(name, "max") == 0;
    const bool extreme = greatest || qstrcmp(name, "min") == 0;
    DefineNative(level, *math, QString::fromLatin1(name),
                 [function = binaryFunction, extreme, greatest](NativeCall& call) {
                   if (extreme && call.Arguments.empty())
                     return ActionValue(greatest ? -std::numeric_limits<double>::infinity()
                                                 : std::numeric_limits<double>::infinity());
                   const double x = call.Number(0);
                   const double y = call.Number(1);
                   return ActionValue(function(x, y));
                 });
  }
  DefineNative(level, *math, QStringLiteral("random"), [](NativeCall& call) {
    for (std::size_t i = 0; i < std::min<std::size_t>(call.Arguments.size(), 2); ++i)
      call.Number(i);
    return ActionValue(QRandomGenerator::global()->generateDouble());
  });
  return ActionValue(math);
}

} // namespace ScriptMakers
