#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QList>
#include <QString>
#include <QStringList>

// The read-only driver catalogue: drivers, each with its commands (whose parameters name a type
// of the same driver and carry a caption) and its types ("string", or "enum" with a list of
// values). Only tag names "drivers", "commands" and "types" are examined; every other level is
// found by position or by its "name" attribute. A catalogue that lacks a part the queries look
// for reads as if that part were empty.
namespace DriverCatalogue {

// Parses Bytes into Document; throws std::runtime_error naming FileName and the line and column of
// the first fault, or FileName and the depth for elements nested past MaxXmlNesting, and leaves
// Document as it was.
void ParseDocument(QDomDocument& Document, const QByteArray& Bytes,
                   const QString& FileName = QStringLiteral("drivers.xml"));

// The last child element of Node whose "name" equals Name exactly (case-sensitive); a null
// element when none does. An empty Name never matches.
QDomElement FindChildByName(const QString& Name, const QDomNode& Node);

// The names of all drivers in document order (equal names repeated); children without a name
// are left out.
QStringList DriverNames(const QDomDocument& Document);

// The names of the commands of the driver named Driver, in document order.
QStringList CommandNames(const QDomDocument& Document, const QString& Driver);

// One row of the parameter grid: an "enum" parameter picks from Values, the first of which is
// its default; a "string" parameter has no values and starts empty.
struct TParameterRow {
  QString Caption;
  bool IsEnum = false;
  QStringList Values;

  bool operator==(const TParameterRow&) const = default;
};

// The rows of the command Command of the driver Driver, in document order. A parameter whose
// type is missing or has a datatype other than "string" or "enum" gives no row.
QList<TParameterRow> ParameterRows(const QDomDocument& Document, const QString& Driver,
                                   const QString& Command);

} // namespace DriverCatalogue
