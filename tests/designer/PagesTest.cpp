#include "SelectionFixture.h"

#include <QAction>
#include <QListWidget>

// Ins Page inserts after the selected page ("all" counts as before index 1), accepts any
// text, and shows the new page with only the elements of "all".
TEST_F(SelectionTest, InsertPagePlacesTheNewPageAfterTheSelectedOne) {
  CreateShown();
  TFlashElement* common = Place("button", 20, 20);
  InsertPage("B");
  TFlashElement* onB = Place("lamp", 100, 100);
  SelectPage(0);
  InsertPage("A");
  EXPECT_EQ(PageList(), (QStringList{"all", "A", "B"}));
  EXPECT_EQ(Window->LBPages->currentRow(), 1);
  EXPECT_EQ(Window->ListBoxItem->count(), 1);
  EXPECT_EQ(Window->ListBoxElement(0), common);
  EXPECT_FALSE(onB->FShown);

  InsertPage("");
  InsertPage("A");
  EXPECT_EQ(PageList(), (QStringList{"all", "A", "", "A", "B"}));
  EXPECT_EQ(Dialogs.Asked.last(), "InputQuery: Insert | Add new page");

  // Cancel inserts nothing but still runs the page click.
  Window->ListBoxItem->clear();
  Window->AddpageExecute(Window->Addpage);
  EXPECT_EQ(PageList().size(), 5);
  EXPECT_EQ(Window->ListBoxItem->count(), 1);
}

TEST_F(SelectionTest, RenameMovesOnlyElementsOfExactlyThatPage) {
  CreateShown();
  InsertPage("main");
  TFlashElement* lower = Place("lamp", 100, 100);
  InsertPage("Main");
  TFlashElement* upper = Place("button", 20, 20);

  Dialogs.InputAnswers.push_back({true, "Start"});
  Window->LBPagesDblClick(Window->LBPages);
  EXPECT_EQ(Dialogs.Asked.last(), "InputQuery: Edit | Set new page name:");
  EXPECT_EQ(PageList(), (QStringList{"all", "main", "Start"}));
  EXPECT_EQ(upper->FPage, "Start");
  EXPECT_EQ(lower->FPage, "main");
  EXPECT_EQ(Window->ListBoxItem->count(), 1);

  // "all" keeps its name: no question is asked.
  const int asked = Dialogs.Asked.size();
  SelectPage(0);
  Window->LBPagesDblClick(Window->LBPages);
  EXPECT_EQ(Dialogs.Asked.size(), asked);
}

TEST_F(SelectionTest, UpAndDownStopAtTheirEndsAndEnableByPosition) {
  CreateShown();
  InsertPage("A");
  InsertPage("B");
  InsertPage("C");
  EXPECT_FALSE(Window->PageDown->isEnabled());
  EXPECT_TRUE(Window->PageUP->isEnabled());

  Window->PageUPExecute(Window->PageUP);
  EXPECT_EQ(PageList(), (QStringList{"all", "A", "C", "B"}));
  EXPECT_EQ(Window->LBPages->currentRow(), 2);
  Window->PageUPExecute(Window->PageUP);
  Window->PageUPExecute(Window->PageUP); // at index 1: no change
  EXPECT_EQ(PageList(), (QStringList{"all", "C", "A", "B"}));
  EXPECT_EQ(Window->LBPages->currentRow(), 1);
  EXPECT_TRUE(Window->PageUP->isEnabled());

  SelectPage(3);
  Window->PageDownExecute(Window->PageDown);
  EXPECT_EQ(PageList(), (QStringList{"all", "C", "A", "B"}));
  SelectPage(0);
  EXPECT_FALSE(Window->PageUP->isEnabled());
  EXPECT_FALSE(Window->DelPage->isEnabled());
  EXPECT_TRUE(Window->Addpage->isEnabled());
}

TEST_F(SelectionTest, DeletePageAsksAndRemovesItsElementsButKeepsAll) {
  CreateShown();
  TFlashElement* common = Place("button", 20, 20);
  InsertPage("A");
  InsertPage("B");
  TFlashElement* onB = Place("lamp", 100, 100);

  Dialogs.OkCancelAnswers.push_back(false);
  Window->DelPageExecute(Window->DelPage);
  EXPECT_EQ(Dialogs.Asked.last(), "OkCancel: Delete page dialog | Delete Page:B");
  EXPECT_EQ(PageList(), (QStringList{"all", "A", "B"}));
  EXPECT_TRUE(onB->FShown);

  // The Del key on the focused page list runs the same command.
  Dialogs.OkCancelAnswers.push_back(true);
  Window->LBPages->setFocus();
  QTest::keyClick(Window->LBPages, Qt::Key_Delete);
  EXPECT_EQ(PageList(), (QStringList{"all", "A"}));
  EXPECT_EQ(Window->LBPages->currentRow(), 1);
  EXPECT_EQ(Window->FElements.FItems, QList<TFlashElement*>{common});
  EXPECT_FALSE(onB->FShown);

  Dialogs.OkCancelAnswers.push_back(true);
  Window->DelPageExecute(Window->DelPage);
  EXPECT_EQ(PageList(), QStringList{"all"});
  EXPECT_EQ(Window->FElements.FItems, QList<TFlashElement*>{common});
}

// The stored-page lookup folds A to Z only and the last match wins; it runs no page click.
TEST_F(SelectionTest, SelectOrAddPageFoldsAsciiCaseAndTakesTheLastMatch) {
  CreateShown();
  InsertPage("main");
  InsertPage("MAIN");
  SelectPage(0);
  Window->ListBoxItem->addItem("untouched");

  EXPECT_FALSE(Window->SelectOrAddPage("Main"));
  EXPECT_EQ(Window->LBPages->currentRow(), 2);
  EXPECT_TRUE(Window->SelectOrAddPage("Stra\u00dfe"));
  EXPECT_FALSE(Window->SelectOrAddPage("STRA\u00dfE"));
  EXPECT_TRUE(Window->SelectOrAddPage("\u00c4rger"));
  EXPECT_TRUE(Window->SelectOrAddPage("\u00e4rger")) << "only A to Z are folded";
  EXPECT_EQ(PageList(),
            (QStringList{"all", "main", "MAIN", "Stra\u00dfe", "\u00c4rger", "\u00e4rger"}));
  EXPECT_EQ(Window->LBPages->currentRow(), 5);
  EXPECT_EQ(Window->ListBoxItem->item(0)->text(), "untouched");
}
