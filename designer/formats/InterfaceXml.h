#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QList>
#include <QString>
#include <QStringList>

class TFlashElement;
struct TXmlWrittenTree;

// The interface description published to the device: one "entities" node per page of the
// page list and, under each, the elements of that page with their geometry in whole stage
// units, name, item properties and flash suffixes.
namespace InterfaceXml {

// Builds the description in Document, replacing the tree it held, and returns the same
// document as text with the attributes in their written order. An element goes under the last
// "entities" node of its page; an element whose page is not listed is left out. Throws
// std::runtime_error when an element type or an item-property key is not a valid XML name;
// Document then keeps what was built before that element. With Previous, the record of the
// last write into Document, element nodes that would be written unchanged are kept, and
// Previous then records this write; the tree is the same as without it.
QByteArray WriteInterfaceDocument(QDomDocument& Document, const QStringList& Pages,
                                  const QList<TFlashElement*>& Elements,
                                  TXmlWrittenTree* Previous = nullptr);

// The last direct child of Node whose attribute AttrName reads exactly Value, or a null node.
QDomNode FindChildByAttribute(const QDomNode& Node, const QString& AttrName, const QString& Value);

// True when Name may stand as an element or attribute name of XML 1.0.
bool IsXmlName(const QString& Name);

} // namespace InterfaceXml
