#include "player/script/ScriptBuiltins.h"

#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/script/ScriptArray.h"
#include "player/script/ScriptObject.h"

#include <QRandomGenerator>
#include <cmath>
#include <limits>

namespace ScriptBuiltins {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Math: constants are members; its functions are answered by CallMethod.
class MathObject : public ScriptObject {
public:
  MathObject() {
    SetMember(QStringLiteral("PI"), M_PI);
    SetMember(QStringLiteral("E"), M_E);
    SetMember(QStringLiteral("LN2"), M_LN2);
    SetMember(QStringLiteral("LN10"), M_LN10);
    SetMember(QStringLiteral("LOG2E"), M_LOG2E);
    SetMember(QStringLiteral("LOG10E"), M_LOG10E);
    SetMember(QStringLiteral("SQRT2"), M_SQRT2);
    SetMember(QStringLiteral("SQRT1_2"), M_SQRT1_2);
  }
};

double Number(const Arguments& arguments, std::size_t index, int version) {
  return index < arguments.size() ? arguments[index].ToNumber(version) : NaN;
}

std::optional<ActionValue> CallMath(const QString& name, const Arguments& arguments, int version) {
  const double x = Number(arguments, 0, version);
  const double y = Number(arguments, 1, version);
  using Unary = double (*)(double);
  static const QHash<QString, Unary> unary{
      {QStringLiteral("abs"), [](double v) { return std::abs(v); }},
      {QStringLiteral("floor"), [](double v) { return std::floor(v); }},
      {QStringLiteral("ceil"), [](double v) { return std::ceil(v); }},
      {QStringLiteral("round"), [](double v) { return std::floor(v + 0.5); }},
      {QStringLiteral("sqrt"), [](double v) { return std::sqrt(v); }},
      {QStringLiteral("sin"), [](double v) { return std::sin(v); }},
      {QStringLiteral("cos"), [](double v) { return std::cos(v); }},
      {QStringLiteral("tan"), [](double v) { return std::tan(v); }},
      {QStringLiteral("asin"), [](double v) { return std::asin(v); }},
      {QStringLiteral("acos"), [](double v) { return std::acos(v); }},
      {QStringLiteral("atan"), [](double v) { return std::atan(v); }},
      {QStringLiteral("exp"), [](double v) { return std::exp(v); }},
      {QStringLiteral("log"), [](double v) { return std::log(v); }},
  };
  if (const auto found = unary.constFind(name); found != unary.constEnd())
    return (*found)(x);
  if (name == u"min")
    return std::isnan(x) || std::isnan(y) ? NaN : std::min(x, y);
  if (name == u"max")
    return std::isnan(x) || std::isnan(y) ? NaN : std::max(x, y);
  if (name == u"pow")
    return std::pow(x, y);
  if (name == u"atan2")
    return std::atan2(x, y);
  if (name == u"random")
    return QRandomGenerator::global()->generateDouble();
  return std::nullopt;
}

// The value of a digit in any radix up to 36; 36 for what is no digit.
int DigitValue(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9')
    return u - u'0';
  if (u >= u'a' && u <= u'z')
    return u - u'a' + 10;
  if (u >= u'A' && u <= u'Z')
    return u - u'A' + 10;
  return 36;
}

// A position argument of the text methods, clamped to [0, size]; negative counts from the
// end where the method allows it.
qsizetype Position(double value, qsizetype size, bool fromEnd) {
  if (std::isnan(value))
    return 0;
  if (value < 0)
    value = fromEnd ? std::max(0.0, double(size) + value) : 0;
  return qsizetype(std::min(value, double(size)));
}

std::optional<ActionValue> CallString(const ScriptEnvironment& environment, const QString& text,
                                      const QString& name, const Arguments& arguments) {
  const int version = environment.Version;
  const qsizetype size = text.size();
  const auto has = [&arguments](std::size_t index) {
    return index < arguments.size() && !arguments[index].IsUndefined();
  };
  const auto argument = [&](std::size_t index) { return Number(arguments, index, version); };
  const auto argumentText = [&](std::size_t index) {
    return index < arguments.size() ? arguments[index].ToString(version) : QString();
  };
  if (name == u"toUpperCase")
    return text.toUpper();
  if (name == u"toLowerCase")
    return text.toLower();
  if (name == u"toString" || name == u"valueOf")
    return text;
  if (name == u"charAt") {
    const double index = argument(0);
    return index >= 0 && index < size ? QString(text[qsizetype(index)]) : QString();
  }
  if (name == u"charCodeAt") {
    const double index = argument(0);
    return index >= 0 && index < size ? double(text[qsizetype(index)].unicode()) : NaN;
  }
  if (name == u"indexOf")
    return double(text.indexOf(argumentText(0), has(1) ? Position(argument(1), size, false) : 0));
  if (name == u"lastIndexOf")
    return double(
        text.lastIndexOf(argumentText(0), has(1) ? Position(argument(1), size, false) : size));
  if (name == u"substr") {
    const qsizetype start = Position(argument(0), size, true);
    const qsizetype count = has(1) ? Position(argument(1), size - start, false) : size - start;
    return text.mid(start, count);
  }
  if (name == u"substring") {
    qsizetype start = Position(argument(0), size, false);
    qsizetype end = has(1) ? Position(argument(1), size, false) : size;
    if (start > end)
      std::swap(start, end);
    return text.mid(start, end - start);
  }
  if (name == u"slice") {
    const qsizetype start = Position(argument(0), size, true);
    const qsizetype end = has(1) ? Position(argument(1), size, true) : size;
    return text.mid(start, std::max<qsizetype>(0, end - start));
  }
  if (name == u"split") {
    std::vector<ActionValue> parts;
    if (!has(0)) {
      parts.emplace_back(text);
    } else {
      const QString separator = argumentText(0);
      const QStringList pieces =
          separator.isEmpty() ? text.split(QString(), Qt::SkipEmptyParts) : text.split(separator);
      for (const QString& piece : pieces)
        parts.emplace_back(piece);
    }
    return NewArray(environment.Level, std::move(parts));
  }
  return std::nullopt;
}

std::optional<ActionValue> CallArray(const ScriptEnvironment& environment, ScriptArray& array,
                                     const QString& name, const Arguments& arguments) {
  const std::vector<ActionValue>& elements = array.Elements();
  if (name == u"push" || name == u"unshift") {
    array.Insert(name == u"push" ? elements.size() : 0, arguments);
    return double(elements.size());
  }
  if (name == u"pop" || name == u"shift")
    return array.Take(name == u"pop");
  if (name == u"reverse") {
    array.Reverse();
    return ActionValue(array.shared_from_this());
  }
  if (name == u"join" || name == u"toString") {
    const bool separated = name == u"join" && !arguments.empty() && !arguments[0].IsUndefined();
    const QString text =
        array.Join(separated ? arguments[0].ToString(environment.Version) : QStringLiteral(","));
    return environment.Level.SpendText(text.size()) ? ActionValue(text) : ActionValue();
  }
  if (name == u"slice") {
    const qsizetype size = qsizetype(elements.size());
    const qsizetype start = Position(Number(arguments, 0, environment.Version), size, true);
    const qsizetype end = arguments.size() > 1
                              ? Position(Number(arguments, 1, environment.Version), size, true)
                              : size;
    return NewArray(environment.Level,
                    start < end
                        ? std::vector<ActionValue>(elements.begin() + start, elements.begin() + end)
                        : std::vector<ActionValue>());
  }
  if (name == u"concat") {
    std::vector<ActionValue> joined = elements;
    for (const ActionValue& argument : arguments) {
      const auto* other = dynamic_cast<const ScriptArray*>(argument.Object().get());
      if (other)
        joined.insert(joined.end(), other->Elements().begin(), other->Elements().end());
      else
        joined.push_back(argument);
    }
    return NewArray(environment.Level, std::move(joined));
  }
  return std::nullopt;
}

// Frame methods change nothing: only the first frame is shown and it is already there.
std::optional<ActionValue> CallClip(const QString& name) {
  static const QStringList frameMethods{
      QStringLiteral("play"),         QStringLiteral("stop"),      QStringLiteral("gotoAndStop"),
      QStringLiteral("gotoAndPlay"),  QStringLiteral("nextFrame"), QStringLiteral("prevFrame"),
      QStringLiteral("stopAllSounds")};
  if (frameMethods.contains(name))
    return ActionValue();
  return std::nullopt;
}

} // namespace

std::shared_ptr<ScriptObject> GlobalObject(PlayerLevel& level, const QString& name) {
  if (name != u"Math")
    return nullptr;
  const auto math = level.Adopt(std::make_shared<MathObject>());
  if (math)
    level.Global()->SetMember(name, ActionValue(std::static_pointer_cast<ScriptObject>(math)));
  return math;
}

std::optional<ActionValue> CallFunction(const ScriptEnvironment& environment, const QString& name,
                                        const Arguments& arguments) {
  const int version = environment.Version;
  const ActionValue first = arguments.empty() ? ActionValue() : arguments[0];
  if (name == u"Number")
    return first.ToNumber(version);
  if (name == u"String")
    return first.ToString(version);
  if (name == u"Boolean")
    return first.ToBoolean(version);
  if (name == u"isNaN")
    return std::isnan(first.ToNumber(version));
  if (name == u"isFinite")
    return std::isfinite(first.ToNumber(version));
  if (name == u"parseFloat") {
    // The longest leading part that reads as a number.
    const QString text = first.ToString(version).trimmed();
    for (qsizetype length = text.size(); length > 0; --length)
      if (const double value = ParseNumber(text.left(length)); !std::isnan(value))
        return value;
    return NaN;
  }
  if (name == u"parseInt") {
    QString text = first.ToString(version).trimmed();
    const double radixNumber = arguments.size() > 1 ? arguments[1].ToNumber(version) : 10;
    int radix = radixNumber >= 2 && radixNumber < 37 ? int(radixNumber) : 0;
    if (arguments.size() < 2 && text.startsWith(u"0x", Qt::CaseInsensitive)) {
      radix = 16;
      text = text.mid(2);
    }
    if (radix < 2 || radix > 36)
      return NaN;
    qsizetype length = text.startsWith(u'-') || text.startsWith(u'+') ? 1 : 0;
    while (length < text.size() && DigitValue(text[length]) < radix)
      ++length;
    bool ok = false;
    const double value = double(text.left(length).toLongLong(&ok, radix));
    return ok ? value : NaN;
  }
  if (name == u"Array") {
    if (arguments.size() == 1 && first.IsNumber()) {
      const ActionValue array = NewArray(environment.Level, {});
      if (auto* created = dynamic_cast<ScriptArray*>(array.Object().get()))
        created->Resize(first.ToNumber());
      return array;
    }
    return NewArray(environment.Level, arguments);
  }
  if (name == u"Object")
    return ActionValue(environment.Level.NewObject());
  return std::nullopt;
}

std::optional<ActionValue> CallMethod(const ScriptEnvironment& environment,
                                      const ActionValue& receiver, const QString& name,
                                      const Arguments& arguments) {
  if (receiver.IsString())
    return CallString(environment, receiver.ToString(), name, arguments);
  const auto object = receiver.Object();
  if (!object)
    return std::nullopt;
  if (dynamic_cast<MathObject*>(object.get()))
    return CallMath(name, arguments, environment.Version);
  if (auto* array = dynamic_cast<ScriptArray*>(object.get()))
    return CallArray(environment, *array, name, arguments);
  if (dynamic_cast<MovieClip*>(object.get()))
    return CallClip(name);
  if (name == u"toString")
    return object->ToText();
  return std::nullopt;
}

ActionValue NewArray(PlayerLevel& level, const std::vector<ActionValue>& elements) {
  const auto array = level.Adopt(std::make_shared<ScriptArray>(level));
  if (!array || !array->Insert(0, elements))
    return {};
  return ActionValue(std::static_pointer_cast<ScriptObject>(array));
}

} // namespace ScriptBuiltins
