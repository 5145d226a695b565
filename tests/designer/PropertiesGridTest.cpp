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

// A letter typed on a read-only pick-list row picks nothing, whether the row's list is
// closed or open for picking, so leaving the cell changes nothing.
TEST_F(PropertiesGridTest, TypingOnAReadOnlyPickListRowPicksNothing) {
  const int row = Grid->InsertRow("visible", "True");
  Grid->SetPickList(row, {"True", "False"});
  Grid->SetReadOnly(row, true);
  QSignalSpy validated(Grid, &TValueListEditor::Validate);

  Grid->setFocus();
  Grid->SetCurrentRow(row);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F);
  Grid->SetCurrentRow(0);
  EXPECT_EQ(Grid->Value(row), "True");

  Grid->SetCurrentRow(row);
  QTest::keyClick(Grid, Qt::Key_F2);
  auto* combo = Grid->viewport()->findChild<QComboBox*>();
  ASSERT_NE(combo, nullptr);
  QTest::keyClick(combo, Qt::Key_F);
  EXPECT_EQ(combo->currentText(), "True");
  Other->setFocus();
  EXPECT_EQ(Grid->Value(row), "True");
  EXPECT_EQ(validated.count(), 0);
}

// Rows move by dragging their key to another row; each keeps its key and value, the grid
// shows them in the new order and an edit still reaches the row's own key. A refilled grid
// starts in the order of its rows again.
TEST_F(PropertiesGridTest, RowsMoveByDraggingTheirKey) {
  Grid->InsertRow("y", "20");
  Grid->SetRowsMovable(true);
  const auto shownKeys = [this] {
    QStringList keys;
    for (int visual = 0; visual < Grid->RowCount(); ++visual)
      keys << Grid->Key(Grid->verticalHeader()->logicalIndex(visual));
    return keys;
  };
  const auto keyCell = [this](int row) {
    return Grid->visualItemRect(Grid->item(row, 0)).center();
  };
  const QPoint from = keyCell(Grid->FindRow("y"));
  const QPoint to = keyCell(Grid->FindRow("name"));
  QTest::mousePress(Grid->viewport(), Qt::LeftButton, {}, from);
  QTest::mouseMove(Grid->viewport(), (from + to) / 2);
  QTest::mouseMove(Grid->viewport(), to);
  QTest::mouseRelease(Grid->viewport(), Qt::LeftButton, {}, to);
  EXPECT_EQ(shownKeys(), (QStringList{"y", "name", "x"}));
  EXPECT_EQ(Grid->Values("y"), "20");

  QSignalSpy validated(Grid, &TValueListEditor::Validate);
  TypeInto("x", "15");
  Other->setFocus();
  ASSERT_EQ(validated.count(), 1);
  EXPECT_EQ(validated.at(0), (QVariantList{"x", "15"}));

  Grid->Clear();
  for (const char* key : {"a", "b", "c"})
    Grid->InsertRow(key, "");
  EXPECT_EQ(shownKeys(), (QStringList{"a", "b", "c"}));
}
