#include "designer/DesignerFixture.h"
#include "designer/MousePaint.h"
#include "designer/ValueListEditor.h"
#include "model/FlashElement.h"
#include "player/ShockwaveFlash.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

// The sample project in the designer's real window on a real X server, worked with real
// mouse and key events (xdotool): the demo clips show what their item properties say.
namespace {

constexpr int FrameMs = 1000 / 24; // the demo background's frame rate
// What the window system adds before a repainted stage reaches the screen.
constexpr int PaintSlackMs = 150;

// Runs xdotool with arguments; the events go through the X server to the window.
void XDoTool(const QStringList& arguments) {
  ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0)
      << arguments.join(' ').toStdString();
}

void ClickAt(QWidget* widget, QPoint local) {
  const QPoint global = widget->mapToGlobal(local);
  XDoTool({"mousemove", QString::number(global.x()), QString::number(global.y()), "click", "1"});
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs)
      return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

class WindowClipsTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FTemp.isValid());
    FPreviousDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(FTemp.path()));
    // The sample project with the build's demo repository.
    QFile sample(QStringLiteral(VISTALOOM_SOURCE_DIR "/demo/sample.vlq"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(sample.readAll());
    text.replace(QRegularExpression(QStringLiteral("repositorydir=\"[^\"]*\"")),
                 QStringLiteral("repositorydir=\"" VISTALOOM_BIN_DIR "/repository/\""));
    const QString project = FTemp.filePath("sample.vlq");
    QFile copy(project);
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    copy.write(text.toUtf8());
    copy.close();
    FWindow = CreateForms(QStringLiteral(VISTALOOM_BIN_DIR "/"), {project}, &FDialogs);
    FWindow->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
    QTest::qWait(500);
  }
  void TearDown() override {
    FWindow.reset();
    QDir::setCurrent(FPreviousDir);
  }

  TFlashElement* Element(const QString& name) const {
    for (TFlashElement* element : FWindow->FElements.FItems)
      if (element->FName == name)
        return element;
    return nullptr;
  }

  void ShowPage(const QString& page) {
    const QList<QListWidgetItem*> items = FWindow->LBPages->findItems(page, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    ClickAt(FWindow->LBPages->viewport(), FWindow->LBPages->visualItemRect(items[0]).center());
    ASSERT_TRUE(PumpUntil([&] { return FWindow->SelectedPageName() == page; }));
  }

  // An element's rectangle on the stage, in the stage control's pixels.
  QRect OnStage(const TFlashElement* element) const {
    const double scale = FWindow->FScaleX;
    return QRect(int(element->FX * scale), int(element->FY * scale), int(element->FWidth * scale),
                 int(element->FHeight * scale));
  }

  // Clicks the element on the stage (the overlay takes the mouse), then types value into its
  // key row of the Object option grid and presses Enter.
  void SetItemProperty(TFlashElement* element, const QString& key, const QString& value) {
    ClickAt(FWindow->FormPaint, OnStage(element).center());
    TValueListEditor* grid = FWindow->VLEProp;
    ASSERT_TRUE(PumpUntil([&] { return grid->isVisible() && grid->FindRow(key) >= 0; }));
    const int row = grid->FindRow(key);
    ClickAt(grid->viewport(), grid->visualItemRect(grid->item(row, 1)).center());
    ASSERT_TRUE(PumpUntil([&] { return grid->currentRow() == row; }));
    XDoTool({"key", "F2", "ctrl+a"});
    XDoTool({"type", "--delay", "20", value});
    XDoTool({"key", "Return"});
    ASSERT_TRUE(PumpUntil([&] { return element->FProps.GetValue(key) == value; }))
        << key.toStdString() << " stayed " << element->FProps.GetValue(key).toStdString();
  }

  // The screen's pixels of an element's area on the stage, shrunk by inset.
  QImage Screen(const TFlashElement* element, int inset = 0) const {
    TShockwaveFlash* stage = FWindow->ShockwaveFlash;
    const QRect area = OnStage(element).adjusted(inset, inset, -inset, -inset);
    const QPoint at = stage->mapToGlobal(area.topLeft());
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, at.x(), at.y(), area.width(), area.height())
        .toImage();
  }

  // Whether the screen shows what shows() looks for within ms, the window's events running.
  static bool ShowsWithin(int ms, const std::function<bool()>& shows) {
    return PumpUntil(shows, ms);
  }

  static bool Red(QColor c) { return c.red() > 150 && c.green() < 90 && c.blue() < 90; }
  static int Count(const QImage& image, const std::function<bool(QColor)>& test) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        count += test(image.pixelColor(x, y));
    return count;
  }

  QTemporaryDir FTemp;
  QString FPreviousDir;
  TScriptedDialogs FDialogs;
  std::unique_ptr<TFormVistaloom> FWindow;
};

} // namespace

TEST_F(WindowClipsTest, TheFanButtonTurnsRedWhenItsColourIsTypedIn) {
  ShowPage(QStringLiteral("Climate"));
  TFlashElement* fan = Element(QStringLiteral("FanToggle"));
  ASSERT_TRUE(fan);
  SetItemProperty(fan, QStringLiteral("color"), QStringLiteral("red"));
  EXPECT_TRUE(ShowsWithin(FrameMs + PaintSlackMs, [&] {
    const QImage plate = Screen(fan, 4);
    return Count(plate, Red) > plate.width() * plate.height() / 3;
  })) << "the plate turned red";
}

TEST_F(WindowClipsTest, AGaugeAtItsMaximumIsFilledToTheTop) {
  ShowPage(QStringLiteral("Climate"));
  TFlashElement* temperature = Element(QStringLiteral("Temperature"));
  ASSERT_TRUE(temperature);
  SetItemProperty(temperature, QStringLiteral("value"), temperature->FProps.GetValue("max"));
  // A band of the tube just below the readout, reached only by a full fill.
  const double scale = FWindow->FScaleX;
  const auto orange = [](QColor c) { return c.red() > 200 && c.green() > 120 && c.blue() < 60; };
  EXPECT_TRUE(ShowsWithin(FrameMs + PaintSlackMs, [&] {
    const QImage top =
        Screen(temperature).copy(int(14 * scale), int(30 * scale), int(32 * scale), int(4 * scale));
    return Count(top, orange) > top.width() * top.height() / 2;
  })) << "the fill reaches the top";
}

TEST_F(WindowClipsTest, TheBlinkingAlarmLampChangesOverOneSecond) {
  TFlashElement* alarm = Element(QStringLiteral("Alarm"));
  ASSERT_TRUE(alarm);
  ASSERT_EQ(alarm->FProps.GetValue("blink"), "1");
  QSet<int> reds;
  for (int sample = 0; sample < 10; ++sample) {
    reds.insert(Count(Screen(alarm, 8), Red) > 20);
    QTest::qWait(100);
  }
  EXPECT_EQ(reds.size(), 2) << "lit and dark within a second";
}
