#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// An element a writer put into its document, with the text it wrote for it.
struct TXmlTwinNode {
  QByteArray Text;
  QDomElement Node;
};

// What a writer put into its document: the root and, in writing order, the elements written
// through WriteReusable.
struct TXmlWrittenTree {
  QDomElement Root;
  QList<TXmlTwinNode> Elements;
};

// Writes one XML document twice at once: as a DOM tree and as UTF-8 text without declaration
// or indentation. The text lists attributes in the order they are set (a DOM keeps none), and
// characters that XML 1.0 cannot carry are left out of both, so the text always reads back
// into the same tree. Each value is checked and escaped once, straight into the UTF-8 text.
//
// A writer given the record of the last write into the same document takes that tree out of
// the document, and an element written again at the same place with the same text is moved
// over from it instead of being built anew. The text determines the element's calls, so the
// tree is the one a fresh write gives, for the cost of the changed elements alone.
class TXmlTwinWriter {
public:
  // Starts a new document in Document, dropping the tree it held. With Record, the tree it
  // describes is kept aside for WriteReusable when it is all that Document holds; otherwise
  // Record is emptied first, since a node that outlives its document is not safe to free.
  // Record must be emptied likewise before anything else replaces Document's tree.
  explicit TXmlTwinWriter(QDomDocument& Document, TXmlWrittenTree* Record = nullptr);

  void StartElement(const QString& Tag);
  void Attribute(const QString& Name, const QString& Value);
  void Characters(const QString& Text);
  void EndElement();

  // Writes one child element of the open element through Write, which makes the writer calls
  // for exactly that element. When its text equals that of the element at the same place in
  // the record and that node lies in the tree kept aside, the node is moved into place;
  // otherwise Write runs again to build it. Write may thus run twice, so it does nothing but
  // those calls, and it never writes character data twice in a row (the text would not tell
  // one text node from two).
  void WriteReusable(const std::function<void()>& Write);

  QByteArray Text() const { return FText; }
  // The text written; the record, if any, now describes this write.
  QByteArray Finish();

private:
  void CloseStartTag();
  bool InPreviousTree(QDomNode Node) const;

  QDomDocument& FDocument;
  TXmlWrittenTree* FRecord;
  TXmlWrittenTree FPrevious; // the tree kept aside; empty when none
  QList<TXmlTwinNode> FWritten;
  bool FTextOnly = false; // WriteReusable's first pass: the text alone
  QDomElement FCurrent;   // null at the document level, before the first element
  QStringList FOpenTags;
  QByteArray FText;
  bool FStartTagOpen = false;
};
