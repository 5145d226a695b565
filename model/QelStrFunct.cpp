#include "model/QelStrFunct.h"

#include "platform/Numbers.h"

#include <algorithm>

namespace {

// Index of the first Delim in S ignoring the case of a-z only; -1 when absent or empty.
qsizetype IndexOfAsciiCaseless(const QString& S, const QString& Delim) {
  if (Delim.isEmpty())
    return -1;
  return AsciiLowerCase(S).indexOf(AsciiLowerCase(Delim));
}

// Index of the first match of Pattern in Text from From on, where "?" matches any one
// character; -1 when absent or Pattern is empty.
qsizetype FindWildcard(const QString& Pattern, const QString& Text, qsizetype From) {
  if (Pattern.isEmpty())
    return -1;
  for (qsizetype start = From; start + Pattern.size() <= Text.size(); ++start) {
    qsizetype i = 0;
    while (i < Pattern.size() && (Pattern[i] == u'?' || Pattern[i] == Text[start + i]))
      ++i;
    if (i == Pattern.size())
      return start;
  }
  return -1;
}

} // namespace

QString AsciiLowerCase(const QString& S) {
  QString folded = S;
  for (QChar& c : folded) {
    if (c >= u'A' && c <= u'Z')
      c = QChar(c.unicode() + (u'a' - u'A'));
  }
  return folded;
}

QString StrAfter(const QString& S, const QString& Delim) {
  const qsizetype position = IndexOfAsciiCaseless(S, Delim);
  return position < 0 ? QString() : S.mid(position + Delim.size());
}

QString StrBefore(const QString& S, const QString& Delim) {
  const qsizetype position = IndexOfAsciiCaseless(S, Delim);
  return position < 0 ? QString() : S.left(position);
}

QString QuoteStr(const QString& S) {
  return u'\'' + S + u'\'';
}

QString JoinStrings(const QString& Sep, const QStringList& List) {
  return List.join(Sep);
}

QString SplitToLines(const QString& Sep, const QString& Text) {
  QStringList pieces;
  qsizetype start = 0;
  for (qsizetype found = FindWildcard(Sep, Text, start); found >= 0;
       found = FindWildcard(Sep, Text, start)) {
    pieces.append(Text.mid(start, found - start));
    start = found + Sep.size();
  }
  pieces.append(Text.mid(start));
  return StringListToText(pieces);
}

double StrToFloatDefPoint(const QString& S, int Default) {
  QString text = S;
  text.replace(u'.', DecimalSeparator()).replace(u',', DecimalSeparator());
  double value = 0;
  return TextToFloat(text, value) ? value : static_cast<double>(Default);
}

QString ExtractFileBaseName(const QString& Path) {
  const qsizetype lastSeparator =
      std::max({Path.lastIndexOf(u'\\'), Path.lastIndexOf(u':'), Path.lastIndexOf(u'/')});
  const QString name = Path.mid(lastSeparator + 1);
  const qsizetype dot = name.lastIndexOf(u'.');
  return dot < 0 ? name : name.left(dot);
}

void AddUnique(const QString& S, QStringList& List) {
  if (!List.contains(S))
    List.append(S);
}

QString StringListToText(const QStringList& List) {
  QString text;
  for (const QString& line : List)
    text += line + QStringLiteral("\r\n");
  return text;
}

QStringList TextToStringList(const QString& Text) {
  QStringList lines;
  qsizetype start = 0;
  while (start < Text.size()) {
    qsizetype end = start;
    while (end < Text.size() && Text[end] != u'\r' && Text[end] != u'\n')
      ++end;
    lines.append(Text.mid(start, end - start));
    if (end < Text.size() && Text[end] == u'\r' && end + 1 < Text.size() && Text[end + 1] == u'\n')
      ++end;
    start = end + 1;
  }
  return lines;
}
