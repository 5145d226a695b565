#include "player/PlayerStage.h"
#include "player/swf/SwfParser.h"
#include "tools/swfgen/ClipDescription.h"

#include <gtest/gtest.h>

namespace {

// Plays frame 1 of a movie whose root holds a 40 x 20 sprite "box", a sprite named "_x" and
// one named "_level0", and gives what the root's script traced.
QStringList Traces(const QString& rootScript) {
  QString error;
  const auto description = swfgen::ClipDescription::parse("frame 200 200\n"
                                                          "sprite box 50 50 {\n"
                                                          "  rect 0 0 40 20 #FF0000\n"
                                                          "}\n"
                                                          "sprite _x 0 0 {\n"
                                                          "  rect 0 0 4 4 #00FF00\n"
                                                          "}\n"
                                                          "sprite _level0 0 0 {\n"
                                                          "  rect 0 0 4 4 #0000FF\n"
                                                          "}\n"
                                                          "actions {\n" +
                                                              rootScript + "}\n",
                                                          &error);
  EXPECT_TRUE(description) << error.toStdString();
  if (!description)
    return {};
  QStringList traced;
  PlayerStage stage{[](const QString&, const QString&) {}};
  stage.SetTraceHandler([&traced](const QString& text) { traced << text; });
  stage.LoadLevel(0, ParseSwfMovie(description->toSwf()), "clip");
  return traced;
}

// Sets box's property to value.
QString Set(const QString& property, const QString& value) {
  return "  push \"box\"\n  getVariable\n  push \"" + property + "\", " + value + "\n  setMember\n";
}

// Traces box's properties, each in turn.
QString TraceBox(const QStringList& properties) {
  QString script;
  for (const QString& property : properties)
    script += "  push \"box\"\n  getVariable\n  push \"" + property + "\"\n  getMember\n  trace\n";
  return script;
}

} // namespace

// _width and _height on a turned clip fit both scales to the content as turned: the side set
// takes the size given, the other keeps the size it shows. On a clip that is not turned the
// other scale stays as it was.
TEST(ClipSizeAndNames, SizesFollowTheClipsTurn) {
  const QStringList sides = {"_width", "_height", "_xscale", "_yscale"};
  const QStringList traced =
      Traces(Set("_xscale", "33") + Set("_height", "10") + TraceBox({"_xscale", "_yscale"}) +
             Set("_xscale", "100") + Set("_yscale", "100") + Set("_rotation", "90") +
             Set("_width", "10") + TraceBox(sides) + Set("_width", "10") + TraceBox(sides));
  EXPECT_EQ(traced, QStringList({"33", "50",                // not turned
                                 "20", "20", "50", "100",   // x fitted to the turned width
                                 "10", "20", "50", "50"})); // the shown height kept
}

// Names a clip answers before its properties and prototypes: a level's name ("_levelN",
// "_flashN", no digits meaning 0, the number wrapping at 32 bits) selects the level, even
// over a child of that name or a prototype's member; a child hides a property of its name,
// which setMember and getProperty still reach.
TEST(ClipSizeAndNames, LevelAndChildNamesComeFirst) {
  QString script;
  const auto traceMember = [&script](const QString& name) {
    script += "  push \"_root\"\n  getVariable\n  push \"" + name + "\"\n  getMember\n  trace\n";
  };
  const auto traceVariable = [&script](const QString& name) {
    script += "  push \"" + name + "\"\n  getVariable\n  trace\n";
  };
  traceMember("_x");
  script += "  push \"_root\"\n  getVariable\n  push \"_x\", 42\n  setMember\n";
  traceMember("_x");
  script += "  push \"\", 0\n  getProperty\n  trace\n";
  for (const QString& name : QStringList{"_flash0", "_level", "_level4294967296",
                                         "_level4294967297", "_level2147483648", "_level1"})
    traceVariable(name);
  traceMember("_level0");
  script += "  push \"MovieClip\"\n  getVariable\n  push \"prototype\"\n  getMember\n"
            "  push \"_level1\", 99\n  setMember\n";
  traceMember("_level1");
  EXPECT_EQ(Traces(script),
            QStringList({"_level0._x", "_level0._x", "42", "_level0", "_level0", "_level0",
                         "undefined", "undefined", "undefined", "_level0", "undefined"}));
}
