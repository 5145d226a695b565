#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QString>
#include <QStringList>
#include <functional>

// An element a writer put into its document, with the text it wrote for it.
struct TXmlTwinNode {
  QByteArray Text;
  QDomElement Node;
};

// Writes one XML document twice at once: as a DOM tree and as UTF-8 text without declaration
// or indentation. The text lists attributes in the order they are set (a DOM keeps none), and
// characters that XML 1.0 cannot carry are left out of both, so the text always reads back
// into the same tree. Each value is checked and escaped once, straight into the UTF-8 text.
//
// A writer may start from the root element an earlier writer built in the same document: that
// tree is taken out of the document, and an element written again with the same text is moved
// over from it instead of being built anew. The text determines the element's calls, so the
// tree is the one a fresh write gives, for the cost of the changed elements alone.
class TXmlTwinWriter {
public:
  // Starts a new document in Document, dropping the tree it held. When PreviousRoot is the only
  // node Document holds, it is kept aside for WriteReusable instead, and the document itself
  // is kept.
  explicit TXmlTwinWriter(QDomDocument& Document, const QDomElement& PreviousRoot = {});
  // Whether a writer given PreviousRoot keeps it aside rather than dropping Document's tree.
  // Handles into a tree that is dropped must be let go first: a node outliving its document
  // is not safe to free.
  static bool KeepsAside(const QDomDocument& Document, const QDomElement& PreviousRoot);

  void StartElement(const QString& Tag);
  void Attribute(const QString& Name, const QString& Value);
  void Characters(const QString& Text);
  void EndElement();

  // Writes one child element of the open element through Write, which makes the writer calls
  // for exactly that element. When its text equals Previous.Text and Previous.Node lies in the
  // tree kept aside, that node is moved into place; otherwise Write runs again to build it.
  TXmlTwinNode WriteReusable(const TXmlTwinNode& Previous, const std::function<void()>& Write);

  // The root element written; null before the first StartElement.
  QDomElement Root() const { return FDocument.documentElement(); }
  QByteArray Text() const { return FText; }

private:
  void CloseStartTag();
  bool InPreviousTree(QDomNode Node) const;

  QDomDocument& FDocument;
  QDomElement FPreviousRoot; // the tree kept aside; null when none
  bool FTextOnly = false;    // WriteReusable's first pass: the text alone
  QDomElement FCurrent;      // null at the document level, before the first element
  QStringList FOpenTags;
  QByteArray FText;
  bool FStartTagOpen = false;
};
