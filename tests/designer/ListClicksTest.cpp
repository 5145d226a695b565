#include "SelectionFixture.h"

#include <QListWidget>
#include <QSignalSpy>
#include <QTableWidget>

namespace {

void ClickRow(QListWidget* list, int row) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->item(row)).center());
}

} // namespace

// Every click in the page list is a page click, also one on the page already selected: it
// shows the page again, with what changed since. A click on another page and a move by the
// keyboard each show the page once.
TEST_F(SelectionTest, EveryClickInThePageListShowsThePageOnce) {
  CreateShown();
  InsertPage("Main");
  TFlashElement* element = Place("button", 10, 10);
  QListWidget* pages = Window->LBPages;
  QListWidget* objects = Window->ListBoxItem;
  QSignalSpy refills(objects->model(), &QAbstractItemModel::modelReset);

  element->FName = "power";
  ClickRow(pages, 1);
  EXPECT_EQ(refills.count(), 1);
  ASSERT_EQ(objects->count(), 1);
  EXPECT_EQ(objects->item(0)->text(), element->GetLevelName().mid(6) + "-power-button");

  ClickRow(pages, 0);
  EXPECT_EQ(refills.count(), 2) << "a click on another page shows it once";
  EXPECT_EQ(objects->count(), 0);
  EXPECT_FALSE(element->FShown);

  QTest::keyClick(pages, Qt::Key_Down);
  EXPECT_EQ(pages->currentRow(), 1);
  EXPECT_EQ(refills.count(), 3);
  EXPECT_TRUE(element->FShown);
  QTest::keyClick(pages, Qt::Key_Up);
  EXPECT_EQ(refills.count(), 4);
  EXPECT_EQ(objects->count(), 0);
}

// The grid makes a row current when a tab switch gives it the focus; that previews nothing.
// A row the user selects, by a click (the current row included) or a key, is previewed.
TEST_F(SelectionTest, TheElementsTabPreviewsOnlyARowTheUserSelects) {
  CreateShown();
  QTableWidget* grid = Window->SGElements;
  ASSERT_GE(grid->rowCount(), 2);
  Window->ListBoxItem->setFocus();
  ClickTab(Window->PageControl, Window->TSElements);
  ASSERT_EQ(QApplication::focusWidget(), grid);
  EXPECT_EQ(grid->currentRow(), 0);
  EXPECT_EQ(Window->SFPreview->Movie(), "");

  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                    grid->visualItemRect(grid->item(0, 0)).center());
  EXPECT_EQ(Window->SFPreview->Movie(), Window->RowClipFile(0));
  QTest::keyClick(grid, Qt::Key_Down);
  EXPECT_EQ(Window->SFPreview->Movie(), Window->RowClipFile(1));

  // A refilled grid previews nothing and selects nothing: the next click on any row shows it.
  Window->LoadRepository(Window->FRepositoryDir);
  EXPECT_EQ(Window->SFPreview->Movie(), "");
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                    grid->visualItemRect(grid->item(1, 0)).center());
  EXPECT_EQ(Window->SFPreview->Movie(), Window->RowClipFile(1));
}

// Every click in the Objects list is a list click, also one on the row already selected:
// after a nudge it shows the element's new place in the grid. Keys select as before.
TEST_F(SelectionTest, EveryClickInTheObjectsListRunsTheListClick) {
  CreateShown();
  TFlashElement* lamp = Place("lamp", 10, 10);
  TFlashElement* button = Place("button", 100, 10);
  QListWidget* objects = Window->ListBoxItem;
  const int lampRow =
      objects->row(objects->findItems(lamp->GetLevelName().mid(6), Qt::MatchStartsWith).value(0));
  ASSERT_GE(lampRow, 0);

  ClickRow(objects, lampRow);
  ASSERT_EQ(ListSelection(), QList<TFlashElement*>{lamp});
  ASSERT_EQ(Shown("x"), "10");
  QTest::keyClick(Overlay(), Qt::Key_Right);
  ASSERT_EQ(lamp->FX, 11);
  EXPECT_EQ(Shown("x"), "10") << "a nudge leaves the grid as it was";

  ClickRow(objects, lampRow);
  EXPECT_EQ(ListSelection(), QList<TFlashElement*>{lamp});
  EXPECT_EQ(Shown("x"), "11");

  objects->setFocus();
  QTest::keyClick(objects, lampRow == 0 ? Qt::Key_Down : Qt::Key_Up);
  EXPECT_EQ(ListSelection(), QList<TFlashElement*>{button});
  EXPECT_TRUE(button->FSelected);
  EXPECT_FALSE(lamp->FSelected);
  EXPECT_EQ(Shown("x"), "100");
}
