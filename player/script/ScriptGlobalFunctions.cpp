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

ActionValue ParseFloat(NativeCall& call) {
  const QString owned = call.Text(0);
  const QStringView text = SkipSpace(owned);
  qsizetype i = 0;
  const qsizetype n = text.size();
  if (i < n && (text[i] == u'+' || text[i] == u'-'))
    ++i;
  qsizetype digits = 0;
  while (i < n && text[i].isDigit() && text[i].unicode() < 0x80)
    ++i, ++digits;
  if (i < n && text[i] == u'.') {
    ++i;
    while (i < n && text[i].isDigit() && text[i].unicode() < 0x80)
      ++i, ++digits;
  }
  if (digits == 0)
    return NaN;
  qsizetype end = i;
  if (i < n && (text[i] == u'e' || text[i] == u'E')) {
    qsizetype j = i + 1;
    if (j < n && (text[j] == u'+' || text[j] == u'-'))
      ++j;
    const qsizetype exponentStart = j;
    while (j < n && text[j].isDigit() && text[j].unicode() < 0x80)
      ++j;
    if (j > exponentStart)
      end = j;
  }
  return std::strtod(text.first(end).toLatin1().constData(), nullptr);
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
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'%' && i + 2 < text.size() + 0 && DigitValue(text[i + 1]) < 16 &&
        DigitValue(text[i + 2]) < 16) {
      bytes += char(DigitValue(text[i + 1]) * 16 + DigitValue(text[i + 2]));
      i += 2;
    } else {
      bytes += QString(text[i]).toUtf8();
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
  std::vector<QString> names;
  const ActionValue list = call.Arg(1);
  if (list.IsNull()) {
    names = object->MemberNames();
  } else if (const auto* array = dynamic_cast<const ScriptArray*>(list.Object().get())) {
    for (const ActionValue& name : array->Elements())
      names.push_back(call.Runtime.ToText(name));
  } else {
    for (const QString& name : call.Text(1).split(u','))
      names.push_back(name);
  }
  const int set = ScriptOperators::ToInt32(call.Runtime.ToNumber(call.Arg(2))) & 7;
  const int clear =
      call.Has(3) ? ScriptOperators::ToInt32(call.Runtime.ToNumber(call.Arg(3))) & 7 : 0;
  for (const QString& name : names)
    object->ChangeFlags(name, set, clear);
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

} // namespace

namespace ScriptMakers {

ActionValue GlobalFunction(PlayerLevel& level, const QString& name) {
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
  };
  const auto found = functions.constFind(name);
  if (found == functions.constEnd())
    return {};
  return ActionValue(std::static_pointer_cast<ScriptObject>(MakeNative(level, *found)));
}

} // namespace ScriptMakers
