// A project written again into the same document keeps the element nodes it would write
// unchanged; the document must then hold exactly the tree a write from scratch builds.
#include "designer/formats/InterfaceXml.h"
#include "designer/formats/ProjectXml.h"
#include "model/FlashElement.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

QString DemoClip(const QString& name) {
  return QStringLiteral(VISTALOOM_BIN_DIR "/repository/") + name + QStringLiteral(".swf");
}

// The tree as text that ignores only what a DOM does not keep: the order of attributes.
QString Canonical(const QDomNode& node) {
  if (node.isText())
    return QStringLiteral("T(") + node.nodeValue() + u')';
  QString text = u'<' + node.nodeName();
  QStringList attributes;
  const QDomNamedNodeMap map = node.attributes();
  for (int i = 0; i < map.count(); ++i)
    attributes << map.item(i).nodeName() + u'=' + map.item(i).nodeValue();
  attributes.sort();
  text += u'[' + attributes.join(u'|') + u']';
  for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling())
    text += Canonical(child);
  return text + u'>';
}

class ProjectRewriteTest : public testing::Test {
protected:
  void SetUp() override {
    const QStringList clips{"button", "lamp", "label", "slider"};
    for (int i = 0; i < clips.size(); ++i) {
      Elements.push_back(std::make_unique<TFlashElement>(101 + i, DemoClip(clips.at(i))));
      Elements.back()->FName = QStringLiteral("Element %1").arg(i);
      Elements.back()->FPage = QStringLiteral("Main");
    }
  }

  QList<TFlashElement*> List() const {
    QList<TFlashElement*> list;
    for (const auto& element : Elements)
      list.append(element.get());
    return list;
  }

  QDomNode StoredNode(int index) const {
    return ProjectXml::FindEntitiesNode(Document).childNodes().at(index);
  }

  // Writes into Document through the record of the last write, and checks text and tree
  // against a write from scratch.
  void RewriteAndCompare() {
    const QStringList pages{QStringLiteral("all"), QStringLiteral("Main")};
    const QByteArray text = ProjectXml::WriteProjectDocument(
        Document, QStringLiteral("10.0.0.1"), QStringLiteral("/repo/"), pages, List(), &Written);
    QDomDocument fresh;
    const QByteArray freshText = ProjectXml::WriteProjectDocument(
        fresh, QStringLiteral("10.0.0.1"), QStringLiteral("/repo/"), pages, List());
    EXPECT_EQ(text, freshText);
    EXPECT_EQ(Canonical(Document), Canonical(fresh));
    EXPECT_EQ(Document.childNodes().count(), 1);
  }

  std::vector<std::unique_ptr<TFlashElement>> Elements;
  QDomDocument Document;
  TXmlWrittenTree Written;
};

TEST_F(ProjectRewriteTest, UnchangedElementsKeepTheirNodesAndChangedOnesAreRebuilt) {
  RewriteAndCompare();
  const QDomNode first = StoredNode(0);
  const QDomNode second = StoredNode(1);
  const QDomNode third = StoredNode(2);

  Elements[1]->FX += 7.25;
  Elements[2]->FOnExecute = QStringLiteral("Lights::On('<1>')\r\n");
  Elements[3]->FProps.SetValue(QStringLiteral("caption"), QStringLiteral("A & B"));
  Elements.push_back(std::make_unique<TFlashElement>(200, DemoClip(QStringLiteral("gauge"))));
  RewriteAndCompare();
  EXPECT_EQ(StoredNode(0), first);
  EXPECT_NE(StoredNode(1), second);
  EXPECT_NE(StoredNode(2), third);

  // Taking the OnExecute away again, and an unchanged write, keep the tree exact.
  Elements[2]->FOnExecute.clear();
  RewriteAndCompare();
  RewriteAndCompare();
  EXPECT_EQ(StoredNode(0), first);

  // Removing the first element renumbers every other one; fewer elements leave none behind.
  Elements.erase(Elements.begin());
  RewriteAndCompare();
  Elements.pop_back();
  RewriteAndCompare();
}

TEST_F(ProjectRewriteTest, AnotherTreeInTheDocumentIsNeverReused) {
  RewriteAndCompare();
  const QDomNode first = StoredNode(0);

  // A load (or an undo) parses a project into the document: the record no longer applies.
  Document.setContent(QByteArray("<interface><entities><element id=\"101\"/></entities>"
                                 "</interface>"));
  RewriteAndCompare();
  EXPECT_NE(StoredNode(0), first);

  // A document holding more than the project's root is written from scratch.
  const QDomNode beforeComment = StoredNode(0);
  Document.appendChild(Document.createComment(QStringLiteral("note")));
  RewriteAndCompare();
  EXPECT_NE(StoredNode(0), beforeComment);
}

TEST_F(ProjectRewriteTest, TheInterfaceDescriptionKeepsUnchangedNodesAcrossPages) {
  const QStringList pages{QStringLiteral("all"), QStringLiteral("Main"), QStringLiteral("Other")};
  TXmlWrittenTree record;
  const auto rewrite = [&] {
    const QByteArray text = InterfaceXml::WriteInterfaceDocument(Document, pages, List(), &record);
    QDomDocument fresh;
    EXPECT_EQ(text, InterfaceXml::WriteInterfaceDocument(fresh, pages, List()));
    EXPECT_EQ(Canonical(Document), Canonical(fresh));
  };
  const auto mainElement = [&](int index) {
    return InterfaceXml::FindChildByAttribute(Document.documentElement(), "page", "Main")
        .childNodes()
        .at(index);
  };
  rewrite();
  const QDomNode first = mainElement(0);
  const QDomNode second = mainElement(1);

  // The second element moves to another page: it leaves Main, the first stays as it was.
  Elements[1]->FPage = QStringLiteral("Other");
  Elements[0]->FSuffix.SetValue(QStringLiteral("value"), QStringLiteral("_v"));
  rewrite();
  EXPECT_NE(mainElement(0), first);
  EXPECT_NE(mainElement(1), second);
  const QDomNode changed = mainElement(0);
  rewrite();
  EXPECT_EQ(mainElement(0), changed);

  // An item-property key that is no XML name fails the write; the next one starts afresh.
  Elements[2]->FProps.SetValue(QStringLiteral("no name"), QStringLiteral("1"));
  EXPECT_THROW(InterfaceXml::WriteInterfaceDocument(Document, pages, List(), &record),
               std::runtime_error);
  EXPECT_TRUE(record.Root.isNull());
  Elements[2]->FProps.SetText(QStringLiteral("caption=ok"));
  rewrite();
}

} // namespace
