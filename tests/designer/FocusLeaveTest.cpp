#include "SelectionFixture.h"

#include <QListWidget>
#include <QSignalSpy>
#include <functional>

// A cell being edited and left by a click on another control, as a user leaves it: the click
// moves the focus, the grid that held it validates once, and the edit goes to the element
// selected while it was typed, whatever the click selects next.
class FocusLeaveTest : public SelectionTest {
protected:
  void SetUp() override {
    SelectionTest::SetUp();
    CreateShown();
    Edited = Place("button", 10, 10);
    Other = Place("lamp", 100, 60);
    Edited->FSuffix.SetValue("suf", "_off");
  }

  // Selects Edited by a click on it on the stage, types text into the cell of key in grid and
  // leaves the cell with Leave; returns how often the grid validated.
  int EditAndLeave(TValueListEditor* grid, const QString& key, const QString& text,
                   const std::function<void()>& leave) {
    Click(QPoint(static_cast<int>(Edited->FX), static_cast<int>(Edited->FY)) + QPoint(10, 10));
    EXPECT_EQ(ListSelection(), QList<TFlashElement*>{Edited});
    QSignalSpy validated(grid, &TValueListEditor::Validate);
    TypeInto(grid, key, text);
    EXPECT_EQ(validated.count(), 0) << "nothing validated while the cell is being edited";
    leave();
    return static_cast<int>(validated.count());
  }

  // Every edit the user can make in one of the three property grids, each left by Leave.
  void EditEveryPropertyGrid(const std::function<void()>& leave) {
    EXPECT_EQ(EditAndLeave(Window->ValueListEditor, "x", "50", leave), 1);
    EXPECT_DOUBLE_EQ(Edited->FX, 50);
    EXPECT_EQ(EditAndLeave(Window->VLEProp, "caption", "Mains", leave), 1);
    EXPECT_EQ(Edited->FProps.GetValue("caption"), "Mains");
    EXPECT_EQ(EditAndLeave(Window->VLEFlashSuffix, "suf", "_on", leave), 1);
    EXPECT_EQ(Edited->FSuffix.GetValue("suf"), "_on");

    EXPECT_DOUBLE_EQ(Other->FX, 100) << "the element clicked next is not edited";
    EXPECT_NE(Other->FProps.GetValue("caption"), "Mains");
    EXPECT_FALSE(Other->FSuffix.HasKey("suf"));
    EXPECT_TRUE(Dialogs.Exceptions.isEmpty());
  }

  TFlashElement* Edited = nullptr;
  TFlashElement* Other = nullptr;
};

TEST_F(FocusLeaveTest, AClickOnTheObjectsListAppliesTheEditOnce) {
  EditEveryPropertyGrid([this] {
    QListWidget* list = Window->ListBoxItem;
    const int otherRow = Window->ListBoxElement(0) == Other ? 0 : 1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(otherRow)).center());
    EXPECT_EQ(ListSelection(), QList<TFlashElement*>{Other});
  });
}

TEST_F(FocusLeaveTest, AClickOnTheStageAppliesTheEditOnce) {
  EditEveryPropertyGrid([this] {
    Click({110, 70});
    EXPECT_EQ(ListSelection(), QList<TFlashElement*>{Other});
  });
}

// A tab that hides the grid takes the focus from it: the Properties grid behind the "Events"
// tab, the driver parameters behind the stage's tab.
TEST_F(FocusLeaveTest, ATabThatHidesTheGridAppliesTheEditOnce) {
  EXPECT_EQ(EditAndLeave(Window->ValueListEditor, "x", "500",
                         [this] { ClickTab(Window->PageControl3, Window->TSEvents); }),
            1);
  EXPECT_DOUBLE_EQ(Edited->FX, 500);

  TValueListEditor* parameters = Window->VEDriver;
  ClickTab(Window->PCMain, Window->TabSheet8);
  parameters->InsertRow("Level", "");
  parameters->show();
  QSignalSpy validated(parameters, &TValueListEditor::Validate);
  TypeInto(parameters, "Level", "7");
  ClickTab(Window->PCMain, Window->TSDesign);
  ASSERT_EQ(validated.count(), 1);
  EXPECT_EQ(validated.at(0), (QVariantList{"Level", "7"}));
  EXPECT_EQ(parameters->Values("Level"), "7");
}
