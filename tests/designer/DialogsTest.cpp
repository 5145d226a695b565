#include "DesignerFixture.h"
#include "designer/AboutUnit.h"
#include "designer/FlashSuffix.h"
#include "designer/PrefInfo.h"
#include "platform/Application.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <stdexcept>

namespace {

// Runs Step on the modal dialog once it is up and active, from inside its own loop.
void WhenModal(const std::function<void(QWidget*)>& Step) {
  QTimer::singleShot(0, [Step] {
    QWidget* Dialog = QApplication::activeModalWidget();
    if (!Dialog)
      return WhenModal(Step);
    Dialog->activateWindow();
    if (QTest::qWaitForWindowActive(Dialog))
      Step(Dialog);
    else
      Dialog->close();
  });
}

class DialogsTest : public DesignerTest {};

TEST_F(DialogsTest, AboutOpensOpaqueAndFadesOutOnEveryClose) {
  CreateDesigner();
  TAbout* About = Window->About;
  for (int Round = 0; Round < 2; ++Round) {
    int OpacityWhenShown = -1;
    WhenModal([&](QWidget*) {
      OpacityWhenShown = About->AlphaBlendValue();
      if (Round == 0)
        QTest::mouseClick(About->BitBtn1, Qt::LeftButton);
      else
        About->close(); // the window's close box
    });
    Window->AboutItem->trigger();

    EXPECT_EQ(OpacityWhenShown, 255) << Round;
    EXPECT_EQ(About->AlphaBlendValue(), 0) << Round;
    EXPECT_TRUE(About->AlphaBlend());
    EXPECT_FALSE(About->isVisible());
  }
  EXPECT_EQ(About->LabelTitle->text(), "Vistaloom");
  EXPECT_EQ(About->LabelVersion->text(), "Version 1.3.10");
  EXPECT_EQ(About->windowTitle(), "About Tessaryn");
}

// The fade lets pending events run: a second close arriving during it is the close under way,
// so the box finishes once, with the first close's result.
TEST_F(DialogsTest, ASecondCloseDuringTheFadeFinishesTheAboutBoxOnce) {
  CreateDesigner();
  TAbout* About = Window->About;
  QSignalSpy Finished(About, &QDialog::finished);
  WhenModal([About](QWidget*) {
    QTimer::singleShot(0, About, [About] { About->reject(); });
    QTest::mouseClick(About->BitBtn1, Qt::LeftButton);
  });
  Window->AboutItem->trigger();
  ASSERT_EQ(Finished.count(), 1);
  EXPECT_EQ(Finished.at(0).at(0).toInt(), QDialog::Accepted);
  EXPECT_EQ(About->AlphaBlendValue(), 0);
  EXPECT_FALSE(About->isVisible());
}

TEST_F(DialogsTest, ProjectPreferencesTakeBothTextsOnEnter) {
  CreateDesigner();
  const QString Repository = Temp.path() + "/repo";
  ASSERT_TRUE(QDir().mkpath(Repository));
  ASSERT_TRUE(QFile::copy(ExeDir + "Background/main.swf", Repository + "/panel.swf"));
  Window->FServerIP = "10.0.0.1";

  QString Shown;
  WhenModal([&](QWidget* Dialog) {
    Shown =
        Window->FormPrefInfo->DirectoryEdit1->text() + "|" + Window->FormPrefInfo->EditIP->text();
    Window->FormPrefInfo->DirectoryEdit1->setText(Repository);
    Window->FormPrefInfo->EditIP->setText("192.168.0.9");
    QTest::keyClick(Dialog, Qt::Key_Return);
  });
  Window->ProjectPref->trigger();

  EXPECT_EQ(Shown, ExeDir + "|10.0.0.1");
  EXPECT_EQ(Window->FRepositoryDir, Repository); // as typed, no "/" added
  EXPECT_EQ(Window->FServerIP, "192.168.0.9");
  ASSERT_EQ(Window->SGElements->rowCount(), 1);
  EXPECT_EQ(Window->SGElements->item(0, 0)->text(), "panel");
}

TEST_F(DialogsTest, ProjectPreferencesChangeNothingOnEscape) {
  CreateDesigner();
  const int Rows = Window->SGElements->rowCount();
  WhenModal([&](QWidget* Dialog) {
    Window->FormPrefInfo->DirectoryEdit1->setText("/nowhere");
    Window->FormPrefInfo->EditIP->setText("1.2.3.4");
    QTest::keyClick(Dialog, Qt::Key_Escape);
  });
  Window->ProjectPref->trigger();

  EXPECT_EQ(Window->FRepositoryDir, ExeDir);
  EXPECT_EQ(Window->FServerIP, "");
  EXPECT_EQ(Window->SGElements->rowCount(), Rows);
}

TEST_F(DialogsTest, TheRepositoryBrowserStartsAtTheFolderShown) {
  CreateDesigner();
  Dialogs.BrowseAnswers.push_back({true, "/chosen"});
  WhenModal([&](QWidget* Dialog) {
    Window->FormPrefInfo->DirectoryEdit1Browse->trigger();
    QTest::keyClick(Dialog, Qt::Key_Escape);
  });
  Window->ProjectPref->trigger();

  EXPECT_EQ(Dialogs.Asked, QStringList{"BrowseFolder: Select Repository Path | " + ExeDir});
  EXPECT_EQ(Window->FormPrefInfo->DirectoryEdit1->text(), "/chosen");
  EXPECT_EQ(Window->FRepositoryDir, ExeDir);
}

TEST_F(DialogsTest, FlashSuffixEditorAnswersOkOrCancel) {
  CreateDesigner();
  TFormProp* Editor = Window->FormProp;
  EXPECT_EQ(Editor->windowTitle(), "Flash Suffix Editor");
  Editor->MemoInfo->setPlainText("state=_on");
  WhenModal([](QWidget* Dialog) { QTest::keyClick(Dialog, Qt::Key_Return); });
  EXPECT_EQ(Editor->exec(), QDialog::Accepted);
  WhenModal([](QWidget* Dialog) { QTest::keyClick(Dialog, Qt::Key_Escape); });
  EXPECT_EQ(Editor->exec(), QDialog::Rejected);
  EXPECT_EQ(Editor->MemoInfo->toPlainText(), "state=_on");
}

TEST_F(DialogsTest, GuardedWorkReportsItsErrorAndGoesOn) {
  TScriptedDialogs Boxes;
  bool After = false;
  RunGuarded(&Boxes, nullptr, [] { throw std::runtime_error("Cannot open file x.vlq"); });
  RunGuarded(&Boxes, nullptr, [] { throw 42; });
  RunGuarded(&Boxes, nullptr, [&] { After = true; });

  EXPECT_EQ(Boxes.Exceptions, (QStringList{"Cannot open file x.vlq", "Unknown error"}));
  EXPECT_TRUE(After);
}

TEST_F(DialogsTest, AnActionThatThrowsEndsInTheErrorBox) {
  CreateDesigner();
  ASSERT_TRUE(QFile::remove(ExeDir + "Background/MainBackground.swf"));

  Window->New->trigger();

  EXPECT_EQ(Dialogs.Exceptions.size(), 1);
  EXPECT_TRUE(Window->New->isEnabled());
}

} // namespace

// The loading dialog, the preferences and the about box open in the middle of the screen,
// wherever the main window stands.
TEST_F(DialogsTest, DialogsOpenCentredOnTheScreen) {
  CreateDesigner();
  Window->show();
  Window->move(Window->screen()->availableGeometry().topLeft());
  QApplication::processEvents();
  const QPoint screenCentre = Window->screen()->availableGeometry().center();
  ASSERT_GT((Window->frameGeometry().center() - screenCentre).manhattanLength(), 50);

  const QString project = WorkDir + "p.vlq";
  {
    QFile file(project);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<interface><repositories serverip=\"\" repositorydir=\"" + ExeDir.toUtf8() +
               "\"/><list/><entities/></interface>");
  }
  QStringList offCentre;
  const auto checkCentred = [&](QWidget* dialog) {
    const QPoint centre = dialog->frameGeometry().center();
    // The window frame's border is not known before a dialog first shows.
    if ((centre - screenCentre).manhattanLength() > 6)
      offCentre << QString("%1 at %2,%3").arg(dialog->objectName()).arg(centre.x()).arg(centre.y());
  };
  WhenModal([&](QWidget* dialog) {
    checkCentred(dialog);
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  Window->ProjectPref->trigger();
  WhenModal([&](QWidget* dialog) {
    checkCentred(dialog);
    QTest::mouseClick(Window->About->BitBtn1, Qt::LeftButton);
  });
  Window->AboutItem->trigger();
  int loadingDialogs = 0;
  WhenModal([&](QWidget* dialog) {
    ++loadingDialogs;
    checkCentred(dialog);
    dialog->findChild<QPushButton*>("Button1")->click();
  });
  Dialogs.OpenAnswers.push_back({true, project});
  Window->Load->trigger();
  EXPECT_EQ(loadingDialogs, 1);
  EXPECT_EQ(offCentre, QStringList())
      << "screen centre " << screenCentre.x() << "," << screenCentre.y();
}
