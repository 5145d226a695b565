#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// Reads the two files of an import: the clip catalogue clips.xml and an interface description
// (full.xml). Only the levels that the import uses are kept: the top-level element's children
// and their children, each with its attributes in document order. Every error throws
// std::runtime_error with the message the user sees.
namespace InterfaceImport {

struct TAttribute {
  QString Name;
  QString Value;
};

struct TNode {
  QString Name;
  QList<TAttribute> Attributes; // in document order
  QList<TNode> Children;        // element children only; empty below the second level
};

// The catalogue's map from clip class to clip base name (the "file" text after its last "\",
// ":" or "/", without extension); a class listed twice takes the later file. Throws when Bytes
// are not well-formed XML, when the top-level element is not "clips", or with the conversion
// error when a clip line has no "class" or "file". FileName names the file in messages.
QHash<QString, QString> ReadClassMap(const QByteArray& Bytes, const QString& FileName);

// The "entities" children of an interface description's top-level "interface" element, each
// with its element nodes. Throws when Bytes are not well-formed XML or the top-level element is
// not "interface".
QList<TNode> ReadInterface(const QByteArray& Bytes, const QString& FileName);

// The attribute's value; a missing attribute throws the conversion error
// "Could not convert variant of type (Null) into type (String)".
QString RequiredAttribute(const TNode& Node, const QString& Name);

// The text an imported element's geometry is set from: "x=" X "&y=" Y "&page=" Page, then
// "&" name "=" value for every attribute of Node in document order, so an attribute named "x",
// "y" or "page" has the last word.
QString GeometryText(const TNode& Node, const QString& X, const QString& Y, const QString& Page);

} // namespace InterfaceImport
