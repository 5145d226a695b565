#include "designer/ValueListEditor.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <stdexcept>

// The key/value grid on its own, in a shown window beside a line edit that can take the
// focus away from it.
class PropertiesGridTest : public testing::Test {
protected:
  void SetUp() override {
    auto* layout = new QVBoxLayout(&Window);
    Grid = new TValueListEditor;
    Other = new QLineEdit;
    layout->addWidget(Grid);
    layout->addWidget(Other);
    Window.show();
    Window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    Grid->InsertRow("name", "lamp");
    Grid->InsertRow("x", "10");
  }

  // Opens the value cell of key and types text over its value.
  void TypeInto(const QString& key, const QString& text) {
    Grid->setFocus();
    Grid->SetCurrentRow(Grid->FindRow(key));
    QTest::keyClick(Grid, Qt::Key_F2);
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, Grid);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
  }

  QWidget Window;
  TValueListEditor* Grid = nullptr;
  QLineEdit* Other = nullptr;
};

TEST_F(PropertiesGridTest, KeysAreUniqueFixedAndWithoutEquals) {
  EXPECT_EQ(Grid->horizontalHeaderItem(0)->text(), "Properies");
  EXPECT_EQ(Grid->horizontalHeaderItem(1)->text(), "Value");
  EXPECT_THROW(Grid->InsertRow("x", "1"), std::invalid_argument);
  EXPECT_THROW(Grid->InsertRow("a=b", "1"), std::invalid_argument);
  EXPECT_EQ(Grid->InsertRow("", ""), 2);
  EXPECT_THROW(Grid->InsertRow("", "again"), std::invalid_argument);
  EXPECT_EQ(Grid->RowCount(), 3);
  EXPECT_FALSE(Grid->item(0, 0)->flags().testFlag(Qt::ItemIsEditable));
  EXPECT_EQ(Grid->Values("x"), "10");
  EXPECT_EQ(Grid->Values("missing"), "");

  EXPECT_THROW(Grid->DeleteRow(3), std::out_of_range);
  Grid->DeleteRow(0);
  EXPECT_EQ(Grid->FindRow("x"), 0);
  Grid->Clear();
  EXPECT_EQ(Grid->RowCount(), 0);
  EXPECT_EQ(Grid->columnCount(), 2);
}

// Only a value the user changed is reported, once, when its cell is left or the grid loses
// the focus; what the program writes is never reported.
TEST_F(PropertiesGridTest, ChangedValuesAreValidatedOnLeavingTheCellOrTheGrid) {
  QSignalSpy validated(Grid, &TValueListEditor::Validate);
  Grid->SetValue(1, "99");
  Grid->SetCurrentRow(0);
  Grid->SetCurrentRow(1);
  EXPECT_EQ(validated.count(), 0);

  TypeInto("x", "12");
  EXPECT_EQ(validated.count(), 0);
  Grid->SetCurrentRow(0);
  ASSERT_EQ(validated.count(), 1);
  EXPECT_EQ(validated.at(0), (QVariantList{"x", "12"}));
  Grid->SetCurrentRow(1);
  EXPECT_EQ(validated.count(), 1) << "an unchanged cell is not validated again";

  TypeInto("name", "gauge");
  Other->setFocus();
  ASSERT_EQ(validated.count(), 2);
  EXPECT_EQ(validated.at(1), (QVariantList{"name", "gauge"}));
}

// Enter is reported after the typed text is in the cell.
TEST_F(PropertiesGridTest, EnterTakesTheTypedTextBeforeItIsReported) {
  QString valueAtEnter;
  QObject::connect(Grid, &TValueListEditor::KeyDown, Grid, [&](int key) {
    if (key == Qt::Key_Return)
      valueAtEnter = Grid->Values("x");
  });
  TypeInto("x", "7.5");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(valueAtEnter, "7.5");
}

// A read-only row refuses typing; with a pick list it still picks, and a double-click steps
// to the next entry, wrapping to the first.
TEST_F(PropertiesGridTest, ReadOnlyRowsPickButDoNotType) {
  const int fixed = Grid->InsertRow("type", "lamp");
  Grid->SetReadOnly(fixed, true);
  EXPECT_FALSE(Grid->item(fixed, 1)->flags().testFlag(Qt::ItemIsEditable));

  const int picked = Grid->InsertRow("visible", "True");
  Grid->SetPickList(picked, {"True", "False"});
  Grid->SetReadOnly(picked, true);
  QSignalSpy validated(Grid, &TValueListEditor::Validate);
  const QPoint cell = Grid->visualItemRect(Grid->item(picked, 1)).center();
  const auto doubleClick = [this, cell] {
    QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(Grid->viewport(), Qt::LeftButton, {}, cell);
  };
  doubleClick();
  EXPECT_EQ(Grid->Value(picked), "False");
  doubleClick();
  EXPECT_EQ(Grid->Value(picked), "True");
  QTest::qWait(QApplication::doubleClickInterval() + 50);
  EXPECT_EQ(Grid->viewport()->findChild<QComboBox*>(), nullptr) << "stepping opens no list";

  // A single click on the current cell opens the list once it is no double-click.
  QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, cell);
  QTest::qWait(QApplication::doubleClickInterval() + 50);
  auto* combo = Grid->viewport()->findChild<QComboBox*>();
  ASSERT_NE(combo, nullptr);
  EXPECT_FALSE(combo->isEditable());
  combo->setCurrentIndex(1);
  emit combo->activated(1);
  Grid->SetCurrentRow(0);
  ASSERT_EQ(validated.count(), 1);
  EXPECT_EQ(validated.at(0), (QVariantList{"visible", "False"}));
}

// Typing a long value leaves the cell's editor at the cell's size: an editor that widened
// itself to its text re-measured the whole text at every key, so typing slowed with its length.
TEST_F(PropertiesGridTest, TypingALongValueKeepsTheEditorAtTheCellsWidth) {
  const QString text(4000, QLatin1Char('a'));
  TypeInto("name", text);
  const QWidget* editor = QApplication::focusWidget();
  ASSERT_NE(editor, nullptr);
  const int cellWidth = Grid->visualItemRect(Grid->item(Grid->FindRow("name"), 1)).width();
  EXPECT_LE(editor->width(), cellWidth);
  Grid->SetCurrentRow(1);
  EXPECT_EQ(Grid->Values("name"), text);
}
