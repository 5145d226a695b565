#include "model/CapPanel.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

struct CapPanelTest : ::testing::Test {
  QWidget container;
  TPanelCaption* first = new TPanelCaption(&container);
  TPanelCaption* second = new TPanelCaption(&container);

  void SetUp() override {
    container.resize(400, 300);
    first->setGeometry(10, 10, 100, 50);
    second->setGeometry(150, 10, 100, 50);
  }
};

TEST_F(CapPanelTest, PropertyTextIsSortedIgnoringCase) {
  first->move(7, 9);
  EXPECT_EQ(PanelPropertiesText(first),
            "Height=50\r\nLeft=7\r\nname=n1\r\nTop=9\r\nWidth=100\r\nXScale=100\r\nYScale=100\r\n");
}

TEST_F(CapPanelTest, HitTestFollowsAlignment) {
  const QPoint nearBottomRight(97, 47);
  EXPECT_EQ(first->HitTest(nearBottomRight), TPanelCaption::HTBOTTOMRIGHT);
  EXPECT_EQ(first->HitTest(QPoint(2, 2)), TPanelCaption::HTTOPLEFT);
  EXPECT_EQ(first->HitTest(QPoint(50, 25)), TPanelCaption::HTCLIENT);

  first->Align = TPanelCaption::alLeft;
  EXPECT_EQ(first->HitTest(nearBottomRight), TPanelCaption::HTRIGHT);

  first->Align = TPanelCaption::alClient;
  EXPECT_EQ(first->HitTest(nearBottomRight), TPanelCaption::HTCLIENT);
  first->FMovable = true;
  EXPECT_EQ(first->HitTest(nearBottomRight), TPanelCaption::HTCLIENT);

  first->Align = TPanelCaption::alNone;
  EXPECT_EQ(first->HitTest(QPoint(50, 25)), TPanelCaption::HTCAPTION);
}

TEST_F(CapPanelTest, NarrowPanelPrefersLeftBorder) {
  first->resize(10, 50);
  EXPECT_EQ(first->HitTest(QPoint(5, 25)), TPanelCaption::HTLEFT);
}

TEST_F(CapPanelTest, PressSelectsAndShiftPressAddsToSelection) {
  QStringList selectEvents;
  for (TPanelCaption* panel : {first, second})
    panel->FOnSelect = [&selectEvents](TPanelCaption* sender) {
      selectEvents << QString::number(sender->x());
    };

  QTest::mousePress(first->FOverlay, Qt::LeftButton, Qt::NoModifier, QPoint(50, 25));
  QTest::mouseRelease(first->FOverlay, Qt::LeftButton, Qt::NoModifier, QPoint(50, 25));
  EXPECT_TRUE(first->FSelected);
  EXPECT_EQ(first->Caption(), "100 50");
  // Every panel is deselected first, the pressed one included, then the pressed one selected.
  EXPECT_EQ(selectEvents, QStringList({"10", "150", "10"}));

  QTest::mousePress(second->FOverlay, Qt::LeftButton, Qt::ShiftModifier, QPoint(50, 25));
  QTest::mouseRelease(second->FOverlay, Qt::LeftButton, Qt::ShiftModifier, QPoint(50, 25));
  EXPECT_TRUE(first->FSelected);
  EXPECT_TRUE(second->FSelected);

  QTest::mousePress(first->FOverlay, Qt::RightButton, Qt::NoModifier, QPoint(50, 25));
  QTest::mouseRelease(first->FOverlay, Qt::RightButton, Qt::NoModifier, QPoint(50, 25));
  EXPECT_TRUE(first->FSelected);
  EXPECT_FALSE(second->FSelected);
}

TEST_F(CapPanelTest, SelectionDrawsTwoPixelYellowFrameAndDeselectionClearsIt) {
  first->SetSelected(true);
  const QImage& picture = first->FOverlay->Picture;
  ASSERT_EQ(picture.size(), QSize(100, 50));
  EXPECT_EQ(picture.pixelColor(0, 0), QColor(Qt::yellow));
  EXPECT_EQ(picture.pixelColor(1, 1), QColor(Qt::yellow));
  EXPECT_EQ(picture.pixelColor(98, 48), QColor(Qt::yellow));
  EXPECT_EQ(picture.pixelColor(97, 47), QColor(Qt::yellow));
  EXPECT_EQ(picture.pixelColor(99, 49).alpha(), 0);
  EXPECT_EQ(picture.pixelColor(2, 2).alpha(), 0);

  first->SetSelected(false);
  EXPECT_TRUE(first->FOverlay->Picture.isNull());
}

TEST_F(CapPanelTest, DraggingInsideMovesAndBorderResizes) {
  container.show();
  QTest::mousePress(first->FOverlay, Qt::LeftButton, Qt::NoModifier, QPoint(50, 25));
  QTest::mouseMove(first->FOverlay, QPoint(60, 35));
  QTest::mouseRelease(first->FOverlay, Qt::LeftButton, Qt::NoModifier, QPoint(60, 35));
  EXPECT_EQ(first->pos(), QPoint(20, 20));

  QTest::mousePress(first->FOverlay, Qt::LeftButton, Qt::NoModifier, QPoint(98, 25));
  QTest::mouseMove(first->FOverlay, QPoint(118, 25));
  QTest::mouseRelease(first->FOverlay, Qt::LeftButton, Qt::NoModifier, QPoint(118, 25));
  EXPECT_EQ(first->size(), QSize(120, 50));
}

// A border drag past the minimum tracking size stops at it, with the opposite border kept;
// a size set from code is not limited.
TEST_F(CapPanelTest, BorderDragStopsAtTheMinimumTrackingSize) {
  container.show();
  const auto drag = [](TPanelCaption* panel, QPoint from, QPoint to) {
    QTest::mousePress(panel->FOverlay, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(panel->FOverlay, to);
    QTest::mouseRelease(panel->FOverlay, Qt::LeftButton, Qt::NoModifier, to);
  };

  drag(first, QPoint(98, 48), QPoint(-200, -200));
  EXPECT_EQ(first->geometry(), QRect(10, 10, 10, 10));

  drag(second, QPoint(2, 25), QPoint(202, 25));
  EXPECT_EQ(second->geometry(), QRect(240, 10, 10, 50)) << "the right border stays";

  second->FBaseWidth = 20;
  second->FBaseHeight = 5;
  drag(second, QPoint(5, 2), QPoint(5, 300));
  EXPECT_EQ(second->geometry(), QRect(220, 45, 30, 15));

  first->resize(4, 3);
  EXPECT_EQ(first->size(), QSize(4, 3));
}

} // namespace
