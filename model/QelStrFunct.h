#pragma once

#include <QString>
#include <QStringList>

// Small string helpers the key/value text form, the element and the designer's clip, preview
// and import code rest on. None of them fails on any input.

// S with only the ASCII letters A-Z lower-cased; every other character stays as it is.
QString AsciiLowerCase(const QString& S);

// The part of S after / before the first Delim; the search folds only the ASCII letters a-z.
// "" when Delim is empty or absent.
QString StrAfter(const QString& S, const QString& Delim);
QString StrBefore(const QString& S, const QString& Delim);

// S between single quotes, nothing inside escaped.
QString QuoteStr(const QString& S);

// The strings joined with Sep between neighbours only.
QString JoinStrings(const QString& Sep, const QStringList& List);

// The pieces of Text between the occurrences of Sep as CR LF-terminated lines; a "?" in Sep
// matches any one character.
QString SplitToLines(const QString& Sep, const QString& Text);

// S read as a number with "." or "," as decimal point; Default when it does not convert.
double StrToFloatDefPoint(const QString& S, int Default);

// The file name of Path (cut at the last "\", ":" or "/") without its extension.
QString ExtractFileBaseName(const QString& Path);

// Appends S unless an equal string (case-sensitive) is in List.
void AddUnique(const QString& S, QStringList& List);

// A string list as text: every string followed by CR LF.
QString StringListToText(const QStringList& List);

// Text split into lines at CR LF, CR or LF; a final line break adds no empty line.
QStringList TextToStringList(const QString& Text);
