#include "player/ShockwaveFlash.h"
#include "tools/swfgen/ClipDescription.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A 200 x 100 stage: the button knob at (10, 10), 40 x 20, in red, green when the mouse is
// over it and blue while pressed; a grey sprite pad at (100, 10) with mouse handlers; below
// them the disabled button mute and the sprite quiet, which asks for no hand cursor.
const char* const Panel = R"(frame 200 100
background #FFFFFF
button knob 10 10 {
  up rect 0 0 40 20 #FF0000
  over rect 0 0 40 20 #00FF00
  down rect 0 0 40 20 #0000FF
  hit rect 0 0 40 20 #000000
  on rollOver {
    push "knob rollOver"
    trace
  }
  on press {
    push "knob press in "
    push "this"
    getVariable
    add2
    trace
  }
  on release {
    push "knob release"
    trace
    getURL "FSCommand:released", "knob"
  }
  on rollOut {
    push "knob rollOut"
    trace
  }
}
sprite pad 100 10 {
  rect 0 0 40 20 #808080
  onClipEvent press {
    push "pad press"
    trace
  }
  onClipEvent dragOut {
    push "pad dragOut"
    trace
  }
  onClipEvent releaseOutside {
    push "pad releaseOutside"
    trace
  }
}
button mute 10 50 {
  up,over,down,hit rect 0 0 40 20 #FF00FF
  on rollOver press {
    push "mute heard"
    trace
  }
}
sprite quiet 100 50 {
  rect 0 0 40 20 #808080
  onClipEvent press {
    push "quiet press"
    trace
  }
}
actions {
  push "mute"
  getVariable
  push "enabled", false
  setMember
  push "quiet"
  getVariable
  push "useHandCursor", false
  setMember
  push "knob"
  getVariable
  push "onRelease"
  defineFunction () {
    push "knob onRelease on "
    push "this"
    getVariable
    add2
    trace
  }
  setMember
  push "pad"
  getVariable
  push "onRollOver"
  defineFunction () {
    push "pad rollOver at "
    push "this"
    getVariable
    push "_xmouse"
    getMember
    add2
    trace
  }
  setMember
}
)";

const QPoint OnKnob(20, 15), OnPad(110, 15), OnMute(20, 55), OnQuiet(110, 55), Elsewhere(180, 80);

class ButtonMouseTest : public testing::Test {
protected:
  void SetUp() override {
    QString error;
    const auto description = swfgen::ClipDescription::parse(QString::fromLatin1(Panel), &error);
    ASSERT_TRUE(description) << error.toStdString();
    Path = Dir.filePath("panel.swf");
    QFile file(Path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(description->toSwf());
    file.close();
    Flash.resize(200, 100);
    QObject::connect(&Flash, &TShockwaveFlash::Trace,
                     [this](const QString& text) { Traces << text; });
    QObject::connect(&Flash, &TShockwaveFlash::FSCommand,
                     [this](const QString& command, const QString& args) {
                       Traces << "fscommand " + command + " " + args;
                     });
    Flash.SetMovie(Path);
    Flash.Play();
    Flash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Flash));
  }

  static QColor PixelAt(QPoint at, QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32);
    widget.render(&image);
    return image.pixelColor(at);
  }
  QColor PixelAt(QPoint at) { return PixelAt(at, Flash); }
  QStringList TakeTraces() { return std::exchange(Traces, {}); }

  QTemporaryDir Dir;
  QString Path;
  TShockwaveFlash Flash;
  QStringList Traces;
};

} // namespace

TEST_F(ButtonMouseTest, TheButtonShowsItsStatesAndRunsItsActionsAndHandlersInOrder) {
  Flash.SetMouseInput(true);
  QTest::mouseMove(&Flash, Elsewhere);
  EXPECT_EQ(PixelAt(OnKnob), QColor(Qt::red));
  EXPECT_EQ(Flash.cursor().shape(), Qt::ArrowCursor);

  QTest::mouseMove(&Flash, OnKnob);
  EXPECT_EQ(TakeTraces(), QStringList({"knob rollOver"}));
  EXPECT_EQ(PixelAt(OnKnob), QColor(Qt::green));
  EXPECT_EQ(Flash.cursor().shape(), Qt::PointingHandCursor);

  QTest::mousePress(&Flash, Qt::LeftButton, {}, OnKnob);
  EXPECT_EQ(TakeTraces(), QStringList({"knob press in _level0"}))
      << "button actions run on the button's timeline";
  EXPECT_EQ(PixelAt(OnKnob), QColor(Qt::blue));

  QTest::mouseRelease(&Flash, Qt::LeftButton, {}, OnKnob);
  EXPECT_EQ(TakeTraces(), QStringList({"knob release", "fscommand released knob",
                                       "knob onRelease on _level0.knob"}));
  EXPECT_EQ(PixelAt(OnKnob), QColor(Qt::green));

  QTest::mouseMove(&Flash, Elsewhere);
  EXPECT_EQ(TakeTraces(), QStringList({"knob rollOut"}));
  EXPECT_EQ(PixelAt(OnKnob), QColor(Qt::red));
  EXPECT_EQ(Flash.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ButtonMouseTest, AClipWithMouseHandlersTakesTheMouseAndHearsOfItsDrag) {
  Flash.SetMouseInput(true);
  QTest::mouseMove(&Flash, OnPad);
  EXPECT_EQ(TakeTraces(), QStringList({"pad rollOver at 10"}));
  EXPECT_EQ(Flash.cursor().shape(), Qt::PointingHandCursor);
  QTest::mousePress(&Flash, Qt::LeftButton, {}, OnPad);
  // Dragged out while pressed: the pad alone hears of it, the knob below the path does not.
  QTest::mouseMove(&Flash, OnKnob);
  QTest::mouseRelease(&Flash, Qt::LeftButton, {}, OnKnob);
  EXPECT_EQ(TakeTraces(),
            QStringList({"pad press", "pad dragOut", "pad releaseOutside", "knob rollOver"}));
  EXPECT_EQ(PixelAt(OnKnob), QColor(Qt::green));
}

TEST_F(ButtonMouseTest, ADisabledButtonHearsNothingAndATargetWithoutHandShowsTheArrow) {
  Flash.SetMouseInput(true);
  QTest::mouseMove(&Flash, OnMute);
  QTest::mouseClick(&Flash, Qt::LeftButton, {}, OnMute);
  EXPECT_TRUE(TakeTraces().isEmpty());
  EXPECT_EQ(Flash.cursor().shape(), Qt::ArrowCursor);
  QTest::mouseMove(&Flash, OnQuiet);
  EXPECT_EQ(Flash.cursor().shape(), Qt::ArrowCursor);
  QTest::mouseClick(&Flash, Qt::LeftButton, {}, OnQuiet);
  EXPECT_EQ(TakeTraces(), QStringList({"quiet press"}));
}

TEST_F(ButtonMouseTest, AControlThatIsNotToldToTakeTheMousePassesItOn) {
  // A stage control, as the designer's: a child of the window that carries the overlay.
  QWidget parent;
  auto* stage = new TShockwaveFlash(&parent);
  QObject::connect(stage, &TShockwaveFlash::Trace, [this](const QString& text) { Traces << text; });
  stage->resize(200, 100);
  stage->SetMovie(Path);
  stage->Play();
  int pressesReachingParent = 0;
  struct PressCounter : QObject {
    int* Count;
    explicit PressCounter(int* count) : Count(count) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::MouseButtonPress)
        ++*Count;
      return false;
    }
  } counter(&pressesReachingParent);
  parent.installEventFilter(&counter);
  parent.resize(200, 100);
  parent.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));

  QTest::mouseMove(stage, OnKnob);
  QTest::mousePress(stage, Qt::LeftButton, {}, OnKnob);
  EXPECT_EQ(PixelAt(OnKnob, *stage), QColor(Qt::red));
  QTest::mouseRelease(stage, Qt::LeftButton, {}, OnKnob);
  EXPECT_TRUE(TakeTraces().isEmpty());
  EXPECT_EQ(PixelAt(OnKnob, *stage), QColor(Qt::red));
  EXPECT_EQ(stage->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(pressesReachingParent, 1) << "the press goes on to the widget beneath";
}
