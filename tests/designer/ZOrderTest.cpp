#include "SelectionFixture.h"

#include <QListWidget>

// The z-order commands on three demo clips at distinct places: button (level 101), lamp
// (102), label (103), all on page "all"; the Objects list reads them in level order.
class ZOrderTest : public SelectionTest {
protected:
  void SetUp() override {
    SelectionTest::SetUp();
    CreateShown();
    Button = Place("button", 10, 10);
    Lamp = Place("lamp", 100, 10);
    Label = Place("label", 200, 10);
    ASSERT_EQ(Window->ListBoxItem->count(), 3);
  }

  // Makes row the current and only selected item, as a click does.
  void ChooseRow(int row) { Window->ListBoxItem->setCurrentRow(row); }

  QStringList TypeOrder() const {
    QStringList types;
    for (const TFlashElement* element : Window->FElements.FItems)
      types << element->FTypeName;
    return types;
  }

  QString ClipXOnLevel(int level) const {
    return Window->ShockwaveFlash->TGetProperty("_level" + QString::number(level), 0);
  }

  TFlashElement* Button = nullptr;
  TFlashElement* Lamp = nullptr;
  TFlashElement* Label = nullptr;
};

TEST_F(ZOrderTest, NeighbourSwapExchangesPlacesAndLevelsAndReloadsBothClips) {
  const QStringList history = HistoryTexts();
  Window->FApplyStoredAttributes = true;
  ChooseRow(1);
  Window->BringForward->trigger();

  EXPECT_EQ(Window->FElements.FItems, (QList<TFlashElement*>{Button, Label, Lamp}));
  EXPECT_EQ(Lamp->GetLevel(), 103);
  EXPECT_EQ(Label->GetLevel(), 102);
  EXPECT_FALSE(Window->FApplyStoredAttributes);
  EXPECT_EQ(HistoryTexts(), history);
  EXPECT_EQ(Window->ListBoxItem->item(1)->text(), "102--lamp");

  // The list still maps its rows to the same elements, so the same command swaps them back.
  Window->BringForward->trigger();
  EXPECT_EQ(Window->FElements.FItems, (QList<TFlashElement*>{Button, Lamp, Label}));
  EXPECT_EQ(Lamp->GetLevel(), 102);

  Window->SendBackword->trigger();
  EXPECT_EQ(Window->FElements.FItems, (QList<TFlashElement*>{Lamp, Button, Label}));
  EXPECT_EQ(Lamp->GetLevel(), 101);
  EXPECT_EQ(Button->GetLevel(), 102);

  // Each reloaded clip gets its element's geometry on the new level.
  PumpEvents();
  EXPECT_EQ(ClipXOnLevel(101), "100");
  EXPECT_EQ(ClipXOnLevel(102), "10");
  EXPECT_EQ(ClipXOnLevel(103), "200");
  EXPECT_EQ(HistoryTexts(), history);
}

TEST_F(ZOrderTest, GuardsLeaveEverythingButTheStoredAttributesFlag) {
  const QStringList history = HistoryTexts();
  const auto expectUnchanged = [&](QAction* action) {
    Window->FApplyStoredAttributes = true;
    action->trigger();
    EXPECT_FALSE(Window->FApplyStoredAttributes) << action->objectName().toStdString();
    EXPECT_EQ(Window->FElements.FItems, (QList<TFlashElement*>{Button, Lamp, Label}));
    EXPECT_EQ(Levels(), (QList<int>{101, 102, 103}));
    EXPECT_EQ(HistoryTexts(), history);
  };

  ChooseRow(0);
  expectUnchanged(Window->SendBackword);
  expectUnchanged(Window->SendToBack);
  ChooseRow(2);
  expectUnchanged(Window->BringForward);
  expectUnchanged(Window->BringToFront);

  Window->ListBoxItem->item(1)->setSelected(true);
  for (QAction* action :
       {Window->SendBackword, Window->BringForward, Window->BringToFront, Window->SendToBack})
    expectUnchanged(action);
  Window->ListBoxItem->clearSelection();
  for (QAction* action :
       {Window->SendBackword, Window->BringForward, Window->BringToFront, Window->SendToBack})
    expectUnchanged(action);
}

TEST_F(ZOrderTest, CtrlPageKeysOnTheStageSwapWithTheNeighbours) {
  Window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
  ChooseRow(1);
  Window->ShockwaveFlash->setFocus();
  QTest::keyClick(Window->ShockwaveFlash, Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(Window->FElements.FItems, (QList<TFlashElement*>{Button, Label, Lamp}));
  // The reloaded clips' "load" rebuilds the list in level order; the lamp is now last.
  PumpEvents();
  ChooseRow(2);
  ASSERT_EQ(Window->ListBoxElement(2), Lamp);
  QTest::keyClick(Window->ShockwaveFlash, Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(Window->FElements.FItems, (QList<TFlashElement*>{Button, Lamp, Label}));
}

// Bring to Front records the new order and reloads it: levels follow the list again and
// every element gets its stored attributes back; the history list stays, its numbers restart.
TEST_F(ZOrderTest, BringToFrontRecordsAndReloadsTheNewOrder) {
  Button->FName = "start";
  Window->FProjectFileName = WorkDir + "kept.vlq";
  const QStringList history = HistoryTexts();
  ChooseRow(0);
  Window->BringToFront->trigger();
  PumpEvents();

  EXPECT_EQ(TypeOrder(), (QStringList{"lamp", "label", "button"}));
  EXPECT_EQ(Levels(), (QList<int>{101, 102, 103}));
  const TFlashElement* button = Window->FElements.FItems.last();
  EXPECT_EQ(button->FName, "start");
  EXPECT_DOUBLE_EQ(button->FX, 10);
  EXPECT_EQ(ClipXOnLevel(103), "10");
  EXPECT_TRUE(Window->FApplyStoredAttributes);
  EXPECT_EQ(Window->FProjectFileName, WorkDir + "kept.vlq");

  ASSERT_EQ(HistoryTexts(),
            history + QStringList{QString("%1 Bring To Front").arg(history.size() + 1)});
  const QByteArray snapshot =
      Window->LBHistory->item(history.size())->data(Qt::UserRole).toByteArray();
  EXPECT_LT(snapshot.indexOf("\"lamp\""), snapshot.indexOf("\"label\""));
  EXPECT_LT(snapshot.indexOf("\"label\""), snapshot.indexOf("\"button\""));

  Window->PushHistory("Next");
  EXPECT_EQ(HistoryTexts().last(), "1 Next");
}

// After a swap the list and the levels disagree: the element already last in the element
// list can still be brought to front, which takes the step and renumbers by list order.
TEST_F(ZOrderTest, BringToFrontOfTheLastElementStillReloads) {
  ChooseRow(1);
  Window->BringForward->trigger();
  ASSERT_EQ(Window->FElements.FItems.last(), Lamp);
  Window->BringToFront->trigger();
  PumpEvents();
  EXPECT_EQ(TypeOrder(), (QStringList{"button", "label", "lamp"}));
  EXPECT_EQ(Levels(), (QList<int>{101, 102, 103}));
  EXPECT_EQ(HistoryCount("Bring To Front"), 1);

  Window->LBPagesClick(Window->LBPages);
  ChooseRow(2);
  Window->SendToBack->trigger();
  PumpEvents();
  EXPECT_EQ(TypeOrder(), (QStringList{"lamp", "button", "label"}));
  EXPECT_EQ(HistoryCount("Send To Back"), 1);
}

// A load that finds no repository empties the element list but leaves the Objects list as it
// was; its rows then name elements no longer in the project, and the commands leave them be.
TEST_F(ZOrderTest, RowsOfElementsNoLongerInTheProjectAreLeftAlone) {
  const QString path = WorkDir + "norepo.vlq";
  WriteFile(path, "<interface><repositories serverip=\"\" repositorydir=\"" + WorkDir.toUtf8() +
                      "missing/\"/><list/><entities/></interface>");
  LoadProject(path);
  ASSERT_EQ(Window->FElements.Count(), 0);
  ASSERT_EQ(Window->ListBoxItem->count(), 3);
  const int steps = Window->LBHistory->count();

  ChooseRow(1);
  Window->BringForward->trigger();
  Window->SendBackword->trigger();
  Window->BringToFront->trigger();
  EXPECT_EQ(Window->FElements.Count(), 0);
  EXPECT_EQ(Lamp->GetLevel(), 102);
  EXPECT_EQ(Window->LBHistory->count(), steps);
}
