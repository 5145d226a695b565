#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QString>
#include <QStringList>

// Writes one XML document twice at once: as a DOM tree and as UTF-8 text without declaration
// or indentation. The text lists attributes in the order they are set (a DOM keeps none), and
// characters that XML 1.0 cannot carry are left out of both, so the text always reads back
// into the same tree. Each value is checked and escaped once, straight into the UTF-8 text.
class TXmlTwinWriter {
public:
  // Starts a new document in Document, dropping the tree it held.
  explicit TXmlTwinWriter(QDomDocument& Document);

  void StartElement(const QString& Tag);
  void Attribute(const QString& Name, const QString& Value);
  void Characters(const QString& Text);
  void EndElement();

  QByteArray Text() const { return FText; }

private:
  void CloseStartTag();

  QDomDocument& FDocument;
  QDomElement FCurrent; // null at the document level, before the first element
  QStringList FOpenTags;
  QByteArray FText;
  bool FStartTagOpen = false;
};
