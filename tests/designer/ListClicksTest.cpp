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
