#pragma once

#include <QString>

namespace swfgen {

// One line of a description as read: its text, its number, and the file it came from when
// an include brought it in (empty for the description itself).
struct SourceLine {
  QString text;
  int number = 0;
  QString file;
};

// A line that cannot be read, and why.
struct SourceError {
  SourceLine line;
  QString reason;

  // "line N: reason", or "FILE line N: reason" for a line of an included file.
  QString message() const {
    const QString where = QStringLiteral("line %1").arg(line.number);
    return (line.file.isEmpty() ? where : line.file + QLatin1Char(' ') + where) +
           QStringLiteral(": ") + reason;
  }
};

} // namespace swfgen
