#include "designer/formats/StoredElementIndex.h"

#include "designer/formats/ProjectXml.h"
#include "designer/formats/XmlTwinWriter.h"

#include <QDomDocument>
#include <gtest/gtest.h>

namespace {

QDomDocument Parse(const QByteArray& text) {
  QDomDocument document;
  ProjectXml::ParseDocument(document, text);
  return document;
}

QString NameAt(TStoredElementIndex& index, const QDomDocument& document, int level) {
  return index.Find(ProjectXml::FindEntitiesNode(document), level).attribute("name");
}

// One index asked about a document that changes under it, as the main window's is: every
// answer must be the one a walk over the current tree would give.
TEST(StoredElementIndexTest, AnswersFollowTheDocumentItIsAskedAbout) {
  TStoredElementIndex index;
  QDomDocument document = Parse("<interface><entities><element id=\"101\" name=\"a\"/>"
                                "<element id=\"102.0\" name=\"b\"/><element id=\"102.5\"/>"
                                "<element name=\"no id\"/><element id=\"1E300\"/>"
                                "<element id=\"x\"/></entities></interface>");
  EXPECT_EQ(NameAt(index, document, 101), "a");
  EXPECT_EQ(NameAt(index, document, 102), "b"); // a whole number written with a fraction
  EXPECT_TRUE(index.Find(ProjectXml::FindEntitiesNode(document), 103).isNull());

  // A node appended to the same tree is found, and as the last match it wins.
  QDomElement later = document.createElement("other");
  later.setAttribute("id", "101");
  later.setAttribute("name", "later");
  ProjectXml::FindEntitiesNode(document).appendChild(later);
  EXPECT_EQ(NameAt(index, document, 101), "later");

  // A tree that replaced the previous one (a save, a snapshot, a load) is read afresh.
  document.setContent(QByteArray("<interface><entities><element id=\"101\" name=\"new\"/>"
                                 "</entities></interface>"));
  EXPECT_EQ(NameAt(index, document, 101), "new");
  EXPECT_TRUE(index.Find(ProjectXml::FindEntitiesNode(document), 102).isNull());

  // A document without entities has no stored node, and the index keeps nothing of it.
  document.setContent(QByteArray("<other/>"));
  EXPECT_TRUE(index.Find(ProjectXml::FindEntitiesNode(document), 101).isNull());
}

// The writer's text reads back into the tree it built, whatever mixes of non-ASCII text and
// escaped characters a value holds.
TEST(XmlTwinWriterTest, TextReadsBackIntoTheTreeItBuilt) {
  const QString mixed = QStringLiteral("é<ü>&\"x\r\n\tÿ☃\U0001F600end");
  QDomDocument built;
  TXmlTwinWriter writer(built);
  writer.StartElement("root");
  writer.Attribute("v", mixed);
  writer.StartElement("ä");
  writer.Characters(mixed);
  writer.EndElement();
  writer.StartElement("empty");
  writer.EndElement();
  writer.EndElement();
  const QByteArray text = writer.Text();
  EXPECT_TRUE(text.startsWith("<root v=\"\xC3\xA9&lt;\xC3\xBC&gt;&amp;&quot;x&#13;&#10;&#9;"));
  EXPECT_TRUE(text.endsWith("</\xC3\xA4><empty/></root>"));

  const QDomDocument read = Parse(text);
  for (const QDomDocument& tree : {built, read}) {
    const QDomElement root = tree.documentElement();
    EXPECT_EQ(root.attribute("v"), mixed);
    EXPECT_EQ(root.firstChildElement(QStringLiteral("ä")).text(),
              QStringLiteral("é<ü>&\"x\r\n\tÿ☃\U0001F600end"));
    EXPECT_FALSE(root.firstChildElement("empty").isNull());
  }
}

} // namespace
