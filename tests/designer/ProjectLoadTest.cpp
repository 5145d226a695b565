#include "ProjectFixture.h"

#include <QPlainTextEdit>
#include <QRegularExpression>

namespace {

// Loading a project: levels from the stored ids, the repository folder, Cancel, pages.
class ProjectLoadTest : public ProjectTest {
protected:
  void SetUp() override {
    ProjectTest::SetUp();
    CreateWithDemoRepository();
  }
};

TEST_F(ProjectLoadTest, StoredIdsBecomeLevelsAndRaiseTheHighestLevelOnlyUpwards) {
  LoadProjectText(ProjectText("",
                              "<element filename=\"button\" id=\"5\" x=\"1\" y=\"2\"/>"
                              "<element filename=\"nosuchclip\" id=\"300\" x=\"1\" y=\"2\"/>"
                              "<element filename=\"LAMP\" id=\"7\" x=\"3\" y=\"4\" name=\"L\"/>"));
  EXPECT_EQ(Levels(), (QList<int>{5, 300, 7})) << "the element without its clip is kept";
  EXPECT_EQ(Window->FLastLevel, 300);
  EXPECT_EQ(Window->FElements.FItems.last()->FName, QStringLiteral("L"));
  EXPECT_EQ(Window->FServerIP, QStringLiteral("10.0.0.7"));
  EXPECT_TRUE(Window->FApplyStoredAttributes);
  EXPECT_TRUE(
      Window->Memo1->toPlainText().endsWith(QStringLiteral("\nload=_level5\nload=_level7")));
}

TEST_F(ProjectLoadTest, RepeatedIdsLoadTwiceAndTheLaterNodeAndElementWin) {
  LoadProjectText(
      ProjectText("", "<element filename=\"button\" id=\"9\" x=\"1\" y=\"2\" name=\"first\"/>"
                      "<element filename=\"lamp\" id=\"9\" x=\"3\" y=\"4\" name=\"second\"/>"));
  ASSERT_EQ(Levels(), (QList<int>{9, 9}));
  // Each clip arrived while its element was the last on level 9, and found the later node.
  TFlashElement* first = Window->FElements.FItems.at(0);
  TFlashElement* second = Window->FElements.FItems.at(1);
  EXPECT_EQ(first->FName, QStringLiteral("second"));
  EXPECT_EQ(second->FX, 3);

  // With both in the list, the later element receives the event.
  first->FName = QStringLiteral("kept");
  second->FName = QStringLiteral("changed");
  Window->ShockwaveFlashFSCommand(QStringLiteral("load"), QStringLiteral("_level9"));
  EXPECT_EQ(first->FName, QStringLiteral("kept"));
  EXPECT_EQ(second->FName, QStringLiteral("second"));
}

TEST_F(ProjectLoadTest, MissingRepositoryAsksForOneAndLoadsNothingWithout) {
  const QByteArray missing = "<interface><repositories serverip=\"\" repositorydir=\"" +
                             WorkDir.toUtf8() +
                             "gone/\"/><list><page name=\"P\"/></list>"
                             "<entities><element filename=\"button\" id=\"101\"/></entities>"
                             "</interface>";
  LoadProjectText(missing);
  EXPECT_EQ(Dialogs.Asked.last(), "BrowseFolder: Chose repository Dir | " + ExeDir);
  EXPECT_EQ(Dialogs.Messages, QStringList{"Choose repository!"});
  EXPECT_EQ(Window->FElements.Count(), 0);
  EXPECT_EQ(PageList(), QStringList{"all"});
  EXPECT_EQ(Window->FRepositoryDir, WorkDir + "gone/");

  QString chosen = DemoRepositoryDir();
  chosen.chop(1);
  Dialogs.BrowseAnswers.push_back({true, chosen});
  LoadProjectText(missing);
  EXPECT_EQ(Window->FRepositoryDir, DemoRepositoryDir());
  EXPECT_EQ(Levels(), QList<int>{101});
  EXPECT_EQ(PageList(), (QStringList{"all", "P"}));
}

TEST_F(ProjectLoadTest, CancelBeforeTheLoadKeepsThePreviousProject) {
  LoadProjectText(ProjectText("", "<element filename=\"button\" id=\"101\"/>"));
  Window->FHistoryCount = 4;
  TFormLoading::SetTimerInterval(60000);
  QTimer::singleShot(
      0, [] { OnLoadingDialog([](TFormLoading& dialog) { dialog.CancelLoad->trigger(); }); });
  LoadProjectText(ProjectText("<page name=\"Other\"/>", "<element filename=\"lamp\" id=\"101\"/>"));
  EXPECT_EQ(Window->FElements.FItems.first()->FTypeName, QStringLiteral("button"));
  EXPECT_EQ(PageList(), QStringList{"all"});
  EXPECT_EQ(Window->FHistoryCount, 4);
}

TEST_F(ProjectLoadTest, CancelDuringTheLoadKeepsTheElementsReadSoFar) {
  QObject::connect(Window->ShockwaveFlash, &TShockwaveFlash::FSCommand, Window.get(),
                   [] { OnLoadingDialog([](TFormLoading& dialog) { dialog.Button1->click(); }); });
  LoadProjectText(ProjectText("", "<element filename=\"button\" id=\"101\" x=\"7\" y=\"8\"/>"
                                  "<element filename=\"lamp\" id=\"102\"/>"
                                  "<element filename=\"gauge\" id=\"103\"/>"));
  ASSERT_EQ(Levels(), QList<int>{101});
  EXPECT_EQ(Window->FElements.FItems.first()->FX, 7);
  EXPECT_EQ(Window->FProjectFileName, QString());
  EXPECT_EQ(Window->StatusText(1), QStringLiteral("File:"));
}

TEST_F(ProjectLoadTest, StoredPagesMissingFromTheListAreAddedCaseInsensitively) {
  LoadProjectText(ProjectText("<page name=\"Main\"/><page name=\"all\"/>",
                              "<element filename=\"button\" id=\"101\" page=\"Hidden\"/>"
                              "<element filename=\"lamp\" id=\"102\" page=\"main\"/>"));
  EXPECT_EQ(PageList(), (QStringList{"all", "Main", "all", "Hidden"}));
  EXPECT_EQ(Window->FElements.FItems.at(1)->FPage, QStringLiteral("main"));
  EXPECT_EQ(Window->LBPages->currentRow(), 1);
}

TEST_F(ProjectLoadTest, DocumentsTheReaderCannotFollowStopWithAMessage) {
  CancelLoadAfterError();
  LoadProjectText("<interface><repositories serverip=\"\" repositorydir=\"" +
                  DemoRepositoryDir().toUtf8() + "\"/></interface>");
  LoadProjectText(ProjectText("", "<element filename=\"button\"/>"));
  LoadProjectText("<project/>");
  EXPECT_EQ(Dialogs.Exceptions,
            (QStringList{"The project has no \"list\" element: it cannot be loaded",
                         "Could not convert variant of type (Null) into type (Integer)",
                         "The project has no \"interface\" element: it cannot be loaded"}));
}

TEST_F(ProjectLoadTest, SampleProjectLoadsWholeOverTheDemoRepository) {
  QByteArray sample = ReadFile(VISTALOOM_SOURCE_DIR "/demo/sample.vlq");
  ASSERT_TRUE(sample.contains("repositorydir=\"../build/bin/repository/\""));
  sample.replace("../build/bin/repository/", DemoRepositoryDir().toUtf8());
  LoadProjectText(sample);
  EXPECT_EQ(Window->FElements.Count(), 13);
  EXPECT_EQ(PageList(), (QStringList{"all", "Lighting", "Climate"}));
  QStringList names;
  for (const TFlashElement* element : Window->FElements.FItems)
    names << element->FName;
  EXPECT_EQ(names.filter(QRegularExpression("^$")), QStringList()) << "every element is named";
  EXPECT_EQ(Window->FElements.FItems.at(6)->FSuffix.GetText(),
            QStringLiteral("value=_level&min=_lo&max=_hi"));
}

} // namespace
