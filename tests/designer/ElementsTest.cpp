#include "ProjectFixture.h"

namespace {

// Adding clips from the Elements grid, creating by type and Duplicate.
class ElementsTest : public ProjectTest {
protected:
  void SetUp() override {
    ProjectTest::SetUp();
    CreateWithDemoRepository();
  }

  // Selects the Objects list items of the given elements.
  void SelectInObjectsList(const QList<TFlashElement*>& elements) {
    Window->LBPagesClick(Window->LBPages);
    for (int i = 0; i < Window->ListBoxItem->count(); ++i)
      Window->ListBoxItem->item(i)->setSelected(elements.contains(Window->ListBoxElement(i)));
  }
};

TEST_F(ElementsTest, AddingTakesTheNextLevelAndSelectedPageAndRecordsAStep) {
  Window->LBPages->addItem(QStringLiteral("Main"));
  Window->LBPages->setCurrentRow(1);
  TFlashElement* button = AddClip(QStringLiteral("button"));
  EXPECT_EQ(button->GetLevel(), 101);
  EXPECT_EQ(button->FPage, QStringLiteral("Main"));
  EXPECT_EQ(button->FFlash, Window->ShockwaveFlash);
  EXPECT_TRUE(Window->FUserAdded);
  EXPECT_EQ(HistoryTexts(), QStringList{"1 Before Add Element:button"});
  EXPECT_TRUE(
      Window->LBHistory->item(0)->data(Qt::UserRole).toByteArray().contains("filename=\"button\""));

  // New keeps the highest level handed out.
  Window->NewExecute(Window->New);
  Window->FRepositoryDir = DemoRepositoryDir();
  Window->LoadRepository(Window->FRepositoryDir);
  EXPECT_EQ(AddClip(QStringLiteral("lamp"))->GetLevel(), 102);
  EXPECT_EQ(Window->FElementStore.size(), 2u) << "the store keeps every element of the run";
}

TEST_F(ElementsTest, TypeLookupIgnoresCaseAndCutsTheRowNameAtItsLastDot) {
  const QString repository = WorkDir + "repo/";
  ASSERT_TRUE(QDir().mkpath(repository + "sub"));
  ASSERT_TRUE(QFile::copy(DemoRepositoryDir() + "lamp.swf", repository + "menu.big.swf"));
  ASSERT_TRUE(QFile::copy(DemoRepositoryDir() + "button.swf", repository + "sub/A.SWF"));
  Window->LoadRepository(repository);

  EXPECT_EQ(Window->CreateElementFromRepository(200, QStringLiteral("menu.big")), nullptr);
  EXPECT_EQ(Window->CreateElementFromRepository(200, QString()), nullptr);
  TFlashElement* menu = Window->CreateElementFromRepository(201, QStringLiteral("MENU"));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->GetMovieFile(), repository + "menu.big.swf");
  TFlashElement* a = Window->CreateElementFromRepository(202, QStringLiteral("a"));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->GetMovieFile(), repository + "sub/A.SWF");
  EXPECT_EQ(a->FFlash, nullptr) << "the clip is not loaded into the stage";
  EXPECT_EQ(Window->FElements.Count(), 2);
  EXPECT_EQ(Window->FLastLevel, 100);
}

TEST_F(ElementsTest, DuplicateCopiesTheSelectionOffsetWithoutBindingOrStep) {
  TFlashElement* button = AddClip(QStringLiteral("button"));
  button->FName = QStringLiteral("Power");
  button->FOnExecute = QStringLiteral("Drv::Cmd()\r\n");
  button->FSuffix.SetText(QStringLiteral("s=1"));
  button->SetX(10);
  TFlashElement* lamp = AddClip(QStringLiteral("lamp"));
  lamp->FTypeName = QStringLiteral("gone");
  SelectInObjectsList({button, lamp});
  const int steps = HistoryTexts().size();

  Window->DuplicateExecute(Window->Duplicate);
  PumpEvents();
  ASSERT_EQ(Window->FElements.Count(), 3) << "a type without a row makes no copy";
  TFlashElement* copy = Window->FElements.FItems.last();
  EXPECT_EQ(Window->FLastLevel, 104) << "both items used up a level";
  EXPECT_EQ(copy->GetLevel(), 103);
  EXPECT_EQ(copy->FX, 30);
  EXPECT_EQ(copy->FName, QStringLiteral("Power"));
  EXPECT_EQ(copy->FSuffix.GetText(), QStringLiteral("s=1"));
  EXPECT_EQ(copy->FOnExecute, QString());
  EXPECT_TRUE(copy->FSelected);
  EXPECT_FALSE(button->FSelected);
  EXPECT_EQ(HistoryTexts().size(), steps);
}

} // namespace
