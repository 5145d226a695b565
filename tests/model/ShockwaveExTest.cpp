#include "model/ShockwaveEx.h"

#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The host control with a record of the button input that reached the player's own handling.
class TProbedFlash : public TShockwaveFlashEx {
public:
  QStringList Received;

protected:
  void mousePressEvent(QMouseEvent* Event) override { Record("press", Event); }
  void mouseReleaseEvent(QMouseEvent* Event) override { Record("release", Event); }

private:
  void Record(const char* What, const QMouseEvent* Event) {
    Received << QStringLiteral("%1 %2")
                    .arg(QLatin1String(What))
                    .arg(Event->button() == Qt::LeftButton ? QStringLiteral("left")
                                                           : QStringLiteral("other"));
  }
};

class ShockwaveExTest : public testing::Test {
protected:
  void SetUp() override {
    Flash.resize(200, 150);
    Flash.show();
    Flash.OnMouseDown = [this](TShockwaveFlashEx* Sender, Qt::MouseButton Button,
                               Qt::KeyboardModifiers Shift, int X, int Y) {
      EXPECT_EQ(Sender, &Flash);
      Log << QStringLiteral("down %1 %2 %3,%4")
                 .arg(Button == Qt::LeftButton ? "left" : "other")
                 .arg(int(Shift))
                 .arg(X)
                 .arg(Y);
    };
    Flash.OnMouseUp = [this](TShockwaveFlashEx*, Qt::MouseButton Button,
                             Qt::KeyboardModifiers Shift, int X, int Y) {
      Log << QStringLiteral("up %1 %2 %3,%4")
                 .arg(Button == Qt::LeftButton ? "left" : "other")
                 .arg(int(Shift))
                 .arg(X)
                 .arg(Y);
    };
    Flash.OnMouseMove = [this](TShockwaveFlashEx*, Qt::KeyboardModifiers, int X, int Y) {
      Log << QStringLiteral("move %1,%2").arg(X).arg(Y);
    };
    Flash.OnClick = [this](TShockwaveFlashEx*) { Log << QStringLiteral("click"); };
  }

  void Leave() {
    QEvent Event(QEvent::Leave);
    QCoreApplication::sendEvent(&Flash, &Event);
  }

  TProbedFlash Flash;
  QStringList Log;
};

} // namespace

TEST_F(ShockwaveExTest, PressAndReleaseInsideGiveDownUpAndClick) {
  QTest::mousePress(&Flash, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 20));
  EXPECT_TRUE(Flash.Pressed());
  QTest::mouseRelease(&Flash, Qt::LeftButton, Qt::ShiftModifier, QPoint(12, 22));
  EXPECT_EQ(Log, QStringList({"down left 0 10,20", "up left 0 12,22", "click"}));
  EXPECT_FALSE(Flash.Pressed());
  EXPECT_EQ(Flash.Received, QStringList({"press left", "release left"}));

  Log.clear();
  QTest::mouseMove(&Flash, QPoint(30, 40));
  EXPECT_EQ(Log, QStringList({"move 30,40"}));
}

TEST_F(ShockwaveExTest, LeavingBetweenPressAndReleaseCancelsTheClick) {
  QTest::mousePress(&Flash, Qt::LeftButton, {}, QPoint(10, 20));
  Leave();
  QTest::mouseRelease(&Flash, Qt::LeftButton, {}, QPoint(10, 20));
  EXPECT_EQ(Log, QStringList({"down left 0 10,20", "up left 0 10,20"}));
}

// A drag out of the control, with the button held all along: Qt reports no Leave before the
// release, so only the positions tell that the mouse left.
TEST_F(ShockwaveExTest, DraggingOutOfTheControlCancelsTheClick) {
  QMenu Menu;
  Menu.addAction(QStringLiteral("Item"));
  Flash.PopupMenu = &Menu;
  const QPoint Outside(260, 20);

  QTest::mousePress(&Flash, Qt::LeftButton, {}, QPoint(10, 20));
  QTest::mouseMove(&Flash, Outside);
  QTest::mouseRelease(&Flash, Qt::LeftButton, {}, Outside);
  EXPECT_EQ(Log, QStringList({"down left 0 10,20", "move 260,20", "up left 0 260,20"}));
  EXPECT_FALSE(Flash.Pressed());

  // Out and back in before the release: the mouse still left the control.
  Log.clear();
  QTest::mousePress(&Flash, Qt::LeftButton, {}, QPoint(10, 20));
  QTest::mouseMove(&Flash, QPoint(10, -30));
  QTest::mouseMove(&Flash, QPoint(15, 25));
  QTest::mouseRelease(&Flash, Qt::LeftButton, {}, QPoint(15, 25));
  EXPECT_FALSE(Log.contains("click")) << Log.join(", ").toStdString();

  // A right button released outside opens no popup menu.
  QTest::mousePress(&Flash, Qt::RightButton, {}, QPoint(10, 20));
  QTest::mouseRelease(&Flash, Qt::RightButton, {}, Outside);
  EXPECT_FALSE(Menu.isVisible());
  EXPECT_FALSE(Flash.Pressed());
}

TEST_F(ShockwaveExTest, ReleaseWithoutPressClicksOnlyAfterAnUnclearedRightPress) {
  QTest::mouseRelease(&Flash, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(Log, QStringList({"up left 0 5,5"}));

  Log.clear();
  QTest::mousePress(&Flash, Qt::RightButton, {}, QPoint(5, 5));
  QTest::mouseRelease(&Flash, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_TRUE(Log.isEmpty());
  EXPECT_TRUE(Flash.Pressed()); // no popup menu: the right release leaves the flag
  QTest::mouseRelease(&Flash, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(Log, QStringList({"up left 0 5,5", "click"}));
}

TEST_F(ShockwaveExTest, PointsAboveOrLeftOfTheControlAreNegative) {
  QMouseEvent Move(QEvent::MouseMove, QPointF(-7, -3), Flash.mapToGlobal(QPointF(-7, -3)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&Flash, &Move);
  EXPECT_EQ(Log, QStringList({"move -7,-3"}));
}

TEST_F(ShockwaveExTest, LockedClicksStillRaiseEventsButReleasesNeverReachThePlayer) {
  QMenu Menu;
  Menu.addAction(QStringLiteral("Item"));
  Flash.PopupMenu = &Menu;
  Flash.LockMouseClick = true;

  QTest::mouseClick(&Flash, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(Log, QStringList({"down left 0 10,10", "up left 0 10,10", "click"}));

  QTest::mousePress(&Flash, Qt::RightButton, {}, QPoint(10, 10));
  QTest::mouseRelease(&Flash, Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_TRUE(Menu.isVisible());
  EXPECT_FALSE(Flash.Pressed());
  Menu.close();
  EXPECT_EQ(Flash.Received, QStringList({"press left", "press other"}));
}

TEST_F(ShockwaveExTest, PopupMenuOpensOnlyAfterAPressInTheControl) {
  QMenu Menu;
  Menu.addAction(QStringLiteral("Item"));
  Flash.PopupMenu = &Menu;
  QTest::mouseRelease(&Flash, Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_FALSE(Menu.isVisible());
  EXPECT_TRUE(Log.isEmpty());
}

TEST_F(ShockwaveExTest, OtherButtonsRaiseNothingAndPassThrough) {
  QTest::mouseClick(&Flash, Qt::MiddleButton, {}, QPoint(10, 10));
  EXPECT_TRUE(Log.isEmpty());
  EXPECT_FALSE(Flash.Pressed());
  EXPECT_EQ(Flash.Received, QStringList({"press other", "release other"}));
}

TEST_F(ShockwaveExTest, DesignStateRaisesNothingAndSwallowsNothing) {
  Flash.SetDesigning(true);
  Flash.LockMouseClick = true;
  QTest::mouseClick(&Flash, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseMove(&Flash, QPoint(20, 20));
  EXPECT_TRUE(Log.isEmpty());
  EXPECT_FALSE(Flash.Pressed());
  EXPECT_EQ(Flash.Received, QStringList({"press left", "release left"}));
}
