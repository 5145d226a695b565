#pragma once

#include "designer/formats/XmlTwinWriter.h"

#include <QDomDocument>
#include <QDomElement>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class TFlashElement;

// The project document: the tree a project is saved as (file, undo snapshot, z-order reload)
// and the pieces its two-phase reader needs. Reading errors throw std::runtime_error with the
// message the user sees.
namespace ProjectXml {

// Builds the project in Document, replacing the tree it held, and returns the same document
// as text: server address, repository directory, the pages of Pages after the first ("all" is
// never written) and every element in list order with ids renumbered from 101. Attributes come
// in a fixed order, so equal projects give equal files. With Previous, the record of the last
// write into Document, element nodes that would be written unchanged are kept, and Previous
// then records this write; the tree is the same as without it.
QByteArray WriteProjectDocument(QDomDocument& Document, const QString& ServerIP,
                                const QString& RepositoryDir, const QStringList& Pages,
                                const QList<TFlashElement*>& Elements,
                                TXmlWrittenTree* Previous = nullptr);

// Parses Bytes into Document; throws a message naming SourceName and the line and column of the
// first fault, or SourceName and the depth for elements nested past MaxXmlNesting.
void ParseDocument(QDomDocument& Document, const QByteArray& Bytes,
                   const QString& SourceName = QStringLiteral("project"));

// How messages name what a load reads: the file's path, or "undo snapshot" for a stream in
// memory (an undo snapshot, a z-order reload).
QString StreamName(const QIODevice* Stream);

// How messages name a stored element: its id and its name, as in: element 102 "Lamp".
QString StoredElementLabel(const QDomNode& Node);

// The first child element of Parent named TagName; throws when there is none, since the reader
// cannot go on without it.
QDomElement RequiredChild(const QDomNode& Parent, const QString& TagName);

// An attribute the reader cannot do without. A missing attribute throws the conversion error
// "Could not convert variant of type (Null) into type (...)", and an integer that is not a
// whole number "... (String) into type (Integer)".
QString RequiredText(const QDomNode& Node, const QString& Attribute);
int RequiredInteger(const QDomNode& Node, const QString& Attribute);

// A number as the project file writes it, with the current decimal separator; a text written
// under the other separator is accepted too, so a file moved between locales keeps its values.
std::optional<double> ReadNumber(const QString& Text);

// The "entities" node of the document's first "interface" root, or a null element.
QDomElement FindEntitiesNode(const QDomDocument& Document);

// The last child of Entities whose "id" reads as a number equal to Level, or a null element.
// Children are taken whatever their tag; one without a numeric "id" never matches.
QDomElement FindStoredElementNode(const QDomElement& Entities, int Level);

// What a stored element node holds beyond its id and clip; absent values stay unset.
struct TStoredAttributes {
  std::optional<double> X;
  std::optional<double> Y;
  std::optional<double> Width;
  std::optional<double> Height;
  std::optional<QString> Page;
  std::optional<QString> Name;
  std::optional<QString> FlashSuffix;
  std::optional<QString> OnExecute;
  std::optional<QString> FlashInfo;
};

TStoredAttributes ReadStoredAttributes(const QDomElement& Node);

// Gives Element what Stored holds: x, y, width and height through its setters (so they reach
// its clip once it is attached), page, name, flash suffixes and OnExecute as stored, and the
// stored item properties merged into its own.
void AssignStoredAttributes(TFlashElement& Element, const TStoredAttributes& Stored);

} // namespace ProjectXml
