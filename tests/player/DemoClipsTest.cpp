#include "player/ShockwaveFlash.h"
#include "tools/swfgen/ClipDescription.h"

#include <QCoreApplication>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

// The demo repository's clips, as the designer drives them: loaded on level 101 over a white
// main movie, their item properties set by variable, the stage drawn at scale 1.
namespace {

constexpr int Level = 101;

// Writes the movie swfgen makes of description to path; returns path.
QString WriteDescribedMovie(const QString& path, const QString& description) {
  QString error;
  const auto parsed = swfgen::ClipDescription::parse(description, &error);
  EXPECT_TRUE(parsed) << error.toStdString();
  QFile file(path);
  if (parsed && file.open(QIODevice::WriteOnly))
    file.write(parsed->toSwf());
  return path;
}

class DemoClipsTest : public testing::Test {
protected:
  void SetUp() override {
    FStage.resize(400, 300);
    FStage.UseVirtualClock();
    FStage.SetMovie(
        WriteDescribedMovie(FFolder.filePath("main.swf"), "frame 400 300\nbackground #FFFFFF\n"));
    FStage.Play();
  }
  void Load(const char* clip) {
    FStage.LoadMovie(Level, QStringLiteral(VISTALOOM_BIN_DIR "/repository/%1.swf").arg(clip));
    QCoreApplication::processEvents();
    ASSERT_EQ(FStage.LoadError(Level).toStdString(), "");
  }
  // Sets an item property as the designer does; the clip shows it within one frame.
  void Set(const QString& key, const QString& value) {
    FStage.SetVariable(QStringLiteral("_root._level%1.item.").arg(Level) + key, value);
    FStage.AdvanceFrame();
  }
  QString Get(const QString& name) {
    return FStage.GetVariable(QStringLiteral("_root._level%1.").arg(Level) + name);
  }
  double Property(const QString& path, int property) {
    return FStage.TGetProperty(QStringLiteral("_level%1.").arg(Level) + path, property).toDouble();
  }
  QImage Render() {
    QImage image(FStage.size(), QImage::Format_RGB32);
    FStage.render(&image);
    return image;
  }
  // Pixels in area whose colour passes the test.
  int Count(const QRect& area, const std::function<bool(QColor)>& test) {
    const QImage image = Render();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x)
        count += test(image.pixelColor(x, y));
    return count;
  }
  static bool Reddish(QColor c) { return c.red() > 150 && c.green() < 90 && c.blue() < 90; }
  // The demo's green (#2E9E5B) under the plate's shading: green well above red and blue.
  static bool Greenish(QColor c) {
    return c.green() > 140 && c.green() > c.red() + 50 && c.green() > c.blue() + 30;
  }
  static bool Bluish(QColor c) { return c.blue() > 150 && c.red() < 90 && c.green() < 140; }

  QTemporaryDir FFolder;
  TShockwaveFlash FStage;
};

} // namespace

TEST_F(DemoClipsTest, GaugeAndSliderFollowTheirValuesBetweenMinAndMax) {
  Load("gauge");
  const QRect top(14, 30, 32, 4); // the tube's top, reached only by a full gauge
  const auto orange = [](QColor c) { return c.red() > 200 && c.green() > 120 && c.blue() < 60; };
  Set("value", "100");
  EXPECT_GT(Count(top, orange), 100);
  EXPECT_EQ(Get("readout"), "100 %");
  Set("value", "0");
  EXPECT_EQ(Count(QRect(14, 30, 32, 136), orange), 0);
  // value 21 between 0 and 40: a fill a little above half way.
  Set("max", "40");
  Set("value", "21");
  Set("unit", "C");
  EXPECT_NEAR(Property("fill", 3), 52.5, 0.01);
  EXPECT_EQ(Get("readout"), "21 C");
  // Above max, an empty range or no number at all: held full, or empty.
  Set("value", "75");
  EXPECT_NEAR(Property("fill", 3), 100, 0.01);
  Set("value", "warm");
  EXPECT_NEAR(Property("fill", 3), 0, 0.01);

  Load("slider");
  Set("min", "15");
  Set("max", "30");
  Set("value", "30");
  EXPECT_NEAR(Property("body.knob", 0), 184, 0.01);
  EXPECT_NEAR(Property("body.track", 2), 100, 0.01);
  Set("value", "18");
  EXPECT_NEAR(Property("body.knob", 0), 184 * 0.2, 0.01);
  EXPECT_NEAR(Property("body", 10), 0, 0.01);
  Set("orientation", "vertical");
  EXPECT_NEAR(Property("body", 10), -90, 0.01);
  EXPECT_NEAR(Property("body", 1), 200, 0.01);
  Set("orientation", "horizontal");
  EXPECT_NEAR(Property("body", 10), 0, 0.01);
}

TEST_F(DemoClipsTest, ButtonFrameAndLabelTakeTheirColours) {
  Load("button");
  const QRect plate(10, 20, 100, 10); // below the caption's line
  EXPECT_GT(Count(plate, Greenish), 500) << "green as drawn";
  Set("color", "red");
  EXPECT_GT(Count(plate, Reddish), 500);
  Set("color", "#2F6FD0");
  EXPECT_GT(Count(plate, Bluish), 500);
  // A colour no one knows keeps the button's own green, and nothing fails.
  Set("color", "sparkly");
  EXPECT_GT(Count(plate, Greenish), 500);
  Set("color", "#12345G");
  EXPECT_GT(Count(plate, Greenish), 500);

  Load("frame");
  const QRect leftBorder(0, 30, 2, 160);
  Set("color", "blue");
  EXPECT_EQ(Count(leftBorder, Bluish), 2 * 160);

  Load("label");
  const QRect text(28, 3, 128, 22);
  const auto ink = [](QColor c) { return c.red() > 150 && c.green() < 120; };
  Set("text", "Status");
  Set("color", "red");
  const int leftInk = Count(QRect(28, 3, 50, 22), ink);
  EXPECT_GT(leftInk, 10);
  Set("align", "right");
  EXPECT_EQ(Count(QRect(28, 3, 50, 22), ink), 0);
  EXPECT_GT(Count(text, ink), 10);
}

TEST_F(DemoClipsTest, LampShowsItsStateAndBlinksTwiceASecond) {
  Load("lamp");
  const QRect lens(10, 10, 16, 16);
  EXPECT_LT(Count(lens, Reddish), 40) << "off as drawn";
  Set("state", "on");
  EXPECT_GT(Count(lens, Reddish), 40);
  Set("state", "off");
  EXPECT_LT(Count(lens, Reddish), 40);

  // Blinking: over one second (24 frames at the main movie's rate) the lens is lit at some
  // frames and dark at others; it stays lit when blink goes back to 0 with state on.
  Set("blink", "1");
  QSet<bool> seen;
  for (int frame = 0; frame < 24; ++frame) {
    FStage.AdvanceFrame();
    seen.insert(Count(lens, Reddish) > 40);
  }
  EXPECT_EQ(seen.size(), 2) << "lit and dark within a second";
  Set("state", "on");
  Set("blink", "0");
  EXPECT_GT(Count(lens, Reddish), 40);
  for (int frame = 0; frame < 12; ++frame)
    FStage.AdvanceFrame();
  EXPECT_GT(Count(lens, Reddish), 40);
}

TEST_F(DemoClipsTest, LampTintsItsLensInItsColour) {
  Load("lamp");
  const QRect lens(10, 10, 16, 16);
  const auto brightYellow = [](QColor c) { return c.red() > 200 && c.green() > 170; };
  Set("color", "yellow");
  Set("state", "on");
  const int lit = Count(lens, brightYellow);
  EXPECT_GT(lit, 100);
  Set("state", "off");
  EXPECT_LT(Count(lens, brightYellow), lit / 4);
  Set("color", "#2E9E5B");
  Set("state", "on");
  EXPECT_GT(Count(lens, Greenish), 40);
  Set("color", "no such colour");
  EXPECT_GT(Count(lens, Reddish), 40) << "the lamp's own red";
}

TEST_F(DemoClipsTest, HostWritesRunTheClipsWatchersAndSetters) {
  FStage.LoadMovie(Level, WriteDescribedMovie(FFolder.filePath("watching.swf"),
                                              "item probe=0\n"
                                              "actions {\n"
                                              "  defineFunction (key, previous, value) {\n"
                                              "    push \"seen\", \"value\"\n"
                                              "    getVariable\n"
                                              "    setVariable\n"
                                              "    push \"value\"\n"
                                              "    getVariable\n"
                                              "    push \"!\"\n"
                                              "    add2\n"
                                              "    return\n"
                                              "  }\n"
                                              "  push \"probe\", 2, \"item\"\n"
                                              "  getVariable\n"
                                              "  push \"watch\"\n"
                                              "  callMethod\n"
                                              "  pop\n"
                                              "  defineFunction (value) {\n"
                                              "    push \"stored\", \"value\"\n"
                                              "    getVariable\n"
                                              "    setVariable\n"
                                              "  }\n"
                                              "  defineFunction () {\n"
                                              "    push \"stored\"\n"
                                              "    getVariable\n"
                                              "    return\n"
                                              "  }\n"
                                              "  push \"level\", 3, \"this\"\n"
                                              "  getVariable\n"
                                              "  push \"addProperty\"\n"
                                              "  callMethod\n"
                                              "  pop\n"
                                              "}\n"));
  QCoreApplication::processEvents();
  ASSERT_EQ(FStage.LoadError(Level).toStdString(), "");
  FStage.SetVariable(QStringLiteral("_root._level%1.item.probe").arg(Level), "1");
  EXPECT_EQ(Get("seen"), "1") << "the watcher saw the host's value";
  EXPECT_EQ(Get("item.probe"), "1!") << "and decided what is stored";
  FStage.SetVariable(QStringLiteral("_level%1.level").arg(Level), "5");
  EXPECT_EQ(Get("stored"), "5") << "the setter took the value";
  // Paths that lead nowhere are ignored.
  FStage.SetVariable(QStringLiteral("_level%1.nothing.here").arg(Level), "1");
  FStage.SetVariable(QStringLiteral("_level7.x"), "1");
  EXPECT_EQ(Get("nothing"), "");
}

// A shown stage of the demo's clips, their item properties set: no timer ticks while every
// clip is at rest; a blinking lamp starts the clock and stops it again when it stops.
TEST(DemoClipsAtRestTest, TakeNoTimerTicksUntilALampBlinks) {
  TShockwaveFlash stage;
  stage.resize(400, 300);
  stage.show();
  const QStringList clips{"button", "frame", "gauge", "label", "lamp", "slider"};
  for (int i = 0; i < clips.size(); ++i)
    stage.LoadMovie(Level + i,
                    QStringLiteral(VISTALOOM_BIN_DIR "/repository/%1.swf").arg(clips.at(i)));
  QCoreApplication::processEvents();
  const auto item = [](int level, const QString& key) {
    return QStringLiteral("_root._level%1.item.").arg(level) + key;
  };
  for (int i = 0; i < clips.size(); ++i) {
    ASSERT_TRUE(stage.HasLevel(Level + i)) << stage.LoadError(Level + i).toStdString();
    stage.SetVariable(item(Level + i, "color"), "blue");
    stage.SetVariable(item(Level + i, "value"), "75");
  }
  const int lamp = Level + int(clips.indexOf("lamp"));
  stage.SetVariable(item(lamp, "state"), "on");
  const auto clock = stage.findChild<QTimer*>();
  ASSERT_NE(clock, nullptr);
  EXPECT_FALSE(clock->isActive());
  stage.SetVariable(item(lamp, "blink"), "1");
  EXPECT_TRUE(clock->isActive());
  stage.SetVariable(item(lamp, "blink"), "0");
  EXPECT_TRUE(QTest::qWaitFor([clock] { return !clock->isActive(); }, 1000));
}
