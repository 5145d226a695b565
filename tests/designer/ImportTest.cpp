#include "ProjectFixture.h"

#include <QAbstractItemModel>
#include <QAction>

namespace {

// Load from XML over the demo repository, reading clips.xml and full.xml from the current
// directory.
class ImportTest : public ProjectTest {
protected:
  void SetUp() override {
    ProjectTest::SetUp();
    CreateWithDemoRepository();
  }

  // Runs the import over the given files; an empty text leaves that file absent.
  void Import(const QByteArray& clips, const QByteArray& full) {
    if (!clips.isEmpty())
      WriteFile(WorkDir + "clips.xml", clips);
    if (!full.isEmpty())
      WriteFile(WorkDir + "full.xml", full);
    Window->LoadFromXML->trigger();
    PumpEvents();
  }

  QStringList Types() const {
    QStringList types;
    for (const TFlashElement* element : Window->FElements.FItems)
      types << element->FTypeName + "@" + element->FPage;
    return types;
  }
};

const QByteArray DemoClips = "<clips>\r\n<clip class='lamp' file='./objects/lamp.swf'></clip>\r\n"
                             "<clip class='knob' file='./objects/button.swf'></clip>\r\n</clips>";

TEST_F(ImportTest, ADescriptionThisProgramWroteComesBackOnNewLevels) {
  Window->LBPages->addItem("A");
  Window->LBPages->addItem("B");
  TFlashElement* lamp = AddClip("lamp");
  lamp->FPage = "A";
  lamp->FName = "Power";
  lamp->FSuffix.SetText("s=1");
  lamp->SetX(12.5);
  AddClip("button")->FPage = "B";
  Dialogs.BrowseAnswers.push_back({true, WorkDir});
  Window->CreatePreview->trigger();
  ASSERT_TRUE(QFile::rename(WorkDir + "interface.xml", WorkDir + "full.xml"));

  Window->NewExecute();
  Window->LoadRepository(DemoRepositoryDir());
  Import({}, {});
  ASSERT_TRUE(Dialogs.Exceptions.isEmpty()) << Dialogs.Exceptions.join("\n").toStdString();
  EXPECT_EQ(PageList(), QStringList({"all", "A", "B"}));
  EXPECT_EQ(Window->LBPages->currentRow(), 0);
  ASSERT_EQ(Types(), QStringList({"lamp@A", "button@B"}));
  const TFlashElement* imported = Window->FElements.FItems.first();
  EXPECT_EQ(imported->GetLevel(), 103);
  EXPECT_EQ(imported->FX, 13) << "the description holds whole numbers";
  EXPECT_TRUE(imported->FName.isEmpty());
  EXPECT_EQ(imported->FSuffix.Count(), 0);
  EXPECT_EQ(imported->FFlash, Window->ShockwaveFlash);
  EXPECT_EQ(Window->windowTitle(), "9") << "the button's seven geometry attributes and two items";

  Import({}, {});
  EXPECT_EQ(PageList(), QStringList({"all", "A", "B"})) << "a second run adds elements only";
  EXPECT_EQ(Window->FElements.Count(), 4);
}

TEST_F(ImportTest, ClassesMapThroughTheCatalogueAndAttributesHaveTheLastWord) {
  Import(DemoClips, "<interface><entities page='all'>"
                    "<gauge x='1' y='2'/><knob x='3' y='4' page='P'/>"
                    "<lamp x='5' y='6' note='a&amp;x=7' other='&amp;page=Q'/>"
                    "</entities><entities page='all'/></interface>");
  ASSERT_TRUE(Dialogs.Exceptions.isEmpty()) << Dialogs.Exceptions.join("\n").toStdString();
  EXPECT_EQ(PageList(), QStringList{"all"});
  ASSERT_EQ(Types(), QStringList({"button@P", "lamp@Q"}));
  EXPECT_EQ(Window->FElements.FItems.first()->GetLevel(), 102) << "the unlisted gauge used 101";
  EXPECT_EQ(Window->FElements.FItems.last()->FX, 7);
}

// A project load makes clips take what the project stores for their levels; imported elements
// have nothing stored there and keep the pages and positions of the description.
TEST_F(ImportTest, AfterAProjectLoadImportedElementsKeepTheirOwnPages) {
  LoadProjectText(ProjectText("<page name=\"Main\"/>",
                              "<element filename=\"button\" id=\"101\" page=\"Main\"/>"
                              "<element filename=\"lamp\" id=\"102\" x=\"1\" y=\"1\"/>"));
  Import(DemoClips, "<interface><entities page='all'/><entities page='P'>"
                    "<lamp x='5' y='6'/><knob x='7' y='8'/></entities></interface>");
  ASSERT_TRUE(Dialogs.Exceptions.isEmpty()) << Dialogs.Exceptions.join("\n").toStdString();
  EXPECT_EQ(Types(), QStringList({"button@Main", "lamp@all", "lamp@P", "button@P"}));
  EXPECT_EQ(Window->FElements.FItems.at(2)->FX, 5);
}

// Once the user has added a clip, every clip that reports on the selected page refreshes the
// page; an import of hundreds rebuilds the Objects list once for all of them, not once each.
TEST_F(ImportTest, AnImportAfterAnAddRebuildsTheObjectsListOnce) {
  AddClip("lamp");
  QByteArray full = "<interface><entities page='all'>";
  for (int i = 0; i < 300; ++i)
    full += "<lamp x='" + QByteArray::number(i) + "' y='1'/>";
  full += "</entities></interface>";
  int rebuilds = 0;
  const QMetaObject::Connection counting = QObject::connect(
      Window->ListBoxItem->model(), &QAbstractItemModel::modelReset, [&rebuilds] { ++rebuilds; });
  Import(DemoClips, full);
  QObject::disconnect(counting);
  ASSERT_TRUE(Dialogs.Exceptions.isEmpty()) << Dialogs.Exceptions.join("\n").toStdString();
  EXPECT_EQ(Window->ListBoxItem->count(), 301);
  EXPECT_EQ(rebuilds, 2) << "the page list's reset, then one refresh";
}

// A catalogue of 100,000 clips is read whole, the class listed last still mapping to its clip
// (read in linear time: bench_import measures it; a quadratic read outlasts the test's limit).
TEST_F(ImportTest, ALargeCatalogueMapsItsLastClass) {
  QByteArray clips = "<clips>\r\n";
  for (int i = 0; i < 100000; ++i)
    clips += "<clip class='extra" + QByteArray::number(i) + "' file='./objects/extra" +
             QByteArray::number(i) + ".swf'></clip>\r\n";
  clips += "<clip class='knob' file='./objects/lamp.swf'></clip>\r\n</clips>\r\n";
  Import(clips, "<interface><entities page='all'><knob x='1' y='2'/></entities></interface>");
  ASSERT_TRUE(Dialogs.Exceptions.isEmpty()) << Dialogs.Exceptions.join("\n").toStdString();
  EXPECT_EQ(Types(), QStringList{"lamp@all"});
}

TEST_F(ImportTest, BrokenOrHostileFilesEndTheCommandWithoutHarm) {
  const auto expectError = [this](const QByteArray& clips, const QByteArray& full,
                                  const QString& error) {
    Dialogs.Exceptions.clear();
    Import(clips, full);
    EXPECT_EQ(Dialogs.Exceptions.join("|").left(std::max<qsizetype>(error.size(), 1)), error);
  };
  expectError({}, {}, "Cannot open file \"./clips.xml\". ");
  expectError("<clips><clip class='a'/>", {}, "./clips.xml is not well-formed XML");
  expectError("<clip/>", {}, "./clips.xml has no \"clips\" element");
  expectError("<clips><clip class='a'/></clips>", {}, "Could not convert variant of type (Null)");
  expectError(DemoClips, "<interface><entities/></interface>", "Could not convert variant");
  expectError(DemoClips,
              "<!DOCTYPE a [<!ENTITY a 'aaaaaaaaaaaaaaaa'><!ENTITY b '&a;&a;&a;&a;&a;"
              "&a;&a;&a;'><!ENTITY c '&b;&b;&b;&b;&b;&b;&b;&b;'><!ENTITY d '&c;&c;&c;"
              "&c;&c;&c;&c;&c;'>]><interface><entities page='&d;'/></interface>",
              "./full.xml is not well-formed XML");
  EXPECT_EQ(Window->FElements.Count(), 0);

  // An element before a fault stays; one whose position is no number is taken out again.
  expectError(DemoClips,
              "<interface><entities page='A'><lamp x='1' y='1'/><lamp x='1'/>"
              "</entities></interface>",
              "Could not convert variant");
  expectError(DemoClips,
              "<interface><entities page='A'><lamp x='one' y='1'/>"
              "</entities></interface>",
              "'one' is not a valid floating point value");
  EXPECT_EQ(Types(), QStringList{"lamp@A"});

  // A catalogue file outside the folder only names a clip of the repository by its base name.
  WriteFile(Temp.path() + "/evil.swf", ReadFile(DemoRepositoryDir() + "lamp.swf"));
  expectError("<clips><clip class='lamp' file='../evil.swf'/></clips>",
              "<interface><entities page='all'><lamp x='1' y='1'><a><b><c/></b></a></lamp>"
              "</entities></interface>",
              {});
  EXPECT_EQ(Window->FElements.Count(), 1);
}

} // namespace
