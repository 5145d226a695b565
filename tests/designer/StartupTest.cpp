#include "DesignerFixture.h"
#include "designer/AboutUnit.h"
#include "designer/FlashSuffix.h"
#include "designer/MousePaint.h"
#include "designer/PrefInfo.h"
#include "player/ShockwaveFlash.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTimer>

namespace {

QStringList Pages(const QListWidget* List) {
  QStringList Names;
  for (int Row = 0; Row < List->count(); ++Row)
    Names << List->item(Row)->text();
  return Names;
}

class StartupTest : public DesignerTest {
protected:
  // Checks what New leaves behind after start-up.
  void ExpectNewProject() {
    EXPECT_EQ(Window->FProjectFileName, "");
    EXPECT_EQ(Window->StatusText(1), "File:");
    EXPECT_EQ(Window->FRepositoryDir, ExeDir);
    EXPECT_EQ(Pages(Window->LBPages), QStringList{"all"});
    EXPECT_EQ(Window->LBPages->currentRow(), 0);
    EXPECT_EQ(Window->ShockwaveFlash->Movie(), ExeDir + "Background/MainBackground.swf");
  }

  // A project of one page and no elements, its repository the program's folder.
  void WriteProject(const QString& Path) {
    QFile File(Path);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(QString("<interface><repositories serverip=\"10.0.0.7\" repositorydir=\"%1\"/>"
                       "<list><page name=\"Main\"/></list><entities/></interface>")
                   .arg(ExeDir)
                   .toUtf8());
  }
};

TEST_F(StartupTest, CreatesTheWindowsInOrderAndShowsNoneOfThem) {
  CreateDesigner();

  EXPECT_EQ(Window->FLastLevel, 100);
  EXPECT_EQ(Window->FStageCanvas, &Window->ShockwaveFlash->DrawingLayer());
  ASSERT_NE(Window->FormPaint, nullptr);
  EXPECT_EQ(Window->FormPaint->parentWidget(), Window->TSDesign->parentWidget());
  EXPECT_EQ(Window->FormPaint->AlphaBlendValue(), 80);
  const QList<QDialog*> Dialogs = Window->findChildren<QDialog*>(Qt::FindDirectChildrenOnly);
  ASSERT_EQ(Dialogs.size(), 3);
  EXPECT_EQ(Dialogs[0], Window->FormProp);
  EXPECT_EQ(Dialogs[1], Window->About);
  EXPECT_EQ(Dialogs[2], Window->FormPrefInfo);
  for (QWidget* W : std::initializer_list<QWidget*>{
           Window.get(), Window->FormPaint, Window->FormProp, Window->About, Window->FormPrefInfo})
    EXPECT_FALSE(W->isVisible()) << W->objectName().toStdString();
  EXPECT_TRUE(this->Dialogs.Exceptions.isEmpty());
  ExpectNewProject();
}

TEST_F(StartupTest, ShowingBringsUpTheNearlyTransparentOverlayOverTheStage) {
  CreateDesigner();
  Window->show();

  TFormPaint* Overlay = Window->FormPaint;
  EXPECT_TRUE(Overlay->isVisible());
  EXPECT_EQ(Overlay->AlphaBlendValue(), 1);
  EXPECT_TRUE(Overlay->AlphaBlend());
  EXPECT_TRUE(Overlay->OnKeyDown && Overlay->OnKeyUp);
  EXPECT_EQ(Overlay->geometry(),
            QRect(Window->ShockwaveFlash->mapTo(Overlay->parentWidget(), QPoint(0, 0)),
                  Window->ShockwaveFlash->size()));
  EXPECT_EQ(QPoint(Window->StageOriginX, Window->StageOriginY),
            Window->ShockwaveFlash->mapToGlobal(QPoint(0, 0)));
}

TEST_F(StartupTest, DebugPagesShowOnlyForTheExactFirstArgument) {
  CreateDesigner({"debug"});
  EXPECT_FALSE(Window->PageControl2->isHidden());
  ExpectNewProject();

  for (const QStringList& Args :
       {QStringList{"Debug"}, QStringList{"DEBUG"}, QStringList{"x", "debug"}, QStringList{}}) {
    CreateDesigner(Args);
    EXPECT_TRUE(Window->PageControl2->isHidden()) << Args.join(' ').toStdString();
    ExpectNewProject();
  }
}

TEST_F(StartupTest, AMissingOrFolderArgumentStartsNew) {
  CreateDesigner({WorkDir + "missing.vlq"});
  ExpectNewProject();

  CreateDesigner({WorkDir});
  ExpectNewProject();
  EXPECT_TRUE(Dialogs.Exceptions.isEmpty());
}

TEST_F(StartupTest, AFileNamedDebugIsOpenedAsTheProjectAndShowsTheDebugPages) {
  WriteProject(WorkDir + "debug");
  CreateDesigner({"debug"});

  EXPECT_FALSE(Window->PageControl2->isHidden());
  EXPECT_EQ(Window->FProjectFileName, "debug");
  EXPECT_EQ(Window->StatusText(1), "File:debug");
}

TEST_F(StartupTest, TheCommandLineProjectLoadsBeforeTheOverlayAndDialogsExist) {
  const QString Project = WorkDir + "start.vlq";
  WriteProject(Project);

  // Looks at the main window while the loading dialog runs the command-line load.
  struct TSeen {
    bool Loading = false;
    bool Overlay = true;
    int Dialogs = -1;
  } Seen;
  QTimer Watch;
  QObject::connect(&Watch, &QTimer::timeout, [&] {
    for (QWidget* Top : QApplication::topLevelWidgets()) {
      auto* Main = qobject_cast<TFormVistaloom*>(Top->parentWidget());
      if (!Main || !Top->isVisible() || Seen.Loading)
        continue;
      Seen.Loading = true;
      Seen.Overlay = Main->findChild<TFormPaint*>() != nullptr;
      Seen.Dialogs = int(Main->findChildren<QDialog*>(Qt::FindDirectChildrenOnly).size());
    }
  });
  Watch.start(50);
  CreateDesigner({Project});
  Watch.stop();

  EXPECT_TRUE(Seen.Loading);
  EXPECT_FALSE(Seen.Overlay);
  EXPECT_EQ(Seen.Dialogs, 1); // the loading dialog alone
  EXPECT_EQ(Window->FProjectFileName, Project);
  EXPECT_EQ(Window->FServerIP, "10.0.0.7");
  EXPECT_EQ(Window->StatusText(1), "File:start.vlq");
}

TEST_F(StartupTest, AFailingStartUpIsReportedAndTheWindowsStillComeUp) {
  ASSERT_TRUE(QFile::remove(ExeDir + "Background/MainBackground.swf"));

  CreateDesigner();

  EXPECT_EQ(Dialogs.Exceptions.size(), 1);
  ASSERT_NE(Window->FormPaint, nullptr);
  ASSERT_NE(Window->FormPrefInfo, nullptr);
  // New stopped in the background load: the page list was never reset.
  EXPECT_EQ(Window->LBPages->count(), 0);
  Window->show();
  EXPECT_TRUE(Window->isVisible());
}

} // namespace
