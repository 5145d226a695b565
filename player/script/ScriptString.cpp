// String: its constructor and methods, with the player's rules for negative and missing
// positions.
#include "player/PlayerLevel.h"
#include "player/script/ScriptBuiltins.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptOperators.h"

#include <cmath>

namespace {

// The text a method works on: the boxed or primitive text of this.
QString ThisText(NativeCall& call) {
  if (const auto* boxed = dynamic_cast<const BoxedValue*>(call.This.Object().get()))
    return boxed->Value().ToString(call.Version());
  return call.Runtime.ToText(call.This);
}

// An integer argument, wrapped to 32 bits as the player takes positions; missing is
// fallback.
double Integer(NativeCall& call, std::size_t index, double fallback) {
  if (!call.Has(index) || call.Arg(index).IsUndefined())
    return fallback;
  return double(ScriptOperators::ToInt32(call.Number(index)));
}

qsizetype Clamp(double value, qsizetype size) {
  return qsizetype(std::max(0.0, std::min(value, double(size))));
}

ActionValue Text(NativeCall& call, const QString& text) {
  return call.Level().SpendText(text.size()) ? ActionValue(text) : ActionValue();
}

// The player changes case one UTF-16 unit at a time, each to one unit, by an older Unicode
// table than Qt's: final sigma and the Georgian capitals map as that table has them, and the
// letters added since stay as they are.
char16_t LowerUnit(char16_t unit) {
  constexpr char16_t GeorgianCapitals = 0x10A0;
  constexpr char16_t GeorgianLast = 0x10C5;
  constexpr char16_t GeorgianSmall = 0x10D0;
  if (unit >= GeorgianCapitals && unit <= GeorgianLast)
    return char16_t(unit - GeorgianCapitals + GeorgianSmall);
  if (unit == 0x03A2) // the gap before capital sigma pairs with final sigma
    return 0x03C2;
  if (unit == 0x0130) // capital I with dot: Qt's single-unit mapping keeps it
    return u'i';
  return char16_t(QChar::toLower(unit));
}

// Greek letters with iota subscript: Qt's single-unit mapping keeps them, the table gives
// their title-case forms.
char16_t UpperIotaSubscript(char16_t unit) {
  if ((unit >= 0x1F80 && unit <= 0x1F87) || (unit >= 0x1F90 && unit <= 0x1F97) ||
      (unit >= 0x1FA0 && unit <= 0x1FA7))
    return char16_t(unit + 8);
  if (unit == 0x1FB3 || unit == 0x1FC3 || unit == 0x1FF3)
    return char16_t(unit + 9);
  return unit;
}

char16_t UpperUnit(char16_t unit) {
  if (unit == 0x03C2) // final sigma
    return 0x03A2;
  if (unit == 0x03F2) // lunate sigma
    return 0x03A3;
  if (const char16_t subscript = UpperIotaSubscript(unit); subscript != unit)
    return subscript;
  const char16_t upper = char16_t(QChar::toUpper(unit));
  // Georgian small letters have no capitals in that table.
  return upper >= 0x1C90 && upper <= 0x1CBF ? unit : upper;
}

QString MapUnits(QString text, char16_t (*map)(char16_t)) {
  for (QChar& unit : text)
    unit = QChar(map(unit.unicode()));
  return text;
}

ActionValue Construct(NativeCall& call) {
  const QString text = call.Has(0) ? call.Text(0) : QString();
  if (!call.Constructing)
    return text;
  const auto boxed = call.Level().Adopt(std::make_shared<BoxedValue>(text));
  if (!boxed)
    return {};
  if (const auto prototype = ScriptGlobals::Prototype(call.Level(), QStringLiteral("String")))
    boxed->DefineMember(QStringLiteral("__proto__"), prototype);
  return ActionValue(std::static_pointer_cast<ScriptObject>(boxed));
}

ActionValue Split(NativeCall& call) {
  const QString text = ThisText(call);
  std::vector<ActionValue> parts;
  // A negative limit keeps nothing.
  const double limitNumber = call.Has(1) && !call.Arg(1).IsUndefined() ? Integer(call, 1, 0) : -1;
  const std::size_t limit = !call.Has(1) || call.Arg(1).IsUndefined() ? std::size_t(-1)
                            : limitNumber >= 0                        ? std::size_t(limitNumber)
                                                                      : 0;
  // Without a separator the whole text is the one part, whatever the limit.
  if (!call.Has(0) || call.Arg(0).IsUndefined()) {
    parts.emplace_back(text);
  } else {
    const QString separator = call.Text(0);
    if (separator.isEmpty()) {
      for (qsizetype i = 0; i < text.size() && parts.size() < limit; ++i)
        parts.emplace_back(QString(text[i]));
    } else if (!text.isEmpty()) {
      for (const QString& piece : text.split(separator)) {
        if (parts.size() >= limit)
          break;
        parts.emplace_back(piece);
      }
    }
  }
  return ScriptBuiltins::NewArray(call.Level(), parts);
}

ActionValue Substr(NativeCall& call) {
  if (call.Arguments.empty())
    return {};
  const QString text = ThisText(call);
  const qsizetype size = text.size();
  double start = Integer(call, 0, 0);
  if (start < 0)
    start = std::max(0.0, double(size) + start);
  const qsizetype from = Clamp(start, size);
  double length = Integer(call, 1, double(size));
  // A negative length counts back from the end of the text; what would reach the end is
  // nothing.
  if (length < 0) {
    length += double(size);
    if (double(from) + length >= double(size))
      return QString();
  }
  if (length <= 0)
    return QString();
  return Text(call, text.mid(from, Clamp(length, size - from)));
}

ActionValue Substring(NativeCall& call) {
  if (call.Arguments.empty())
    return {};
  const QString text = ThisText(call);
  const qsizetype size = text.size();
  qsizetype start = Clamp(Integer(call, 0, 0), size);
  qsizetype end = Clamp(Integer(call, 1, double(size)), size);
  if (start > end)
    std::swap(start, end);
  return Text(call, text.mid(start, end - start));
}

ActionValue Slice(NativeCall& call) {
  if (call.Arguments.empty())
    return {};
  const QString text = ThisText(call);
  const qsizetype size = text.size();
  const auto position = [size](double value) {
    return Clamp(value < 0 ? double(size) + value : value, size);
  };
  const qsizetype start = position(Integer(call, 0, 0));
  const qsizetype end = position(Integer(call, 1, double(size)));
  return Text(call, start < end ? text.mid(start, end - start) : QString());
}

ActionValue IndexOf(NativeCall& call, bool last) {
  if (call.Arguments.empty())
    return {};
  const QString text = ThisText(call);
  const QString search = call.Text(0);
  if (!last) {
    const double from = Integer(call, 1, 0);
    if (from > double(text.size()))
      return -1.0;
    return double(text.indexOf(search, Clamp(from, text.size())));
  }
  const double from = Integer(call, 1, double(text.size()));
  if (from < 0)
    return -1.0;
  return double(text.lastIndexOf(search, Clamp(from, text.size())));
}

ActionValue FromCharCode(NativeCall& call) {
  QString text;
  for (std::size_t i = 0; i < call.Arguments.size(); ++i) {
    const quint16 code = quint16(quint32(qint64(std::fmod(std::trunc(call.Number(i)), 65536.0))));
    // A code of 0 ends the text.
    if (code == 0)
      break;
    text += QChar(code);
  }
  return Text(call, text);
}

} // namespace

namespace ScriptMakers {

ActionValue StringClass(PlayerLevel& level) {
  NativeClass string(level, Construct);
  if (!string)
    return {};
  const auto self = [](NativeCall& call) { return ActionValue(ThisText(call)); };
  string.Method(QStringLiteral("toString"), self)
      .Method(QStringLiteral("valueOf"), self)
      .Method(QStringLiteral("toUpperCase"),
              [](NativeCall& call) { return Text(call, MapUnits(ThisText(call), UpperUnit)); })
      .Method(QStringLiteral("toLowerCase"),
              [](NativeCall& call) { return Text(call, MapUnits(ThisText(call), LowerUnit)); })
      .Method(QStringLiteral("charAt"),
              [](NativeCall& call) -> ActionValue {
                const QString text = ThisText(call);
                const double index = Integer(call, 0, 0);
                return index >= 0 && index < text.size() ? QString(text[qsizetype(index)])
                                                         : QString();
              })
      .Method(QStringLiteral("charCodeAt"),
              [](NativeCall& call) -> ActionValue {
                const QString text = ThisText(call);
                const double index = Integer(call, 0, 0);
                return index >= 0 && index < text.size() ? double(text[qsizetype(index)].unicode())
                                                         : std::nan("");
              })
      .Method(QStringLiteral("concat"),
              [](NativeCall& call) {
                QString text = ThisText(call);
                for (std::size_t i = 0; i < call.Arguments.size(); ++i)
                  text += call.Text(i);
                return Text(call, text);
              })
      .Method(QStringLiteral("indexOf"), [](NativeCall& call) { return IndexOf(call, false); })
      .Method(QStringLiteral("lastIndexOf"), [](NativeCall& call) { return IndexOf(call, true); })
      .Method(QStringLiteral("slice"), Slice)
      .Method(QStringLiteral("substr"), Substr)
      .Method(QStringLiteral("substring"), Substring)
      .Method(QStringLiteral("split"), Split)
      .Static(QStringLiteral("fromCharCode"), FromCharCode);
  return ActionValue(std::static_pointer_cast<ScriptObject>(string.Constructor()));
}

} // namespace ScriptMakers
