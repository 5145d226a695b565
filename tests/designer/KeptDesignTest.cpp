#include "ProjectFixture.h"

#include <QAction>
#include <QTabWidget>
#include <QTest>
#include <limits>

namespace {

// Loads that cannot place everything they read: what the file holds must survive the next
// Save, and the user is told what could not be placed.
class KeptDesignTest : public ProjectTest {
protected:
  void SetUp() override {
    ProjectTest::SetUp();
    CreateWithDemoRepository();
  }

  QString Path(const QString& name) const { return WorkDir + name; }

  // Double-clicks the clip's row of the Elements grid, as the user adds a clip.
  void DoubleClickRepositoryRow(const QString& name) {
    QTableWidget* grid = Window->SGElements;
    Window->PageControl->setCurrentWidget(Window->TSElements);
    const QRect cell = grid->visualItemRect(grid->item(RepositoryRow(name), 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    PumpEvents();
    // The next press starts a new click rather than a third one.
    QTest::qWait(QApplication::doubleClickInterval() + 10);
  }
};

TEST_F(KeptDesignTest, ARepositoryFolderNotChosenLeavesTheFileAndItsBackupAlone) {
  const QByteArray design = "<interface><repositories serverip=\"\" repositorydir=\"" +
                            WorkDir.toUtf8() +
                            "gone/\"/><list/><entities>"
                            "<element filename=\"button\" id=\"101\" name=\"Power\"/>"
                            "</entities></interface>";
  WriteFile(Path("p.vlq"), design);
  WriteFile(Path("p.vlq.bak"), design);
  Dialogs.OpenAnswers.push_back({true, Path("p.vlq")});
  Window->Load->trigger();
  PumpEvents();
  EXPECT_EQ(Dialogs.Messages, QStringList{"Choose repository!"});
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the loading dialog is closed";
  EXPECT_EQ(Window->FProjectFileName, QString());
  EXPECT_EQ(Window->StatusText(1), QStringLiteral("File:"));

  // Two Saves ask for a name; cancelled, they write nothing over the file or its backup.
  Window->Save->trigger();
  Window->Save->trigger();
  EXPECT_EQ(Dialogs.Asked.filter("SaveFile:").size(), 2);
  EXPECT_EQ(ReadFile(Path("p.vlq")), design);
  EXPECT_EQ(ReadFile(Path("p.vlq.bak")), design);
}

TEST_F(KeptDesignTest, ElementsWhoseClipIsMissingAreNamedAndSavedUntilDeleted) {
  const QByteArray ghost = "<element filename=\"ghost\" x=\"5\" y=\"6\" width=\"70\" "
                           "height=\"30\" id=\"102\" page=\"Main\" name=\"Spook\">"
                           "<flash_info name=\"caption=Boo\"/></element>";
  LoadProjectText(
      ProjectText("<page name=\"Main\"/>", "<element filename=\"button\" id=\"101\"/>" + ghost +
                                               "<element filename=\"lamp\" id=\"103\"/>"));
  const QString told = "These elements could not be placed: their clips are not in the "
                       "repository " +
                       DemoRepositoryDir() +
                       ". They stay in the project until you delete them.\n"
                       "element 102 \"Spook\": ghost.swf";
  EXPECT_EQ(Dialogs.Messages, QStringList{told});
  EXPECT_EQ(Levels(), (QList<int>{101, 102, 103}));

  Window->Save->trigger();
  ASSERT_TRUE(Dialogs.Exceptions.isEmpty()) << Dialogs.Exceptions.join("\n").toStdString();
  EXPECT_TRUE(ReadFile(Path("p.vlq")).contains(ghost)) << ReadFile(Path("p.vlq")).constData();

  // An undo restore tells it again and keeps the element.
  AddClip(QStringLiteral("label"));
  Window->LBHistory->setCurrentRow(0);
  Window->LBHistoryDblClick(Window->LBHistory);
  PumpEvents();
  EXPECT_EQ(Dialogs.Messages, (QStringList{told, told}));
  EXPECT_EQ(Window->FElements.FItems.at(1)->FName, QStringLiteral("Spook"));

  // Deleted by the user, it is gone from the next save.
  Window->LBPages->setCurrentRow(1);
  Window->LBPagesClick(Window->LBPages);
  for (int row = 0; row < Window->ListBoxItem->count(); ++row)
    Window->ListBoxItem->item(row)->setSelected(Window->ListBoxElement(row)->FTypeName == "ghost");
  Window->DeleteObject->trigger();
  Window->Save->trigger();
  EXPECT_FALSE(ReadFile(Path("p.vlq")).contains("ghost"));
}

TEST_F(KeptDesignTest, LevelsStopAtTheLargestIntegerInsteadOfWrapping) {
  constexpr int Largest = std::numeric_limits<int>::max();
  // A project that stores the largest integer as an id is refused, naming the element.
  CancelLoadAfterError();
  LoadProjectText(ProjectText("", "<element filename=\"button\" id=\"101\"/>"
                                  "<element filename=\"lamp\" id=\"2147483647\" name=\"Top\"/>"));
  EXPECT_EQ(Dialogs.Exceptions, QStringList{"Cannot load element 2147483647 \"Top\": its id leaves "
                                            "no Flash level for another element"});
  EXPECT_EQ(Window->FProjectFileName, QString());

  // One below it: one more clip can be added, the next is refused rather than wrapping.
  Dialogs.Exceptions.clear();
  LoadProjectText(ProjectText("", "<element filename=\"button\" id=\"2147483646\"/>"));
  ASSERT_EQ(Levels(), QList<int>{Largest - 1});
  Window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
  DoubleClickRepositoryRow(QStringLiteral("lamp"));
  DoubleClickRepositoryRow(QStringLiteral("lamp"));
  EXPECT_EQ(Levels(), (QList<int>{Largest - 1, Largest}));
  EXPECT_EQ(Dialogs.Exceptions, QStringList{"No Flash level is left for a new element: every "
                                            "level up to 2147483647 has been handed out"});
}

} // namespace
