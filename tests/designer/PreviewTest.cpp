#include "ProjectFixture.h"
#include "common/FaultProbe.h"
#include "designer/formats/ClipsXml.h"

#include <QAction>

namespace {

// CreatePreview into a scripted folder over the demo repository.
class PreviewTest : public ProjectTest {
protected:
  void SetUp() override {
    ProjectTest::SetUp();
    CreateWithDemoRepository();
    Folder = WorkDir + "preview";
  }

  void CreatePreviewInto(const QString& folder) {
    Dialogs.BrowseAnswers.push_back({true, folder});
    Window->CreatePreview->trigger();
  }

  QString Folder;
};

TEST_F(PreviewTest, BrowserRootCancelAnEmptyDesignAndAFirstClip) {
  Window->CreatePreview->trigger();
  Window->FProjectFileName = WorkDir + "design/p.vlq";
  Window->CreatePreview->trigger();
  EXPECT_EQ(Dialogs.Asked,
            QStringList({"BrowseFolder: Select preview directory | ",
                         "BrowseFolder: Select preview directory | " + WorkDir + "design/"}));

  // An unnamed project may take any folder.
  Window->FProjectFileName.clear();
  CreatePreviewInto(Folder);
  EXPECT_EQ(ReadFile(Folder + "/main.swf"), ReadFile(ExeDir + "Background/main.swf"));
  EXPECT_EQ(ReadFile(Folder + "/interface.xml"), "<interface><entities page=\"all\"/></interface>");
  EXPECT_EQ(ReadFile(Folder + "/clips.xml"), "<clips>\r\n</clips>\r\n");
  EXPECT_FALSE(QFileInfo::exists(Folder + "/objects")) << "no clip, no objects folder";

  AddClip("label");
  CreatePreviewInto(Folder);
  EXPECT_EQ(ReadFile(Folder + "/objects/label.swf"), ReadFile(DemoRepositoryDir() + "label.swf"));
}

TEST_F(PreviewTest, EveryDistinctClipIsCopiedAndListedOnceInOrderOfFirstUse) {
  for (const char* clip : {"lamp", "button", "lamp", "lamp"})
    AddClip(clip);
  AddClip("gauge")->FPage = "gone"; // left out of the description, still a clip of the design
  // A stale clip of an earlier run stays; the files written are replaced.
  ASSERT_TRUE(QDir().mkpath(Folder + "/objects"));
  WriteFile(Folder + "/objects/old.swf", "old");
  WriteFile(Folder + "/clips.xml", "old");
  CreatePreviewInto(Folder);

  ASSERT_TRUE(Dialogs.Exceptions.isEmpty()) << Dialogs.Exceptions.join("\n").toStdString();
  EXPECT_EQ(ReadFile(Folder + "/clips.xml"),
            "<clips>\r\n"
            "<clip class='lamp' file='./objects/lamp.swf'></clip>\r\n"
            "<clip class='button' file='./objects/button.swf'></clip>\r\n"
            "<clip class='gauge' file='./objects/gauge.swf'></clip>\r\n"
            "</clips>\r\n");
  EXPECT_EQ(QDir(Folder + "/objects").entryList(QDir::Files),
            QStringList({"button.swf", "gauge.swf", "lamp.swf", "old.swf"}));
  EXPECT_EQ(ReadFile(Folder + "/objects/lamp.swf"), ReadFile(DemoRepositoryDir() + "lamp.swf"));
  EXPECT_FALSE(ReadFile(Folder + "/interface.xml").contains("gauge"));
}

TEST_F(PreviewTest, FailuresStopAtTheirStepAndNothingIsEmptied) {
  // A preview into the folder whose objects are the repository keeps every clip whole.
  const QString repository = Folder + "/objects/";
  ASSERT_TRUE(QDir().mkpath(repository));
  WriteFile(repository + "button.swf", ReadFile(DemoRepositoryDir() + "button.swf"));
  Window->LoadRepository(repository);
  AddClip("button");
  CreatePreviewInto(Folder);
  ASSERT_TRUE(Dialogs.Exceptions.isEmpty()) << Dialogs.Exceptions.join("\n").toStdString();
  EXPECT_EQ(ReadFile(repository + "button.swf"), ReadFile(DemoRepositoryDir() + "button.swf"));

  // A missing clip ends the command before clips.xml: the earlier catalogue stays.
  const QByteArray catalogue = ReadFile(Folder + "/clips.xml");
  Window->FElements.FItems.last()->FMovieFile = WorkDir + "missing.swf";
  CreatePreviewInto(Folder);
  EXPECT_EQ(Dialogs.Exceptions, QStringList{"Cannot open file " + WorkDir + "missing.swf"});
  EXPECT_EQ(ReadFile(Folder + "/clips.xml"), catalogue);

  ASSERT_TRUE(QFile::remove(ExeDir + "Background/main.swf"));
  CreatePreviewInto(WorkDir + "second");
  EXPECT_EQ(Dialogs.Exceptions.last(), "Cannot open file " + ExeDir + "Background/main.swf");
  EXPECT_FALSE(QFileInfo::exists(WorkDir + "second"));
}

// The disk fills up while the description is written: the preview's earlier interface.xml stays
// byte for byte and the message says which file and why.
TEST_F(PreviewTest, ADescriptionCutShortLeavesTheEarlierOneAndSaysWhy) {
  for (int i = 0; i < 30; ++i)
    AddClip(i % 2 ? "lamp" : "button");
  ASSERT_TRUE(QDir().mkpath(Folder));
  const QByteArray earlier(4579, 'e');
  WriteFile(Folder + "/interface.xml", earlier);
  const QString shown = RunInFaultProbe(
      [&] {
        CreatePreviewInto(Folder);
        return Dialogs.Exceptions.join('\n');
      },
      1000);
  EXPECT_EQ(shown,
            "Stream write error: cannot write \"" + Folder + "/interface.xml\". File too large");
  EXPECT_EQ(ReadFile(Folder + "/interface.xml"), earlier);
}

TEST(ClipsXml, NamesThatWouldBreakTheCatalogueAreWrittenAsReferences) {
  EXPECT_EQ(ClipsXml::ClipLine("/r/a b.c.swf"),
            "<clip class='a b.c' file='./objects/a b.c.swf'></clip>");
  EXPECT_EQ(ClipsXml::ClipLine("/r/it's&<\n.swf"),
            "<clip class='it&apos;s&amp;&lt;&#10;' "
            "file='./objects/it&apos;s&amp;&lt;&#10;.swf'></clip>");
}

} // namespace

// With a named project, the preview goes only into its folder or a folder below it: one
// outside is refused with a message naming it, and nothing is written there.
TEST_F(PreviewTest, AFolderOutsideTheProjectFolderIsRefused) {
  const QString project = WorkDir + "design/";
  ASSERT_TRUE(QDir().mkpath(project + "preview"));
  Window->FProjectFileName = project + "p.vlq";
  AddClip("label");
  const QStringList outside{WorkDir + "elsewhere", project + "../elsewhere", WorkDir + "designs"};
  for (const QString& folder : outside) {
    ASSERT_TRUE(QDir().mkpath(folder));
    CreatePreviewInto(folder);
    EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList())
        << folder.toStdString();
  }
  ASSERT_EQ(Dialogs.Messages.size(), 3);
  EXPECT_TRUE(Dialogs.Messages[0].contains(WorkDir + "elsewhere"))
      << Dialogs.Messages[0].toStdString();
  EXPECT_TRUE(Dialogs.Messages[0].contains(project)) << Dialogs.Messages[0].toStdString();
  EXPECT_TRUE(Dialogs.Exceptions.isEmpty());

  for (const QString& folder : {project + "preview", project}) {
    CreatePreviewInto(folder);
    EXPECT_TRUE(QFileInfo::exists(folder + "/objects/label.swf")) << folder.toStdString();
  }
  EXPECT_EQ(Dialogs.Messages.size(), 3);
}
