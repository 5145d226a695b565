#include "designer/formats/ProjectXml.h"

#include "model/FlashElement.h"
#include "platform/Numbers.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace {

QString DemoClip(const QString& name) {
  return QStringLiteral(VISTALOOM_BIN_DIR "/repository/") + name + QStringLiteral(".swf");
}

// Restores the process-wide decimal separator after a test that changes it.
class ProjectXmlTest : public testing::Test {
protected:
  void TearDown() override { SetDecimalSeparator(savedSeparator); }

  std::unique_ptr<TFlashElement> Element(const QString& clip, int level) {
    return std::make_unique<TFlashElement>(level, DemoClip(clip));
  }

  static QDomDocument Parse(const QByteArray& text) {
    QDomDocument document;
    ProjectXml::ParseDocument(document, text);
    return document;
  }

  static QString ErrorOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const std::runtime_error& error) {
      return QString::fromUtf8(error.what());
    }
    return {};
  }

  const QChar savedSeparator = DecimalSeparator();
};

TEST_F(ProjectXmlTest, EmptyProjectWritesEmptyListAndEntities) {
  QDomDocument document;
  const QByteArray text = ProjectXml::WriteProjectDocument(
      document, QString(), QStringLiteral("/repo/"), {QStringLiteral("all")}, {});
  EXPECT_EQ(text, QByteArray("<interface><repositories serverip=\"\" repositorydir=\"/repo/\"/>"
                             "<list/><entities/></interface>"));
}

TEST_F(ProjectXmlTest, ElementsAreRenumberedWithAttributesInOrderUnderBothSeparators) {
  auto button = Element(QStringLiteral("button"), 250);
  auto lamp = Element(QStringLiteral("lamp"), 250);
  button->FX = 12.5;
  button->FY = -3;
  button->FWidth = 120;
  button->FHeight = 40.25;
  button->FPage = QStringLiteral("Main");
  button->FName = QStringLiteral("Power");
  button->FOnExecute = QStringLiteral("Lights::On('1')\r\n");
  button->FSuffix.SetText(QStringLiteral("caption=_on"));
  lamp->FProps.SetText(QString());
  lamp->FPage = QStringLiteral("all");
  const QList<TFlashElement*> elements{button.get(), lamp.get()};
  const QStringList pages{QStringLiteral("all"), QStringLiteral("Main")};

  SetDecimalSeparator(QLatin1Char(','));
  QDomDocument document;
  const QByteArray comma = ProjectXml::WriteProjectDocument(document, QStringLiteral("10.0.0.1"),
                                                            QStringLiteral("r/"), pages, elements);
  EXPECT_TRUE(comma.contains("<list><page name=\"Main\"/></list>"));
  EXPECT_TRUE(comma.contains("<element filename=\"button\" x=\"12,5\" y=\"-3\" width=\"120\" "
                             "height=\"40,25\" id=\"101\" page=\"Main\" name=\"Power\">"
                             "<flash_info name=\"caption=Power&amp;color=green\"/>"
                             "<OnExecute>Lights::On('1')"))
      << comma.constData();
  EXPECT_TRUE(comma.contains("<flash_suffix name=\"caption=_on\"/></element>"));
  // A table holding only the empty pair is still written, with an empty text.
  EXPECT_TRUE(comma.contains("id=\"102\" page=\"all\" name=\"\"><flash_info name=\"\"/>"
                             "</element>"))
      << comma.constData();

  SetDecimalSeparator(QLatin1Char('.'));
  const QByteArray point = ProjectXml::WriteProjectDocument(document, QStringLiteral("10.0.0.1"),
                                                            QStringLiteral("r/"), pages, elements);
  EXPECT_TRUE(point.contains("x=\"12.5\" y=\"-3\" width=\"120\" height=\"40.25\""));

  // The tree kept and the text read back hold the same values, the binding's CR LF included.
  for (const QDomDocument& tree : {document, Parse(point)}) {
    const auto attributes = ProjectXml::ReadStoredAttributes(
        ProjectXml::FindStoredElementNode(ProjectXml::FindEntitiesNode(tree), 101));
    EXPECT_EQ(attributes.OnExecute, QStringLiteral("Lights::On('1')\r\n"));
    EXPECT_EQ(attributes.FlashSuffix, QStringLiteral("caption=_on"));
    EXPECT_EQ(attributes.X, 12.5);
    EXPECT_EQ(attributes.Height, 40.25);
  }
}

TEST_F(ProjectXmlTest, AnyTextReadsBackAsWrittenExceptCharactersXmlCannotCarry) {
  auto lamp = Element(QStringLiteral("lamp"), 101);
  lamp->FName = QStringLiteral("a&b<c>\"d\" 'e'\tf\ng\rh\x01i\U0001F600");
  lamp->FOnExecute = QStringLiteral("x<y & \"z\"\r\n\x02");
  QDomDocument document;
  const QByteArray text = ProjectXml::WriteProjectDocument(document, QString(), QString(),
                                                           {QStringLiteral("all")}, {lamp.get()});
  const QString expectedName = QStringLiteral("a&b<c>\"d\" 'e'\tf\ng\rhi\U0001F600");
  for (const QDomDocument& tree : {document, Parse(text)}) {
    const auto attributes = ProjectXml::ReadStoredAttributes(
        ProjectXml::FindStoredElementNode(ProjectXml::FindEntitiesNode(tree), 101));
    EXPECT_EQ(attributes.Name, expectedName);
    EXPECT_EQ(attributes.OnExecute, QStringLiteral("x<y & \"z\"\r\n"));
  }
}

TEST_F(ProjectXmlTest, MissingOrMalformedRequiredValuesRaiseTheConversionError) {
  const QDomDocument document = Parse("<interface><entities><element filename=\"a\"/>"
                                      "<element id=\"1.5\"/><element id=\" 7 \"/></entities>"
                                      "</interface>");
  const QDomElement first = ProjectXml::FindEntitiesNode(document).firstChildElement();
  const QDomElement second = first.nextSiblingElement();
  EXPECT_EQ(ErrorOf([&] { ProjectXml::RequiredInteger(first, QStringLiteral("id")); }),
            QStringLiteral("Could not convert variant of type (Null) into type (Integer)"));
  EXPECT_EQ(ErrorOf([&] { ProjectXml::RequiredText(second, QStringLiteral("filename")); }),
            QStringLiteral("Could not convert variant of type (Null) into type (String)"));
  EXPECT_EQ(ErrorOf([&] { ProjectXml::RequiredInteger(second, QStringLiteral("id")); }),
            QStringLiteral("Could not convert variant of type (String) into type (Integer)"));
  EXPECT_EQ(ProjectXml::RequiredInteger(second.nextSibling(), QStringLiteral("id")), 7);
  EXPECT_EQ(ErrorOf([&] { ProjectXml::RequiredChild(document, QStringLiteral("list")); }),
            QStringLiteral("The project has no \"list\" element: it cannot be loaded"));
  EXPECT_TRUE(ErrorOf([] {
                Parse("<interface><list></interface>");
              }).startsWith(QStringLiteral("The project is not well-formed XML")));
}

TEST_F(ProjectXmlTest, StoredNodeLookupTakesTheLastNumericMatchWhateverTheTag) {
  const QDomDocument document =
      Parse("<interface><entities><element id=\"5\" name=\"first\"/><page id=\"Main\"/>"
            "<element name=\"no id\"/><other id=\"5\" name=\"second\"/></entities></interface>");
  const QDomElement entities = ProjectXml::FindEntitiesNode(document);
  EXPECT_EQ(ProjectXml::FindStoredElementNode(entities, 5).attribute(QStringLiteral("name")),
            QStringLiteral("second"));
  EXPECT_TRUE(ProjectXml::FindStoredElementNode(entities, 6).isNull());
  EXPECT_TRUE(ProjectXml::FindEntitiesNode(Parse("<other><entities/></other>")).isNull());
}

TEST_F(ProjectXmlTest, StoredAttributesReadWhatIsPresentUnderEitherSeparator) {
  SetDecimalSeparator(QLatin1Char(','));
  const QDomDocument document =
      Parse("<interface><entities><element id=\"101\" x=\"1,5\" y=\"2.25\" page=\"P\">"
            "<flash_info name=\"a=1\"/><flash_suffix/></element></entities></interface>");
  const auto stored = ProjectXml::ReadStoredAttributes(
      ProjectXml::FindStoredElementNode(ProjectXml::FindEntitiesNode(document), 101));
  EXPECT_EQ(stored.X, 1.5);
  EXPECT_EQ(stored.Y, 2.25);
  EXPECT_FALSE(stored.Width.has_value());
  EXPECT_FALSE(stored.Name.has_value());
  EXPECT_EQ(stored.Page, QStringLiteral("P"));
  EXPECT_EQ(stored.FlashInfo, QStringLiteral("a=1"));
  EXPECT_FALSE(stored.FlashSuffix.has_value());
  EXPECT_FALSE(stored.OnExecute.has_value());
  EXPECT_FALSE(ProjectXml::ReadNumber(QStringLiteral("1,5.2")).has_value());
}

} // namespace
