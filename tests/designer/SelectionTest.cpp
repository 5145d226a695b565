#include "SelectionFixture.h"

#include <QListWidget>

// Clicks on the stage: the Shift rule, strict borders and what the property grid shows.
TEST_F(SelectionTest, ClicksSelectByTheShiftRuleAndFallThroughBorders) {
  CreateShown();
  TFlashElement* lower = Place("button", 100, 100, 100, 100);
  TFlashElement* upper = Place("lamp", 150, 150, 100, 100);

  Click({120, 120});
  EXPECT_EQ(ListSelection(), QList<TFlashElement*>{lower});
  EXPECT_EQ(Shown("object id"), lower->GetLevelName());

  // On the upper element's left border the click falls through to the lower one.
  Click({150, 180});
  EXPECT_EQ(ListSelection(), QList<TFlashElement*>{lower});
  EXPECT_FALSE(upper->FSelected);

  ShiftClick({180, 220});
  EXPECT_TRUE(lower->FSelected);
  EXPECT_TRUE(upper->FSelected);
  EXPECT_EQ(ListSelection().size(), 2);

  // Exactly on the lower element's top-left corner nothing is hit: the selection is cleared.
  Click({100, 100});
  EXPECT_TRUE(ListSelection().isEmpty());
  EXPECT_FALSE(Window->PanelProperty->isVisibleTo(Window.get()));
}

TEST_F(SelectionTest, ShiftClickOnSelectedElementDeselectsItAndStillDragsTheRest) {
  CreateShown();
  TFlashElement* a = Place("button", 50, 50);
  TFlashElement* b = Place("lamp", 200, 50);
  Click({60, 60});
  ShiftClick({210, 60});
  ASSERT_EQ(ListSelection().size(), 2);

  QTest::keyPress(Overlay(), Qt::Key_Shift, Qt::ShiftModifier);
  Press({60, 60});
  QTest::keyRelease(Overlay(), Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_FALSE(a->FSelected);
  EXPECT_TRUE(Window->FDragging);
  // The grid shows the element just deselected until the mouse-up.
  EXPECT_EQ(Shown("object id"), a->GetLevelName());
  MoveTo({90, 80});
  Release({90, 80});

  EXPECT_DOUBLE_EQ(a->FX, 50);
  EXPECT_DOUBLE_EQ(b->FX, 230);
  EXPECT_DOUBLE_EQ(b->FY, 70);
  EXPECT_EQ(Shown("object id"), b->GetLevelName());
}

// A drag: frames follow the pointer, the clips move at the mouse-up, one "Move" entry.
TEST_F(SelectionTest, DragMovesAtReleaseWithFramesFollowingAndOneMoveEntry) {
  CreateShown();
  TFlashElement* element = Place("button", 100, 100);
  Press({110, 110});
  EXPECT_EQ(LayerPixel(FrameTopLeft(100, 100)), HandleLime);

  MoveTo({140, 130});
  EXPECT_EQ(LayerPixel(FrameTopLeft(100, 100, {30, 20})), HandleLime);
  EXPECT_EQ(qAlpha(LayerPixel(FrameTopLeft(100, 100))), 0);
  EXPECT_DOUBLE_EQ(element->FX, 100);
  EXPECT_EQ(Window->ShockwaveFlash->TGetProperty(element->GetLevelName(), 0), "100");

  Release({140, 130});
  EXPECT_DOUBLE_EQ(element->FX, 130);
  EXPECT_DOUBLE_EQ(element->FY, 120);
  EXPECT_EQ(Window->ShockwaveFlash->TGetProperty(element->GetLevelName(), 0), "130");
  EXPECT_EQ(HistoryCount("Move"), 1);
  EXPECT_EQ(Window->DragOffset, QPoint());
  EXPECT_EQ(LayerPixel(FrameTopLeft(130, 120)), HandleLime);

  // A move along one axis is a real move too; a click without moving is none.
  Press({140, 130});
  MoveTo({160, 130});
  Release({160, 130});
  Click({160, 130});
  EXPECT_EQ(HistoryCount("Move"), 2);
}

TEST_F(SelectionTest, EscapeCancelsTheDrag) {
  CreateShown();
  TFlashElement* element = Place("button", 100, 100);
  Press({110, 110});
  MoveTo({160, 150});
  QTest::keyClick(Overlay(), Qt::Key_Escape);

  EXPECT_FALSE(Window->FDragging);
  EXPECT_TRUE(Window->StageMouseDown);
  EXPECT_EQ(Window->DragOffset, QPoint());
  EXPECT_EQ(LayerPixel(FrameTopLeft(100, 100)), HandleLime);
  Release({160, 150});
  EXPECT_DOUBLE_EQ(element->FX, 100);
  EXPECT_EQ(HistoryCount("Move"), 0);
}

// The band selects the listed, shown elements of the selected page whose centres lie
// strictly inside it; on another page an element of "all" is selected only by a click.
TEST_F(SelectionTest, BandSelectsByCentresOnTheCurrentPageOnly) {
  CreateShown();
  TFlashElement* common = Place("button", 20, 20);
  InsertPage("Main");
  TFlashElement* inside = Place("lamp", 100, 100);
  TFlashElement* edge = Place("label", 200, 100); // centre (220, 120) on the band's border
  ASSERT_EQ(common->FPage, "all");
  ASSERT_EQ(inside->FPage, "Main");

  Press({10, 10});
  MoveTo({150, 150});
  const QPoint beforeRelease = QPoint(30, 10);
  EXPECT_NE(qAlpha(LayerPixel(beforeRelease)), 0) << "band drawn";
  MoveTo({220, 170});
  Release({220, 170});

  EXPECT_TRUE(inside->FSelected);
  EXPECT_FALSE(common->FSelected);
  EXPECT_FALSE(edge->FSelected);
  EXPECT_EQ(ListSelection(), QList<TFlashElement*>{inside});
  EXPECT_EQ(Window->RubberBand, QRect(QPoint(0, 0), QPoint(0, 0)));

  Click({40, 40});
  EXPECT_TRUE(common->FSelected);
  EXPECT_EQ(ListSelection(), QList<TFlashElement*>{common});
}

TEST_F(SelectionTest, RubberBandIsAnXorOutlineThatASecondDrawingErases) {
  CreateShown();
  const QImage before = Window->FStageCanvas->copy();
  const QRect band(QPoint(40, 30), QPoint(10, 90)); // drawn from the bottom-right corner
  Window->DrawRubberBand(band);
  EXPECT_NE(*Window->FStageCanvas, before);
  EXPECT_NE(qAlpha(LayerPixel({10, 30})), 0);
  EXPECT_NE(qAlpha(LayerPixel({40, 90})), 0);
  EXPECT_EQ(qAlpha(LayerPixel({25, 60})), 0) << "only the outline";
  Window->DrawRubberBand(band);
  EXPECT_EQ(*Window->FStageCanvas, before);

  // Equal corners draw nothing; a band of zero width is drawn.
  Window->DrawRubberBand(QRect(QPoint(20, 20), QPoint(20, 20)));
  EXPECT_EQ(*Window->FStageCanvas, before);
  Window->DrawRubberBand(QRect(QPoint(20, 20), QPoint(20, 40)));
  EXPECT_NE(*Window->FStageCanvas, before);
}

// Arrows nudge the Objects list's selection by 1 or, with Ctrl, 10 stage units wherever the
// focus is; no history entry.
TEST_F(SelectionTest, ArrowsNudgeWhileThePropertyGridHasTheFocus) {
  CreateShown();
  TFlashElement* element = Place("button", 100, 100);
  Click({110, 110});
  const int entries = Window->LBHistory->count();
  Window->ValueListEditor->setFocus();

  QTest::keyClick(Window->ValueListEditor, Qt::Key_Right);
  QTest::keyClick(Window->ValueListEditor, Qt::Key_Down, Qt::ControlModifier);
  QTest::keyClick(Window->ValueListEditor, Qt::Key_Left, Qt::ControlModifier);
  QTest::keyClick(Window->ValueListEditor, Qt::Key_Up);

  EXPECT_DOUBLE_EQ(element->FX, 91);
  EXPECT_DOUBLE_EQ(element->FY, 109);
  EXPECT_EQ(Window->ShockwaveFlash->TGetProperty(element->GetLevelName(), 1), "109");
  EXPECT_EQ(Window->LBHistory->count(), entries);

  // After Deselect the list has no selection: arrows move nothing.
  Window->DeselectExecute(Window->Deselect);
  QTest::keyClick(Window->ValueListEditor, Qt::Key_Right);
  EXPECT_DOUBLE_EQ(element->FX, 91);
  EXPECT_TRUE(element->FSelected);
  EXPECT_EQ(ListSelection(), QList<TFlashElement*>{element}) << "the refresh selects it again";
}

TEST_F(SelectionTest, DeleteKeyRemovesTheListSelectionWithOneHistoryEntry) {
  CreateShown();
  TFlashElement* kept = Place("button", 20, 20);
  TFlashElement* removed = Place("lamp", 100, 100);
  Window->ListBoxItem->setFocus();

  QTest::keyClick(Window->ListBoxItem, Qt::Key_Delete);
  EXPECT_EQ(HistoryCount("Delete Element"), 0);
  EXPECT_EQ(Window->ListBoxItem->count(), 2);

  Click({110, 110});
  Window->ListBoxItem->setFocus();
  QTest::keyClick(Window->ListBoxItem, Qt::Key_Delete);
  EXPECT_EQ(HistoryCount("Delete Element"), 1);
  EXPECT_EQ(Window->FElements.FItems, QList<TFlashElement*>{kept});
  EXPECT_FALSE(removed->FShown);
  EXPECT_EQ(Window->ListBoxItem->count(), 1);
  EXPECT_EQ(Window->ListBoxElement(0), kept);
}

// A click in the Objects list selects items of the page itself, not those of "all".
TEST_F(SelectionTest, ObjectsListClickSelectsOnlyElementsOfTheShownPage) {
  CreateShown();
  TFlashElement* common = Place("button", 20, 20);
  InsertPage("Main");
  TFlashElement* own = Place("lamp", 100, 100);
  Window->ListBoxItem->selectAll();

  EXPECT_TRUE(own->FSelected);
  EXPECT_FALSE(common->FSelected);
  EXPECT_EQ(ListSelection(), QList<TFlashElement*>{own});
  EXPECT_EQ(Shown("object id"), own->GetLevelName());
}

// Enter, Ins and Del act only from their own controls; Shift released in the Objects list
// stays held for the next stage click.
TEST_F(SelectionTest, KeysReachTheirCommandsOnlyFromTheirControls) {
  CreateShown();
  Window->SGElements->setCurrentCell(RepositoryRow("lamp"), 0);
  Window->ListBoxItem->setFocus();
  QTest::keyClick(Window->ListBoxItem, Qt::Key_Return);
  EXPECT_EQ(Window->FElements.Count(), 0);
  Window->SGElements->setFocus();
  QTest::keyClick(Window->SGElements, Qt::Key_Return);
  PumpEvents();
  ASSERT_EQ(Window->FElements.Count(), 1);

  Dialogs.InputAnswers.push_back({true, "Main"});
  QTest::keyClick(Window->SGElements, Qt::Key_Insert);
  EXPECT_EQ(PageList(), QStringList{"all"});
  Window->LBPages->setFocus();
  QTest::keyClick(Window->LBPages, Qt::Key_Insert);
  EXPECT_EQ(PageList(), (QStringList{"all", "Main"}));

  // Del on the overlay deletes the selection.
  TFlashElement* element = Window->FElements.FItems.first();
  SelectPage(0);
  element->SetX(100);
  element->SetY(100);
  Click({110, 110});
  ASSERT_EQ(ListSelection(), QList<TFlashElement*>{element});
  QTest::keyClick(Overlay(), Qt::Key_Delete);
  EXPECT_EQ(Window->FElements.Count(), 0);

  Window->ListBoxItem->setFocus();
  QTest::keyPress(Window->ListBoxItem, Qt::Key_Shift, Qt::ShiftModifier);
  QTest::keyRelease(Window->ListBoxItem, Qt::Key_Shift);
  EXPECT_TRUE(Window->FShiftDown);
}
