#include "SelectionFixture.h"
#include "designer/InputBlock.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <stdexcept>

// The debug pages: the "test" item's stage mouse hook, the developer buttons and input
// blocking, worked through the shown designer.
class DebugTest : public SelectionTest {
protected:
  // The designer shown and active, so its shortcuts reach it; scale 1 as in SelectionTest.
  TFormVistaloom& CreateActive(const QStringList& args = {}) {
    CreateDesigner(args);
    Window->FRepositoryDir = DemoRepositoryDir();
    Window->LoadRepository(Window->FRepositoryDir);
    Window->show();
    Window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    // The stage layout after the window came to rest would reset the scale.
    QTest::qWait(400);
    Window->FScaleX = Window->FScaleY = 1.0;
    return *Window;
  }

  // Mouse on the stage's own widget, at stage-control pixels.
  void ClickStage(QPoint at) { QTest::mouseClick(Window->ShockwaveFlash, Qt::LeftButton, {}, at); }
  int ScreenX(QPoint at) const { return Window->ShockwaveFlash->mapToGlobal(at).x(); }
  QString Caption() const { return Window->windowTitle(); }
};

TEST_F(DebugTest, CtrlBSwitchesTheStageHookWithAndWithoutTheDebugSwitch) {
  for (const QStringList& args : {QStringList{}, QStringList{"debug"}}) {
    CreateActive(args);
    EXPECT_EQ(Window->PageControl2->isHidden(), args.isEmpty());
    QTest::keyClick(Window.get(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_TRUE(Window->TestItem->isChecked());
    ClickStage({30, 40});
    EXPECT_EQ(Caption(), "test call " + QString::number(ScreenX({30, 40})));

    // The context-menu item switches it off again.
    Window->setWindowTitle("off");
    Window->TestItem->trigger();
    EXPECT_FALSE(Window->TestItem->isChecked());
    ClickStage({30, 40});
    EXPECT_EQ(Caption(), "off");
  }
}

// The hooked point is taken relative to the stage's screen origin at the stage's scale; only
// the stage's own widget is hooked, and a hit sets the flag alone and frames the element.
TEST_F(DebugTest, HookedMouseFramesTheElementUnderTheStagePoint) {
  CreateActive();
  TFlashElement* element = Place("button", 100, 100, 40, 40);
  Window->testClick(Window->TestItem);

  ClickStage({300, 50});
  EXPECT_EQ(Caption(), "test call " + QString::number(ScreenX({300, 50})));
  EXPECT_FALSE(element->FSelected);

  // A drag's moves are reported too.
  QTest::mousePress(Window->ShockwaveFlash, Qt::LeftButton, {}, {300, 50});
  QTest::mouseMove(Window->ShockwaveFlash, {110, 110});
  EXPECT_EQ(Caption(), "select");
  EXPECT_TRUE(element->FSelected);
  EXPECT_EQ(Window->FElements.FSelCount, 0);
  EXPECT_TRUE(ListSelection().isEmpty());
  EXPECT_EQ(LayerPixel(FrameTopLeft(100, 100)), HandleLime);
  QTest::mouseRelease(Window->ShockwaveFlash, Qt::LeftButton, {}, {110, 110});

  element->FSelected = false;
  Window->FScaleX = Window->FScaleY = 2.0;
  ClickStage({110, 110});
  EXPECT_FALSE(element->FSelected);
  ClickStage({230, 230});
  EXPECT_TRUE(element->FSelected);

  // The window moves: the stage origin follows its global position once the move has ended.
  element->FSelected = false;
  const QPoint origin(Window->StageOriginX, Window->StageOriginY);
  Window->move(Window->pos() + QPoint(37, 21));
  const auto stageOrigin = [&] { return Window->ShockwaveFlash->mapToGlobal(QPoint()); };
  EXPECT_TRUE(QTest::qWaitFor([&] {
    return QPoint(Window->StageOriginX, Window->StageOriginY) == stageOrigin() &&
           stageOrigin() != origin;
  }));
  Window->FScaleX = Window->FScaleY = 1.0;
  ClickStage({139, 139});
  EXPECT_TRUE(element->FSelected);

  // The overlay over the stage is another widget: its mouse is not reported.
  Window->setWindowTitle("overlay");
  Click({300, 50});
  EXPECT_EQ(Caption(), "overlay");
}

TEST_F(DebugTest, ButtonsClearFlagsKeepListSelectionAndShowTheOverlay) {
  CreateActive({"debug"});
  TFlashElement* a = Place("button", 100, 100);
  TFlashElement* b = Place("lamp", 200, 100);
  Press({50, 50});
  MoveTo({300, 200});
  Release({300, 200});
  ASSERT_EQ(ListSelection().size(), 2);

  Window->Button2->click();
  EXPECT_FALSE(a->FSelected);
  EXPECT_FALSE(b->FSelected);
  EXPECT_EQ(ListSelection().size(), 2);
  EXPECT_EQ(qAlpha(LayerPixel(FrameTopLeft(100, 100))), 0);

  Window->PCMain->setCurrentWidget(Window->TabSheet8);
  ASSERT_TRUE(Overlay()->isHidden());
  Window->Button5->click();
  EXPECT_FALSE(Overlay()->isHidden());
}

// The hidden panel's drawings: the test movie, the focus rectangles copied into Image1 with
// the stage, and Image1's picture on PanelDrow.
TEST_F(DebugTest, HiddenPanelButtonsDrawOnTheStageAndCopyItsPicture) {
  CreateActive();
  ASSERT_TRUE(QFile::copy(DemoRepositoryDir() + "lamp.swf", ExeDir + "test.swf"));
  Window->RubberBand = QRect(5, 5, 10, 10);
  Window->Button3->click();
  EXPECT_EQ(Window->ShockwaveFlash->Movie(), ExeDir + "test.swf");
  EXPECT_EQ(Window->Image1->pixmap().size(), Window->ShockwaveFlash->size());
  EXPECT_EQ(Window->RubberBand, QRect(QPoint(0, 0), QPoint(0, 0)));

  Window->Button6->click();
  const QRgb focusDot = 0xFF808080;
  EXPECT_EQ(LayerPixel({64, 84}), focusDot);
  EXPECT_EQ(Window->Image1->pixmap().toImage().pixel(10, 10), focusDot);

  Window->Button1->click();
  EXPECT_EQ(Window->PanelDrow->grab().toImage().pixel(13, 13), focusDot);
}

TEST_F(DebugTest, InputBlockingEndsWithItsOperationOrAtButton7) {
  CreateActive({"debug"});
  Window->PageControl2->setCurrentWidget(Window->TabSheet7);
  Window->Edit6->clear();
  {
    TInputBlock block;
    QTest::keyClicks(Window->Edit6, "ab");
    QTest::mouseClick(Window->Button7, Qt::LeftButton);
    EXPECT_TRUE(TInputBlock::InputBlocked());
    EXPECT_EQ(Window->Edit6->text(), "");
  }
  QTest::keyClicks(Window->Edit6, "ab");
  EXPECT_EQ(Window->Edit6->text(), "ab");

  // An operation that fails still gives the input back before its error is shown.
  Window->Guarded([] {
    TInputBlock block;
    throw std::runtime_error("failed while blocked");
  });
  EXPECT_EQ(Dialogs.Exceptions, QStringList{"failed while blocked"});
  EXPECT_FALSE(TInputBlock::InputBlocked());

  // Button7 ends nested blocks at once; their later ends do not disturb a new block.
  auto outer = std::make_unique<TInputBlock>();
  auto inner = std::make_unique<TInputBlock>();
  Window->Button7->click();
  EXPECT_FALSE(TInputBlock::InputBlocked());
  TInputBlock next;
  inner.reset();
  outer.reset();
  EXPECT_TRUE(TInputBlock::InputBlocked());
}

// Only a move where no child covers the window is its own; a child's move passed up is not.
TEST_F(DebugTest, WindowsOwnMouseMoveShowsThePackedPosition) {
  CreateActive();
  const auto move = [this](QPoint at) {
    QMouseEvent event(QEvent::MouseMove, at, Window->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, {});
    QCoreApplication::sendEvent(Window.get(), &event);
  };
  move({Window->width() + 5, 2});
  EXPECT_EQ(Caption(), QString::number((2 << 16) | (Window->width() + 5)));
  Window->setWindowTitle("child");
  move(Window->centralWidget()->geometry().center());
  EXPECT_EQ(Caption(), "child");
}

// While "Actions" is shown, Button5 shows the overlay over the area where the stage shows,
// also after a resize on that tab: it lies over the tab's own controls there.
TEST_F(DebugTest, Button5ShowsTheOverlayOverTheStageAreaOnTheActionsTab) {
  CreateActive({"debug"});
  ClickTab(Window->PCMain, Window->TabSheet8);
  Window->resize(Window->width() - 120, Window->height() - 90);
  PumpEvents();
  ASSERT_FALSE(Overlay()->isVisible());

  ClickTab(Window->PageControl2, Window->TabSheet7);
  QTest::mouseClick(Window->Button5, Qt::LeftButton);
  ASSERT_TRUE(Overlay()->isVisible());
  const QRect page(Window->TabSheet8->mapToGlobal(QPoint()), Window->TabSheet8->size());
  const QRect overlay(Overlay()->mapToGlobal(QPoint()), Overlay()->size());
  EXPECT_EQ(overlay, page);
  EXPECT_EQ(QApplication::widgetAt(overlay.center()), Overlay());

  ClickTab(Window->PCMain, Window->TSDesign);
  EXPECT_TRUE(Overlay()->isVisible());
  EXPECT_EQ(QRect(Overlay()->mapToGlobal(QPoint()), Overlay()->size()),
            QRect(Window->ShockwaveFlash->mapToGlobal(QPoint()), Window->ShockwaveFlash->size()));
  ClickTab(Window->PCMain, Window->TabSheet8);
  EXPECT_FALSE(Overlay()->isVisible());
}
