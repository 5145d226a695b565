#include "DesignerFixture.h"
#include "player/ShockwaveFlash.h"
#include "tools/swfgen/ClipDescription.h"

#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <algorithm>

namespace {

class RepositoryTest : public DesignerTest {
protected:
  void SetUp() override {
    DesignerTest::SetUp();
    Clip = QFile::exists(DemoRepositoryDir() + "button.swf") ? DemoRepositoryDir() + "button.swf"
                                                             : ExeDir + "Background/main.swf";
    Repository = Temp.path() + "/repo/";
    ASSERT_TRUE(QDir().mkpath(Repository));
  }

  // Puts a copy of a real clip at the path below the repository.
  void AddClip(const QString& RelativePath) {
    const QString Path = Repository + RelativePath;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(Path).absolutePath()));
    ASSERT_TRUE(QFile::copy(Clip, Path)) << RelativePath.toStdString();
  }

  QStringList Search(const QString& Dir) {
    QStringList Found;
    Window->FindFilesByExt(Dir, Found, ".swf");
    return Found;
  }

  QString Cell(int Row, int Column) const {
    const QTableWidgetItem* Item = Window->SGElements->item(Row, Column);
    return Item ? Item->text() : QString("<none>");
  }

  QString Clip;
  QString Repository; // with a trailing "/"
};

TEST_F(RepositoryTest, SearchGoesDepthFirstAndListsClipsOnly) {
  CreateDesigner();
  AddClip("top.swf");
  AddClip("A.SWF");
  AddClip("notes.txt");
  AddClip("folder.swf/inner.swf");
  AddClip("sub/one.swf");
  AddClip("sub/two.Swf");
  AddClip("sub/deeper/three.swf");

  const QStringList Found = Search(Repository);

  EXPECT_EQ(Found.size(), 6);
  for (const char* Name : {"top.swf", "A.SWF", "folder.swf/inner.swf", "sub/one.swf", "sub/two.Swf",
                           "sub/deeper/three.swf"})
    EXPECT_TRUE(Found.contains(Repository + Name)) << Name;
  // A folder's clips, its subfolders' included, come together.
  const auto InSub = [&](const QString& Path) { return Path.startsWith(Repository + "sub/"); };
  const auto First = std::find_if(Found.begin(), Found.end(), InSub) - Found.begin();
  ASSERT_LE(First + 3, Found.size());
  EXPECT_EQ(std::count_if(Found.begin() + First, Found.begin() + First + 3, InSub), 3);
}

TEST_F(RepositoryTest, NoFolderIsEnteredOnceMoreThanAHundredClipsAreListed) {
  CreateDesigner();
  for (int I = 0; I < 101; ++I)
    AddClip(QString("big/clip%1.swf").arg(I));
  AddClip("late/last.swf");

  const QStringList Found = Search(Repository);

  // The folder that passes 100 is listed to its end; "late" only counts when it came first.
  for (int I = 0; I < 101; ++I)
    EXPECT_TRUE(Found.contains(Repository + QString("big/clip%1.swf").arg(I))) << I;
  if (Found.first() == Repository + "late/last.swf")
    EXPECT_EQ(Found.size(), 102);
  else
    EXPECT_EQ(Found.size(), 101);

  QStringList Full;
  for (int I = 0; I < 101; ++I)
    Full << "x";
  Window->FindFilesByExt(Repository, Full, ".swf");
  EXPECT_EQ(Full.size(), 101);
}

TEST_F(RepositoryTest, SearchOfAFolderLinkedIntoItselfEnds) {
  CreateDesigner();
  AddClip("sub/one.swf");
  ASSERT_TRUE(QFile::link(Repository, Repository + "sub/loop"));

  const QStringList Found = Search(Repository);

  EXPECT_EQ(Found, QStringList{Repository + "sub/one.swf"});
}

TEST_F(RepositoryTest, GridRowsNameTheClipAndHideItsFolder) {
  CreateDesigner();
  AddClip("A.SWF");
  AddClip("menu.big.swf");

  Window->LoadRepository(Repository);

  ASSERT_EQ(Window->SGElements->rowCount(), 2);
  EXPECT_EQ(Window->SGElements->horizontalHeaderItem(0)->text(), "Elements");
  EXPECT_TRUE(Window->SGElements->isColumnHidden(1));
  for (int Row = 0; Row < 2; ++Row)
    EXPECT_EQ(Window->SGElements->rowHeight(Row), 16) << Row;
  QStringList Names{Cell(0, 0), Cell(1, 0)};
  Names.sort();
  EXPECT_EQ(Names, (QStringList{"A", "menu.big"}));
  for (int Row = 0; Row < 2; ++Row) {
    EXPECT_EQ(Cell(Row, 1), Repository);
    const QString Expected = Cell(Row, 0) == "A" ? "A.SWF" : "menu.big.swf";
    EXPECT_EQ(Window->RowClipFile(Row), Repository + Expected);
  }
  EXPECT_EQ(Window->SFPreview->Movie(), "");
}

TEST_F(RepositoryTest, AnEmptyRepositoryGivesOneEmptyRow) {
  CreateDesigner();

  Window->LoadRepository(Repository);
  EXPECT_EQ(Window->SGElements->rowCount(), 1);
  EXPECT_EQ(Cell(0, 0), "");
  EXPECT_EQ(Cell(0, 1), "");

  Window->LoadRepository(Repository + "missing/");
  EXPECT_EQ(Window->SGElements->rowCount(), 1);
}

TEST_F(RepositoryTest, SelectingARowPreviewsAnExistingClip) {
  CreateDesigner();
  AddClip("lamp.swf");
  Window->LoadRepository(Repository);

  bool CanSelect = false;
  Window->SGElementsSelectCell(nullptr, 0, 0, CanSelect);
  EXPECT_TRUE(CanSelect);
  EXPECT_EQ(Window->SFPreview->Movie(), Repository + "lamp.swf");

  ASSERT_TRUE(QFile::remove(Repository + "lamp.swf"));
  Window->SGElements->item(0, 0)->setText("gone");
  Window->SGElementsSelectCell(nullptr, 0, 0, CanSelect);
  EXPECT_TRUE(CanSelect);
  EXPECT_EQ(Window->SFPreview->Movie(), Repository + "lamp.swf");
}

TEST_F(RepositoryTest, ThePreviewAnswersTheMouseWithItsClipsButtonsTheStageDoesNot) {
  CreateDesigner();
  QString Error;
  const auto Knob = swfgen::ClipDescription::parse("frame 60 30\n"
                                                   "button knob 0 0 {\n"
                                                   "  up,hit rect 0 0 60 30 #FF0000\n"
                                                   "  over rect 0 0 60 30 #00FF00\n"
                                                   "  down rect 0 0 60 30 #0000FF\n"
                                                   "}\n",
                                                   &Error);
  ASSERT_TRUE(Knob) << Error.toStdString();
  QFile File(Repository + "knob.swf");
  ASSERT_TRUE(File.open(QIODevice::WriteOnly));
  File.write(Knob->toSwf());
  File.close();
  Window->LoadRepository(Repository);
  Window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
  QTabBar* Tabs = Window->PageControl->tabBar();
  QTest::mouseClick(Tabs, Qt::LeftButton, {},
                    Tabs->tabRect(Window->PageControl->indexOf(Window->TSElements)).center());
  QTableWidget* Grid = Window->SGElements;
  QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {},
                    Grid->visualItemRect(Grid->item(0, 0)).center());
  TShockwaveFlash* Preview = Window->SFPreview;
  ASSERT_TRUE(Preview->isVisible());
  ASSERT_EQ(Preview->Movie(), Repository + "knob.swf");
  const double Scale = std::min(Preview->width() / 60.0, Preview->height() / 30.0);
  const QPoint OnKnob(int(30 * Scale), int(15 * Scale));
  const auto Shown = [Preview, OnKnob] {
    QImage Image(Preview->size(), QImage::Format_ARGB32);
    Preview->render(&Image);
    return Image.pixelColor(OnKnob);
  };
  EXPECT_EQ(Shown(), QColor(Qt::red));
  QTest::mouseMove(Preview, OnKnob);
  EXPECT_EQ(Shown(), QColor(Qt::green));
  QTest::mousePress(Preview, Qt::LeftButton, {}, OnKnob);
  EXPECT_EQ(Shown(), QColor(Qt::blue));
  QTest::mouseRelease(Preview, Qt::LeftButton, {}, OnKnob);
  EXPECT_EQ(Shown(), QColor(Qt::green));
  // On the stage the overlay takes the mouse; its control is never told to.
  EXPECT_FALSE(Window->ShockwaveFlash->MouseInput());
}

TEST_F(RepositoryTest, SaveCurrentRepositoryCopiesEveryRowBesideTheProgram) {
  CreateDesigner();
  AddClip("a/lamp.swf");
  AddClip("b/lamp.swf");
  AddClip("b/knob.SWF");
  Window->LoadRepository(Repository);

  Window->SaveCurrentRepository->trigger();
  Window->SaveCurrentRepository->trigger(); // the folder exists now; that is no error

  EXPECT_TRUE(Dialogs.Exceptions.isEmpty()) << Dialogs.Exceptions.join('\n').toStdString();
  QStringList Copied = QDir(ExeDir + "current_repository").entryList(QDir::Files);
  Copied.sort();
  EXPECT_EQ(Copied, (QStringList{"knob.swf", "lamp.swf"}));
}

// A clip that is a link to a device or a folder named like a clip is passed over and named;
// the other clips are copied all the same.
TEST_F(RepositoryTest, SaveCurrentRepositoryCopiesRegularFilesOnlyAndNamesTheOthers) {
  CreateDesigner();
  AddClip("a/lamp.swf");
  ASSERT_TRUE(QFile::link("/dev/zero", Repository + "zero.swf"));
  AddClip("b/knob.swf");
  Window->LoadRepository(Repository);

  Window->SaveCurrentRepository->trigger();

  EXPECT_TRUE(Dialogs.Exceptions.isEmpty()) << Dialogs.Exceptions.join('\n').toStdString();
  QStringList Copied = QDir(ExeDir + "current_repository").entryList(QDir::Files);
  Copied.sort();
  EXPECT_EQ(Copied, (QStringList{"knob.swf", "lamp.swf"}));
  EXPECT_EQ(Dialogs.Messages, QStringList{"Not copied, since they are not regular files:\n" +
                                          Repository + "zero.swf"});
}

TEST_F(RepositoryTest, SavingAnEmptyRepositoryReportsTheMissingClip) {
  CreateDesigner();
  Window->LoadRepository(Repository);

  Window->SaveCurrentRepository->trigger();

  EXPECT_EQ(Dialogs.Exceptions, QStringList{"Cannot open file .swf"});
}

TEST_F(RepositoryTest, NewResetsTheProjectButKeepsTheLevelCount) {
  CreateDesigner();
  Window->FProjectFileName = WorkDir + "old.vlq";
  Window->FRepositoryDir = Repository;
  Window->FLastLevel = 140;
  Window->FServerIP = "10.1.1.1";
  Window->LBPages->addItems({"Main", "Extra"});
  Window->LBPages->setCurrentRow(2);
  Window->ListBoxItem->addItem("101--button");
  Window->LBHistory->addItem("7 Delete Element");

  Window->New->trigger();

  EXPECT_EQ(Window->FProjectFileName, "");
  EXPECT_EQ(Window->FRepositoryDir, ExeDir);
  EXPECT_EQ(Window->FLastLevel, 140);
  EXPECT_EQ(Window->FServerIP, "10.1.1.1");
  EXPECT_EQ(Window->LBPages->count(), 1);
  EXPECT_EQ(Window->LBPages->currentItem()->text(), "all");
  EXPECT_EQ(Window->ListBoxItem->count(), 0);
  EXPECT_EQ(Window->LBHistory->count(), 0);
  EXPECT_EQ(Window->StatusText(1), "File:");
  // The program's folder is the repository: its background movies are listed.
  EXPECT_GE(Window->SGElements->rowCount(), 2);
}

} // namespace
