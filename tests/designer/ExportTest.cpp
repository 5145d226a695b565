#include "ProjectFixture.h"
#include "common/FaultProbe.h"
#include "designer/formats/InterfaceXml.h"

#include <QAction>
#include <QFileInfo>
#include <memory>
#include <vector>

namespace {

// The interface description as the writer builds it from pages and elements.
class InterfaceXmlTest : public testing::Test {
protected:
  // An element over the demo button clip with the given type and page, measured 100 by 50,
  // without item properties or flash suffixes.
  TFlashElement& AddElement(const QString& type, const QString& page) {
    Store.push_back(std::make_unique<TFlashElement>(
        101 + int(Store.size()), QString(VISTALOOM_BIN_DIR) + "/repository/button.swf"));
    TFlashElement& element = *Store.back();
    element.FTypeName = type;
    element.FPage = page;
    element.FX = element.FY = 0;
    element.FWidth = element.FOrigWidth = 100;
    element.FHeight = element.FOrigHeight = 50;
    element.FProps.Clear();
    element.FSuffix.Clear();
    Elements.append(&element);
    return element;
  }

  QString Write(const QStringList& pages) {
    return QString::fromUtf8(InterfaceXml::WriteInterfaceDocument(Document, pages, Elements));
  }

  std::vector<std::unique_ptr<TFlashElement>> Store;
  QList<TFlashElement*> Elements;
  QDomDocument Document;
};

const QString Plain = QStringLiteral("x=\"0\" y=\"0\" width=\"100\" height=\"50\" xscale=\"100\" "
                                     "yscale=\"100\"");

TEST_F(InterfaceXmlTest, PagesComeInListOrderWithTheirElementsBottomFirst) {
  EXPECT_EQ(Write({"all"}), "<interface><entities page=\"all\"/></interface>");

  AddElement("lamp", "B");
  AddElement("button", "A");
  AddElement("button", "A").FName = "top";
  AddElement("gauge", "removed page"); // left out, not written anywhere
  AddElement("slider", "a");           // page names are case-sensitive
  EXPECT_EQ(Write({"all", "A", "B"}), "<interface><entities page=\"all\"/><entities page=\"A\">"
                                      "<button level=\"102\" " +
                                          Plain +
                                          "/>"
                                          "<button level=\"103\" " +
                                          Plain +
                                          " id=\"top\"/></entities>"
                                          "<entities page=\"B\"><lamp level=\"101\" " +
                                          Plain + "/></entities></interface>");
  // The tree kept in the document matches the text.
  const QDomElement root = Document.documentElement();
  EXPECT_EQ(root.childNodes().count(), 3);
  EXPECT_EQ(root.lastChildElement().firstChildElement("lamp").attribute("width"), "100");
}

TEST_F(InterfaceXmlTest, APageListedTwiceHoldsItsElementsUnderTheLastEntry) {
  AddElement("lamp", "A");
  EXPECT_EQ(Write({"all", "A", "B", "A"}),
            "<interface><entities page=\"all\"/><entities page=\"A\"/><entities page=\"B\"/>"
            "<entities page=\"A\"><lamp level=\"101\" " +
                Plain + "/></entities></interface>");
}

TEST_F(InterfaceXmlTest, ItemPropertiesFollowInTableOrderAndOverrideEarlierAttributes) {
  TFlashElement& element = AddElement("button", "all");
  element.FName = "power";
  element.FProps.SetText("caption=On&x=7&=dropped&level=x1&id=main&caption=Go");
  EXPECT_EQ(Write({"all"}),
            "<interface><entities page=\"all\"><button level=\"x1\" x=\"7\" y=\"0\" "
            "width=\"100\" height=\"50\" xscale=\"100\" yscale=\"100\" id=\"main\" "
            "caption=\"Go\"/></entities></interface>");

  // The item table of a clip without item properties: only the empty pair, no attribute.
  element.FName.clear();
  element.FProps.SetText("");
  ASSERT_EQ(element.FProps.Count(), 1);
  EXPECT_EQ(Write({"all"}), "<interface><entities page=\"all\"><button level=\"101\" " + Plain +
                                "/></entities></interface>");
}

TEST_F(InterfaceXmlTest, GeometryAndScalesAreWholeNumbersWithHalvesAwayFromZero) {
  TFlashElement& element = AddElement("button", "all");
  element.FX = 12.5;
  element.FY = -0.6;
  element.FWidth = 200;
  element.FHeight = -12.5;
  AddElement("lamp", "all").FOrigWidth = 0; // measured 0 wide: no scale to divide by
  Elements.last()->FOrigHeight = 0;
  Elements.last()->FX = 0.5;
  Elements.last()->FY = 10.49;
  EXPECT_EQ(Write({"all"}), "<interface><entities page=\"all\">"
                            "<button level=\"101\" x=\"13\" y=\"-1\" width=\"200\" "
                            "height=\"-13\" xscale=\"200\" yscale=\"-25\"/>"
                            "<lamp level=\"102\" x=\"1\" y=\"10\" width=\"100\" height=\"50\" "
                            "xscale=\"0\" yscale=\"0\"/></entities></interface>");
}

TEST_F(InterfaceXmlTest, FlashSuffixesBecomeSufNodesEmptyKeyIncluded) {
  AddElement("button", "all").FSuffix.SetText("caption=_on&color=_c");
  AddElement("lamp", "all").FSuffix.SetText("");
  EXPECT_EQ(Write({"all"}), "<interface><entities page=\"all\"><button level=\"101\" " + Plain +
                                "><flash_suffix><suf name=\"caption\" value=\"_on\"/>"
                                "<suf name=\"color\" value=\"_c\"/></flash_suffix></button>"
                                "<lamp level=\"102\" " +
                                Plain +
                                "><flash_suffix><suf name=\"\" value=\"\"/></flash_suffix></lamp>"
                                "</entities></interface>");
}

TEST_F(InterfaceXmlTest, NamesThatAreNoXmlNamesStopTheBuildBeforeTheirNode) {
  AddElement("button", "all").FName = "a \"quoted\" <name>";
  EXPECT_TRUE(Write({"all"}).contains("id=\"a &quot;quoted&quot; &lt;name&gt;\""));

  AddElement("3knob", "all");
  EXPECT_THROW(Write({"all"}), std::runtime_error);
  // What was built before the faulty element stays; no half node of it.
  const QDomElement page = Document.documentElement().firstChildElement("entities");
  EXPECT_EQ(page.childNodes().count(), 1);

  Elements.last()->FTypeName = "knob";
  Elements.last()->FProps.SetText("my key=1");
  EXPECT_THROW(Write({"all"}), std::runtime_error);

  for (const char* name : {"button", "_x", "a-b.c", "ns:tag", "\u00e9cran"})
    EXPECT_TRUE(InterfaceXml::IsXmlName(name)) << name;
  for (const char* name : {"", "3d", "a b", "-x", "a<b", "a&b"})
    EXPECT_FALSE(InterfaceXml::IsXmlName(name)) << name;
  EXPECT_FALSE(InterfaceXml::IsXmlName(QString(QChar(0xD800)) + "a"));
}

TEST(FindChildByAttributeTest, TheLastExactMatchAmongDirectChildrenWins) {
  QDomDocument document;
  ASSERT_TRUE(document.setContent(
      QByteArray("<r><e page=\"A\" n=\"1\"/>text<e page=\"a\" n=\"2\"/><e page=\"A\" n=\"3\"/>"
                 "<e n=\"4\"><e page=\"B\"/></e></r>")));
  const QDomElement root = document.documentElement();
  EXPECT_EQ(InterfaceXml::FindChildByAttribute(root, "page", "A").toElement().attribute("n"), "3");
  EXPECT_TRUE(InterfaceXml::FindChildByAttribute(root, "page", "B").isNull());
  EXPECT_TRUE(InterfaceXml::FindChildByAttribute(root, "page", "").isNull());
}

// Create XML and Save XML in the window.
class ExportCommandTest : public ProjectTest {};

TEST_F(ExportCommandTest, SaveXmlAsksForTheFileAndWritesTheDescriptionOfTheDesign) {
  CreateWithDemoRepository();
  Window->LBPages->addItem("Main");
  Window->LBPages->setCurrentRow(1);
  AddClip("button")->SetX(10.5);

  // Cancel: the shared document keeps its tree and nothing is written.
  Window->XMLDocument.setContent(QByteArray("<kept/>"));
  Window->SaveXML->trigger();
  EXPECT_EQ(Dialogs.Asked, QStringList{"SaveFile: xml|*.xml | xml"});
  EXPECT_EQ(Window->XMLDocument.documentElement().tagName(), "kept");

  const QString path = WorkDir + "out.xml";
  WriteFile(path, QByteArray(4096, 'x')); // an existing file is replaced, not appended to
  Dialogs.SaveAnswers.push_back({true, path});
  Window->SaveXML->trigger();
  ASSERT_TRUE(Dialogs.Exceptions.isEmpty()) << Dialogs.Exceptions.join("\n").toStdString();
  const QByteArray saved = ReadFile(path);
  EXPECT_EQ(saved, Window->FInterfaceXmlText);
  EXPECT_TRUE(saved.startsWith("<interface><entities page=\"all\"/><entities page=\"Main\">"
                               "<button level=\"101\" x=\"11\""));
  // The tree in the shared document is the one saved.
  QDomNode page;
  Window->FindChildByAttribute(Window->XMLDocument.documentElement(), "page", "Main", page);
  EXPECT_EQ(page.firstChildElement("button").attribute("x"), "11");

  // A folder that does not exist: the error box names the file.
  Dialogs.SaveAnswers.push_back({true, WorkDir + "missing/out.xml"});
  Window->SaveXML->trigger();
  ASSERT_EQ(Dialogs.Exceptions.size(), 1);
  EXPECT_TRUE(Dialogs.Exceptions.first().contains("missing/out.xml"));

  // An element type that is no XML name ends the command before the file.
  Window->FElements.FItems.last()->FTypeName = "2button";
  Dialogs.SaveAnswers.push_back({true, WorkDir + "bad.xml"});
  Window->SaveXML->trigger();
  ASSERT_EQ(Dialogs.Exceptions.size(), 2);
  EXPECT_TRUE(Dialogs.Exceptions.last().contains("2button"));
  EXPECT_FALSE(QFileInfo::exists(WorkDir + "bad.xml"));
}

// Save XML over an existing file when the disk fills up after 0, 1,000 or 3,000 bytes: the file
// keeps its earlier bytes and the message names it and the reason.
TEST_F(ExportCommandTest, ASaveXmlCutShortLeavesTheEarlierFileAndSaysWhy) {
  CreateWithDemoRepository();
  for (int i = 0; i < 30; ++i)
    AddClip(i % 2 ? "lamp" : "button");
  const QString path = WorkDir + "out.xml";
  QByteArray earlier(4579, '\0');
  for (int i = 0; i < earlier.size(); ++i)
    earlier[i] = char('a' + i % 26);
  for (const rlim_t limit : {0, 1000, 3000}) {
    WriteFile(path, earlier);
    const QString shown = RunInFaultProbe(
        [&] {
          Dialogs.SaveAnswers.push_back({true, path});
          Window->SaveXML->trigger();
          return Dialogs.Exceptions.join('\n');
        },
        limit);
    EXPECT_EQ(shown, "Stream write error: cannot write \"" + path + "\". File too large") << limit;
    EXPECT_EQ(ReadFile(path), earlier) << limit;
  }
}

} // namespace
