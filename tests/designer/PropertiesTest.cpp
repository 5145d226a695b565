#include "SelectionFixture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QListWidget>
#include <QStandardItemModel>
#include <QTabWidget>

// The Properties grid of one element: the eleven rows, read-only rows and pick lists, and
// the scale rows.
TEST_F(SelectionTest, PropertiesShowTheElevenRowsOfTheLastSelectedElement) {
  CreateShown();
  InsertPage("Main");
  TFlashElement* element = Place("button", 10.5, 20, 240, 80); // measured 120 x 40
  element->FName = "power";
  Click({50, 50});

  TValueListEditor* grid = Window->ValueListEditor;
  QStringList keys;
  for (int row = 0; row < grid->RowCount(); ++row)
    keys << grid->Key(row);
  EXPECT_EQ(keys, (QStringList{"object id", "type", "name", "x", "y", "width", "height", "xscale",
                               "yscale", "Page", "visible"}));
  EXPECT_EQ(Shown("object id"), element->GetLevelName());
  EXPECT_EQ(Shown("type"), "button");
  EXPECT_EQ(Shown("name"), "power");
  EXPECT_EQ(Shown("x"), FloatToText(10.5));
  EXPECT_EQ(Shown("xscale"), "200");
  EXPECT_EQ(Shown("yscale"), "200");
  EXPECT_EQ(Shown("Page"), "Main");
  EXPECT_EQ(Shown("visible"), "True");
  EXPECT_TRUE(grid->ReadOnly(grid->FindRow("object id")));
  EXPECT_TRUE(grid->ReadOnly(grid->FindRow("type")));
  EXPECT_FALSE(grid->ReadOnly(grid->FindRow("x")));
  EXPECT_EQ(grid->PickList(grid->FindRow("Page")), (QStringList{"all", "Main"}));
  EXPECT_EQ(grid->PickList(grid->FindRow("visible")), (QStringList{"True", "False"}));
  EXPECT_EQ(grid->currentRow(), 0);

  // The clip's item properties, and the suffix grid under the same condition.
  EXPECT_EQ(Window->VLEProp->Values("caption"), "Power");
  EXPECT_TRUE(Window->PanelFlashSuffiz->isVisibleTo(Window.get()));
  EXPECT_EQ(Window->VLEFlashSuffix->RowCount(), 0);

  // A clip measured 0 wide shows a scale of 0 instead of faulting.
  element->FOrigWidth = 0;
  Window->ShowElementProperties(element);
  EXPECT_EQ(Shown("xscale"), "0");
}

// Leaving an edited cell applies the value to every element selected in the Objects list;
// only the last one stays framed.
TEST_F(SelectionTest, EditedXAppliesToTheWholeSelectionWhenTheCellIsLeft) {
  CreateShown();
  TFlashElement* a = Place("button", 10, 10);
  TFlashElement* b = Place("lamp", 100, 60);
  TFlashElement* c = Place("label", 200, 110);
  Click({20, 20});
  ShiftClick({110, 70});
  ShiftClick({210, 120});
  ASSERT_EQ(ListSelection(), (QList<TFlashElement*>{a, b, c}));

  TypeInto(Window->ValueListEditor, "x", "40");
  EXPECT_DOUBLE_EQ(a->FX, 10) << "nothing applied before the cell is left";
  LeaveCell(Window->ValueListEditor);

  for (TFlashElement* element : {a, b, c}) {
    EXPECT_DOUBLE_EQ(element->FX, 40);
    EXPECT_EQ(Window->ShockwaveFlash->TGetProperty(element->GetLevelName(), 0), "40");
  }
  EXPECT_EQ(LayerPixel(FrameTopLeft(40, 110)), HandleLime);
  EXPECT_EQ(qAlpha(LayerPixel(FrameTopLeft(40, 10))), 0);
  EXPECT_EQ(Shown("x"), "40");
}

TEST_F(SelectionTest, NumbersThatDoNotParseAreIgnoredAndEnterReappliesTheShownValue) {
  CreateShown();
  TFlashElement* element = Place("button", 10, 10);
  Click({20, 20});
  TypeInto(Window->ValueListEditor, "width", "abc");
  LeaveCell(Window->ValueListEditor);
  EXPECT_DOUBLE_EQ(element->FWidth, 40);
  EXPECT_EQ(Shown("width"), "abc") << "the grid keeps the text as typed";
  EXPECT_TRUE(Dialogs.Messages.isEmpty());
  EXPECT_TRUE(Dialogs.Exceptions.isEmpty());

  // A position far beyond any pixel still frames without faulting.
  TypeInto(Window->ValueListEditor, "x", "1E300");
  LeaveCell(Window->ValueListEditor);
  EXPECT_DOUBLE_EQ(element->FX, 1e300);
  EXPECT_TRUE(Dialogs.Exceptions.isEmpty());

  // Enter on an unchanged row applies what it shows, rounded to two decimals.
  element->FY = 12.345;
  Window->ShowElementProperties(element);
  Window->ValueListEditor->SetCurrentRow(Window->ValueListEditor->FindRow("y"));
  QTest::keyClick(Window->ValueListEditor, Qt::Key_Return);
  EXPECT_DOUBLE_EQ(element->FY, 12.35);
}

// "visible" and "Page" change only by picking: letters typed on them, with the row's list
// closed or open, leave the element shown and on its page. The Properties grid's rows move
// by dragging their key; an edit still reaches the moved row's key, and the next display
// shows the rows in their own order again.
TEST_F(SelectionTest, PickListRowsRefuseTypingAndPropertyRowsMove) {
  CreateShown();
  InsertPage("Main");
  TFlashElement* element = Place("button", 10, 10);
  Click({20, 20});
  TValueListEditor* grid = Window->ValueListEditor;
  grid->setFocus();
  grid->SetCurrentRow(grid->FindRow("visible"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F);
  grid->SetCurrentRow(grid->FindRow("Page"));
  QTest::keyClick(grid, Qt::Key_F2);
  auto* pageList = grid->viewport()->findChild<QComboBox*>();
  ASSERT_NE(pageList, nullptr);
  QTest::keyClick(pageList, Qt::Key_A);
  grid->SetCurrentRow(grid->FindRow("x"));
  Window->ListBoxItem->setFocus();
  EXPECT_TRUE(element->FShown);
  EXPECT_EQ(element->FPage, "Main");
  EXPECT_EQ(Shown("visible"), "True");
  EXPECT_EQ(Shown("Page"), "Main");

  const auto keyCell = [grid](const char* key) {
    return grid->visualItemRect(grid->item(grid->FindRow(key), 0)).center();
  };
  const auto shownKey = [grid](int place) {
    return grid->Key(grid->verticalHeader()->logicalIndex(place));
  };
  const QPoint from = keyCell("x");
  const QPoint to = keyCell("object id");
  QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, from);
  QTest::mouseMove(grid->viewport(), to);
  QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, to);
  EXPECT_EQ(shownKey(0), "x");
  EXPECT_EQ(shownKey(1), "object id");
  TypeInto(grid, "x", "15");
  LeaveCell(grid);
  EXPECT_EQ(element->FX, 15);

  Click({20, 20});
  EXPECT_EQ(shownKey(0), "object id");
  EXPECT_EQ(shownKey(3), "x");
}
