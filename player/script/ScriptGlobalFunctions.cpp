// The global functions: number parsing, escaping, ASSetPropFlags and the timer functions.
#include "player/PlayerLevel.h"
#include "player/script/ScriptArray.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptOperators.h"
#include "player/script/ScriptTimeline.h"

#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

QStringView SkipSpace(QStringView text) {
  while (!text.isEmpty() && (text.front() == u' ' || text.front() == u'\t' ||
                             text.front() == u'\n' || text.front() == u'\r'))
    text = text.sliced(1);
  return text;
}

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

ActionValue ParseInt(NativeCall& call) {
  QStringView text = SkipSpace(QString(call.Text(0)));
  const QString owned = text.toString();
  text = owned;
  bool negative = false;
  if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
    negative = text.front() == u'-';
    text = text.sliced(1);
  }
  int radix = 10;
  if (call.Has(1) && !call.Arg(1).IsUndefined()) {
    const double requested = call.Number(1);
    if (!(requested >= 2 && requested < 37))
      return NaN;
    radix = int(requested);
    if (radix == 16 && text.size() >= 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
      text = text.sliced(2);
  } else if (text.size() >= 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
    radix = 16;
    text = text.sliced(2);
  } else if (text.size() >= 2 && text[0] == u'0') {
    // A leading 0 makes octal when every digit is one.
    bool octal = true;
    for (const QChar c : text)
      if (c < u'0' || c > u'7')
        octal = false;
    if (octal)
      radix = 8;
  }
  double value = 0;
  qsizetype digits = 0;
  for (const QChar c : text) {
    const int digit = DigitValue(c);
    if (digit >= radix)
      break;
    value = value * radix + digit;
    ++digits;
  }
  if (digits == 0)
    return NaN;
  return negative ? -value : value;
}

bool IsAsciiDigit(QChar c) {
  return c >= u'0' && c <= u'9';
}

// parseFloat reads as the player does: the fraction's digits add up one by one, dots after
// the first are skipped (and then no exponent follows), and the exponent wraps at 32 bits.
ActionValue ParseFloat(NativeCall& call) {
  if (!call.Has(0))
    return {};
  const QString owned = call.Text(0);
  const QStringView text = SkipSpace(owned);
  qsizetype i = 0;
  const qsizetype n = text.size();
  bool negative = false;
  if (i < n && (text[i] == u'+' || text[i] == u'-'))
    negative = text[i++] == u'-';
  double value = 0;
  bool digits = false;
  for (; i < n && IsAsciiDigit(text[i]); ++i, digits = true)
    value = value * 10 + (text[i].unicode() - u'0');
  bool extraDots = false;
  if (i < n && text[i] == u'.') {
    double scale = 0.1;
    for (++i; i < n && (IsAsciiDigit(text[i]) || text[i] == u'.'); ++i) {
      if (text[i] == u'.') {
        extraDots = true;
        continue;
      }
      value += (text[i].unicode() - u'0') * scale;
      scale /= 10;
      digits = true;
    }
  }
  if (!digits)
    return NaN;
  if (!extraDots && i < n && (text[i] == u'e' || text[i] == u'E')) {
    qsizetype j = i + 1;
    bool negativeExponent = false;
    if (j < n && (text[j] == u'+' || text[j] == u'-'))
      negativeExponent = text[j++] == u'-';
    quint32 exponent = 0;
    for (; j < n && IsAsciiDigit(text[j]); ++j)
      exponent = exponent * 10 + quint32(text[j].unicode() - u'0');
    const qint32 wrapped = qint32(exponent);
    value *= std::pow(10.0, negativeExponent ? -double(wrapped) : double(wrapped));
  }
  return negative ? -value : value;
}

bool IsUnescaped(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

ActionValue Escape(NativeCall& call) {
  const QString text = call.Text(0);
  // From version 6 on texts are Unicode and escape works on their UTF-8 bytes.
  const QByteArray bytes = call.Version() >= 6 ? text.toUtf8() : text.toLatin1();
  QString escaped;
  for (const char byte : bytes) {
    const auto c = char16_t(quint8(byte));
    if (IsUnescaped(c))
      escaped += QChar(c);
    else
      escaped += QStringLiteral("%%1").arg(uint(quint8(byte)), 2, 16, QChar(u'0')).toUpper();
  }
  return call.Level().SpendText(escaped.size()) ? ActionValue(escaped) : ActionValue();
}

ActionValue Unescape(NativeCall& call) {
  const QString text = call.Text(0);
  QByteArray bytes;
  // "+" stands for a blank. A "%" takes the two characters after it: a character that is no
  // hexadecimal digit ends the escape and is dropped with it, as is an escape cut short.
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'+') {
      bytes += ' ';
    } else if (text[i] != u'%') {
      bytes += QString(text[i]).toUtf8();
    } else if (i + 1 < text.size() && DigitValue(text[i + 1]) < 16) {
      if (i + 2 < text.size() && DigitValue(text[i + 2]) < 16)
        bytes += char(DigitValue(text[i + 1]) * 16 + DigitValue(text[i + 2]));
      i += 2;
    } else {
      i += 1;
    }
  }
  const QString decoded =
      call.Version() >= 6 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
  return call.Level().SpendText(decoded.size()) ? ActionValue(decoded) : ActionValue();
}

// ASSetPropFlags(object, names, set, clear): names is null for every member, a list in text
// ("a,b") or an array.
ActionValue SetPropFlags(NativeCall& call) {
  const auto object = call.Arg(0).Object();
  if (!object)
    return {};
  // The flags convert before the names do.
  const int set = ScriptOperators::ToInt32(call.Runtime.ToNumber(call.Arg(2)));
  const int clear = call.Has(3) ? ScriptOperators::ToInt32(call.Runtime.ToNumber(call.Arg(3))) : 0;
  std::vector<QString> names;
  const ActionValue list = call.Arg(1);
  if (list.IsNull()) {
    if (object == call.Level().Global())
      ScriptGlobals::MakeAll(call.Level());
    names = object->MemberNames();
  } else if (const auto* array = dynamic_cast<const ScriptArray*>(list.Object().get())) {
    for (const ActionValue& name : array->Elements())
      names.push_back(call.Runtime.ToText(name));
  } else {
    for (const QString& name : call.Text(1).split(u','))
      names.push_back(name);
  }
  // Clearing the flag that hides a built-in from older movies makes it visible to them.
  if (object == call.Level().Global() && (clear & ScriptGlobals::HiddenBeforeVersion8))
    for (const QString& name :
         list.IsNull() ? std::vector<QString>{QStringLiteral("flash")} : names)
      ScriptGlobals::Global(call.Level(), name, true);
  for (const QString& name : names)
    object->ChangeFlags(name, set & 7, clear & 7);
  return {};
}

// setInterval, setTimeout and their clear functions as values, so scripts can test for them
// (typeof) and pass them on; calling one runs the timeline's own timer call.
NativeFunction::Body TimerFunction(const QString& name) {
  return [name](NativeCall& call) {
    const ScriptEnvironment environment{call.Runtime.Stage(), call.Level(), call.Version()};
    return ScriptTimeline::CallFunction(environment, name, call.Arguments).value_or(ActionValue());
  };
}

const QHash<QString, NativeFunction::Body>& Functions() {
  static const QHash<QString, NativeFunction::Body> functions{
      {QStringLiteral("parseInt"), ParseInt},
      {QStringLiteral("parseFloat"), ParseFloat},
      {QStringLiteral("isNaN"),
       [](NativeCall& call) { return ActionValue(bool(std::isnan(call.Number(0)))); }},
      {QStringLiteral("isFinite"),
       [](NativeCall& call) { return ActionValue(bool(std::isfinite(call.Number(0)))); }},
      {QStringLiteral("escape"), Escape},
      {QStringLiteral("unescape"), Unescape},
      {QStringLiteral("ASSetPropFlags"), SetPropFlags},
      {QStringLiteral("setInterval"), TimerFunction(QStringLiteral("setInterval"))},
      {QStringLiteral("setTimeout"), TimerFunction(QStringLiteral("setTimeout"))},
      {QStringLiteral("clearInterval"), TimerFunction(QStringLiteral("clearInterval"))},
      {QStringLiteral("clearTimeout"), TimerFunction(QStringLiteral("clearTimeout"))},
      {QStringLiteral("ASnative"), ScriptMakers::NativeByNumber},
      {QStringLiteral("ASSetNative"), ScriptMakers::SetNatives},
      {QStringLiteral("ASSetNativeAccessor"), ScriptMakers::SetNativeAccessors},
  };
  return functions;
}

} // namespace

namespace ScriptMakers {

ActionValue GlobalFunction(PlayerLevel& level, const QString& name) {
  const auto& functions = Functions();
  const auto found = functions.constFind(name);
  if (found == functions.constEnd())
    return {};
  return ActionValue(std::static_pointer_cast<ScriptObject>(MakeNative(level, *found)));
}

std::vector<QString> GlobalFunctionNames() {
  const QStringList names = Functions().keys();
  return {names.begin(), names.end()};
}

} // namespace ScriptMakers
