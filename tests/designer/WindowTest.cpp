#include "DesignerFixture.h"
#include "designer/MousePaint.h"
#include "model/FlashElement.h"
#include "player/ShockwaveFlash.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <cmath>

namespace {

QStringList Captions(const QMenu* Menu) {
  QStringList Texts;
  for (const QAction* Item : Menu->actions())
    Texts << (Item->isSeparator() ? "-" : Item->text());
  return Texts;
}

QStringList TabCaptions(const QTabWidget* Tabs) {
  QStringList Texts;
  for (int Index = 0; Index < Tabs->count(); ++Index)
    Texts << Tabs->tabText(Index);
  return Texts;
}

class WindowTest : public DesignerTest {
protected:
  QAction* ActionNamed(const char* Name) { return Window->findChild<QAction*>(Name); }

  // Sets the stage control and background sizes and lays the stage out.
  void LayOut(double StageWidth, double StageHeight, int ControlWidth, int ControlHeight) {
    Window->FStageWidth = StageWidth;
    Window->FStageHeight = StageHeight;
    Window->ShockwaveFlash->resize(ControlWidth, ControlHeight);
    Window->UpdateStageLayout();
  }

  void WriteStoredWidth(const QVariant& Width) {
    QSettings Storage(WorkDir + "Vistaloom.ini", QSettings::IniFormat);
    Storage.setValue("TFormVistaloom/FormVersion", 0);
    Storage.setValue("TFormVistaloom/PanelPropery_Width", Width);
  }
};

TEST_F(WindowTest, MenusListTheActionsInOrder) {
  CreateDesigner();
  const QList<QAction*> Menus = Window->menuBar()->actions();
  QStringList Titles;
  for (const QAction* Menu : Menus)
    Titles << Menu->text();
  EXPECT_EQ(Titles, (QStringList{"File", "Edit", "Objects", "Pages", "XML", "Tools", "Help"}));
  EXPECT_EQ(Captions(Window->MainMenuFile),
            (QStringList{"New", "Load", "Project Preference", "Reopen", "Create XML", "-",
                         "Save XML to Ftp", "Save As", "Save", "-", "Quit"}));
  EXPECT_EQ(Captions(Window->MainMenuEdit), QStringList{"ClearAll"});
  EXPECT_EQ(Captions(Window->MainMenuObjects),
            (QStringList{"Send to back", "Send Backword", "Bring forward", "Bring to Front",
                         "Deselect", "Delete Object", "Duplicate"}));
  EXPECT_EQ(Captions(Window->MainMenuPages), (QStringList{"Ins Page", "Del Page", "UP", "Down"}));
  EXPECT_EQ(Captions(Window->MainMenuXML), (QStringList{"Create XML", "Save XML", "Save XML to Ftp",
                                                        "Load from XML", "CreatePreview"}));
  EXPECT_EQ(Captions(Window->MainMenuTools), QStringList{"Save Current Repository"});
  EXPECT_EQ(Captions(Window->MainMenuHelp), QStringList{"About"});
  EXPECT_EQ(Captions(Window->PopupMenu1), (QStringList{"Load", "test"}));
  EXPECT_EQ(Window->TestItem->shortcut(), QKeySequence("Ctrl+B"));
}

TEST_F(WindowTest, ActionsCarryNameCategoryAndShortcut) {
  CreateDesigner();
  struct TExpected {
    const char* Name;
    const char* Category;
    const char* Caption;
    const char* Shortcut;
  };
  for (const TExpected& E :
       {TExpected{"AlignVert", "Align", "Action", ""},
        TExpected{"AllClose", "File", "Quit", "Ctrl+Q"}, TExpected{"New", "File", "New", "Ctrl+N"},
        TExpected{"Load", "File", "Load", "Ctrl+O"}, TExpected{"Save", "File", "Save", "Ctrl+S"},
        TExpected{"SaveToFtp", "XML", "Save XML to Ftp", "Shift+Ctrl+S"},
        TExpected{"Addpage", "Pages", "Ins Page", ""},
        TExpected{"Duplicate", "Objects", "Duplicate", "Ctrl+D"},
        TExpected{"DeleteEvent", "Events", "Delete", ""}}) {
    QAction* Action = ActionNamed(E.Name);
    ASSERT_NE(Action, nullptr) << E.Name;
    EXPECT_EQ(Action->property("category").toString(), E.Category) << E.Name;
    EXPECT_EQ(Action->text(), E.Caption) << E.Name;
    EXPECT_EQ(Action->shortcut(), QKeySequence(E.Shortcut)) << E.Name;
  }
  for (QAction* Align : {Window->AlignLeft, Window->AlignH, Window->AlignVert}) {
    EXPECT_EQ(Align->toolTip(), Align->text());
    EXPECT_FALSE(Align->icon().isNull());
  }
}

TEST_F(WindowTest, LayoutKeepsTheComponentNamesAndCaptions) {
  CreateDesigner();
  EXPECT_EQ(Window->windowTitle(), "Vistaloom");
  EXPECT_EQ(TabCaptions(Window->PCMain), (QStringList{"Dessign", "Actions"}));
  EXPECT_EQ(TabCaptions(Window->PageControl),
            (QStringList{"Objects", "Elements", "AllObjects", "History"}));
  EXPECT_EQ(TabCaptions(Window->PageControl1), (QStringList{"Align", "Info"}));
  EXPECT_EQ(TabCaptions(Window->PageControl3), (QStringList{"Properties", "Events"}));
  for (const char* Name :
       {"ShockwaveFlash", "SFPreview", "ListBoxItem", "LBPages", "SGElements", "ValueListEditor",
        "VLEProp", "VLEFlashSuffix", "VEDriver", "LBHistory", "ListBoxDrivers", "ListBoxFunctions",
        "ListBoxEvents", "Memo1", "StatusBar", "PanelPropery", "DBGrid1"})
    EXPECT_NE(Window->findChild<QWidget*>(Name), nullptr) << Name;
  EXPECT_TRUE(Window->PanelProperty->isHidden());
  EXPECT_TRUE(Window->Panel2->isHidden());
  EXPECT_TRUE(Window->Panel12->isHidden());
  EXPECT_EQ(Window->ListBoxItem->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_TRUE(Window->ListBoxItem->isSortingEnabled());
}

TEST_F(WindowTest, TheOverlayShowsOnlyOnTheDesignTab) {
  CreateDesigner();
  Window->show();
  TFormPaint* Overlay = Window->FormPaint;
  const QRect Place = Overlay->geometry();

  Window->PCMain->setCurrentWidget(Window->TabSheet8);
  EXPECT_TRUE(Overlay->isHidden());
  Window->PCMain->setCurrentWidget(Window->TSDesign);
  EXPECT_FALSE(Overlay->isHidden());
  EXPECT_EQ(Overlay->geometry(), Place);
}

TEST_F(WindowTest, StageScaleFollowsTheFourToThreeRule) {
  CreateDesigner();
  struct TCase {
    double StageWidth, StageHeight;
    int ControlWidth, ControlHeight;
    double Scale;
  };
  for (const TCase& C :
       {TCase{640, 480, 800, 600, 1.25}, TCase{640, 480, 1000, 600, 1.25},
        TCase{640, 480, 600, 600, 0.9375}, TCase{1280, 720, 1024, 700, 700.0 / 720.0},
        TCase{0, 480, 600, 600, 1.0}, TCase{0, 480, 1000, 600, 1.25}}) {
    LayOut(C.StageWidth, C.StageHeight, C.ControlWidth, C.ControlHeight);
    EXPECT_DOUBLE_EQ(Window->FScaleX, C.Scale) << C.ControlWidth << "x" << C.ControlHeight;
    EXPECT_DOUBLE_EQ(Window->FScaleY, C.Scale) << C.ControlWidth << "x" << C.ControlHeight;
  }
}

TEST_F(WindowTest, AStageSqueezedToNothingKeepsItsLastScale) {
  CreateDesigner();
  LayOut(640, 480, 800, 600);
  LayOut(640, 480, 800, 0);
  EXPECT_DOUBLE_EQ(Window->FScaleX, 1.25);
  LayOut(640, 480, 0, 600);
  EXPECT_DOUBLE_EQ(Window->FScaleY, 1.25);
  EXPECT_TRUE(std::isfinite(Window->FScaleX) && std::isfinite(Window->FScaleY));
}

TEST_F(WindowTest, TheBackgroundMovieFixesTheStageUnits) {
  CreateDesigner();
  // The demo background is 800 x 600.
  EXPECT_DOUBLE_EQ(Window->FStageWidth, 800);
  EXPECT_DOUBLE_EQ(Window->FStageHeight, 600);

  Window->RubberBand = QRect(QPoint(1, 2), QPoint(30, 40));
  Window->ShockwaveFlash->resize(1000, 600);
  Window->LoadBackgroundMovie(ExeDir + "Background/main.swf");
  EXPECT_EQ(Window->ShockwaveFlash->Movie(), ExeDir + "Background/main.swf");
  EXPECT_EQ(Window->RubberBand, QRect(QPoint(0, 0), QPoint(0, 0)));
  EXPECT_DOUBLE_EQ(Window->FScaleX, 600 / Window->FStageHeight);
}

TEST_F(WindowTest, AnUnreadableBackgroundLeavesTheStageAsItWas) {
  CreateDesigner();
  const QString Movie = Window->ShockwaveFlash->Movie();
  Window->RubberBand = QRect(QPoint(1, 2), QPoint(30, 40));

  EXPECT_ANY_THROW(Window->LoadBackgroundMovie(ExeDir + "Background/none.swf"));

  EXPECT_EQ(Window->ShockwaveFlash->Movie(), Movie);
  EXPECT_EQ(Window->RubberBand, QRect(QPoint(1, 2), QPoint(30, 40)));
}

TEST_F(WindowTest, QuitClosesAtOnceAndFreesTheOverlay) {
  CreateDesigner();
  Window->show();
  Window->AllClose->trigger();

  EXPECT_FALSE(Window->isVisible());
  EXPECT_EQ(Window->FormPaint, nullptr);
  EXPECT_TRUE(Dialogs.Asked.isEmpty());
  Window->UpdateStageLayout(); // no overlay to place any more
}

TEST_F(WindowTest, ClearAllDoesNothing) {
  CreateDesigner();
  const QStringList Asked = Dialogs.Asked;
  const QString Movie = Window->ShockwaveFlash->Movie();
  ASSERT_TRUE(Window->ClearAll->isEnabled());
  Window->ClearAll->trigger();
  EXPECT_EQ(Dialogs.Asked, Asked);
  EXPECT_EQ(Window->ShockwaveFlash->Movie(), Movie);
  EXPECT_EQ(Window->LBPages->count(), 1);
}

TEST_F(WindowTest, KeysReachTheKeyHandlersOnceFromControlsAndFromTheOverlay) {
  CreateDesigner();
  Window->show();
  QTest::keyPress(Window->SGElements, Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_TRUE(Window->FShiftDown);
  QTest::keyRelease(Window->SGElements, Qt::Key_Shift);
  EXPECT_FALSE(Window->FShiftDown);

  QTest::keyPress(Window->FormPaint, Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_TRUE(Window->FShiftDown);
  QTest::keyRelease(Window->FormPaint, Qt::Key_Shift);
  EXPECT_FALSE(Window->FShiftDown);
}

TEST_F(WindowTest, AKeyThatTheFocusedControlPassesOnIsPreviewedOnce) {
  CreateDesigner();
  Window->show();
  TFlashElement* Element = Window->CreateElementFromRepository(101, "main");
  ASSERT_NE(Element, nullptr);
  Window->LBPagesClick(Window->LBPages);
  ASSERT_EQ(Window->ListBoxItem->count(), 1);
  Window->ListBoxItem->item(0)->setSelected(true);
  const double X = Element->FX;

  // The status bar ignores keys, so the event travels up through its parents.
  QTest::keyClick(Window->StatusBar, Qt::Key_Right);
  EXPECT_DOUBLE_EQ(Element->FX, X + 1);
  QTest::keyClick(Window->FormPaint, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(Element->FX, X + 11);
}

TEST_F(WindowTest, TheOverlayPassesTheMouseToTheStageHandlers) {
  CreateDesigner();
  Window->show();
  QTest::mousePress(Window->FormPaint, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_TRUE(Window->StageMouseDown);
  QTest::mouseRelease(Window->FormPaint, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_FALSE(Window->StageMouseDown);
}

TEST_F(WindowTest, ResettingThePagesEmptiesTheObjectsListWithoutAPageClick) {
  CreateDesigner();
  Window->show();
  // An element on "all" that a page click would list.
  ASSERT_NE(Window->CreateElementFromRepository(101, "main"), nullptr);
  Window->LBPages->addItem("Main");
  Window->LBPages->setCurrentRow(1);
  ASSERT_EQ(Window->ListBoxItem->count(), 1);

  Window->ResetPageList();

  EXPECT_EQ(Window->LBPages->count(), 1);
  EXPECT_EQ(Window->LBPages->currentRow(), 0);
  EXPECT_TRUE(Window->LBPages->item(0)->isSelected());
  EXPECT_EQ(Window->ListBoxItem->count(), 0);
}

TEST_F(WindowTest, PanelWidthIsRestoredWithinItsLimitsAndWrittenOnClose) {
  struct TCase {
    QVariant Stored;
    int Width;
  };
  for (const TCase& C : {TCase{250, 250}, TCase{500, 300}, TCase{20, 160}, TCase{{}, 169}}) {
    QFile::remove(WorkDir + "Vistaloom.ini");
    if (C.Stored.isValid())
      WriteStoredWidth(C.Stored);
    CreateDesigner();
    Window->show();
    QApplication::processEvents();
    EXPECT_EQ(Window->PanelPropery->width(), C.Width) << C.Stored.toString().toStdString();

    Window->close();
    QSettings Storage(WorkDir + "Vistaloom.ini", QSettings::IniFormat);
    EXPECT_EQ(Storage.value("TFormVistaloom/FormVersion").toInt(), 0);
    EXPECT_EQ(Storage.value("TFormVistaloom/PanelPropery_Width").toInt(), C.Width);
  }
}

TEST_F(WindowTest, AWindowNeverShownWritesNoWidth) {
  CreateDesigner();
  Window->close();
  EXPECT_FALSE(QFile::exists(WorkDir + "Vistaloom.ini"));
}

} // namespace
