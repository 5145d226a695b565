#include "player/PlayerStage.h"
#include "player/swf/SwfParser.h"
#include "tools/swfgen/ClipDescription.h"

#include <gtest/gtest.h>

namespace {

// Plays frame 1 of a described movie (a sprite "mc" holding a sprite "inner", and the root's
// script) as a movie of version, and gives what it traced.
QStringList Traces(const QString& rootScript, int version = 13) {
  QString error;
  const auto description = swfgen::ClipDescription::parse("frame 100 100\n"
                                                          "sprite mc 10 10 {\n"
                                                          "  rect 0 0 10 10 #FF0000\n"
                                                          "  sprite inner 0 0 {\n"
                                                          "    rect 0 0 4 4 #00FF00\n"
                                                          "  }\n"
                                                          "}\n"
                                                          "actions {\n" +
                                                              rootScript + "}\n",
                                                          &error);
  EXPECT_TRUE(description) << error.toStdString();
  if (!description)
    return {};
  QByteArray file = description->toSwf();
  file[3] = char(version);
  QStringList traced;
  PlayerStage stage{[](const QString&, const QString&) {}};
  stage.SetTraceHandler([&traced](const QString& text) { traced << text; });
  stage.LoadLevel(0, ParseSwfMovie(file), "clip");
  return traced;
}

} // namespace

// setProperty and getProperty as a clip author relies on them: the property number is any
// value that reads as one, values come through valueOf or toString, a value that is no number
// changes nothing, positions keep whole twips and _alpha keeps 1/256 steps.
TEST(ClipPathsAndProperties, PropertiesTakeScriptValuesAsThePlayerDoes) {
  const QStringList traced = Traces("  push \"mc\", 0, 1.03\n"
                                    "  setProperty\n"
                                    "  push \"mc\", \"0\", \"10x\"\n" // no number: _x stays
                                    "  setProperty\n"
                                    "  push \"mc\", -0.8\n" // cut towards zero: _x
                                    "  getProperty\n"
                                    "  trace\n"
                                    "  push \"mc\", 6, 2\n"
                                    "  setProperty\n"
                                    "  push \"mc\", 6\n"
                                    "  getProperty\n"
                                    "  trace\n"
                                    "  push \"mc\", 10, Infinity\n"
                                    "  setProperty\n"
                                    "  push \"mc\", 10\n"
                                    "  getProperty\n"
                                    "  trace\n"
                                    "  push \"o\", 0\n"
                                    "  initObject\n"
                                    "  setVariable\n"
                                    "  push \"o\"\n"
                                    "  getVariable\n"
                                    "  push \"valueOf\"\n"
                                    "  defineFunction () {\n"
                                    "    push 40\n"
                                    "    return\n"
                                    "  }\n"
                                    "  setMember\n"
                                    "  push \"mc\", 1, \"o\"\n"
                                    "  getVariable\n"
                                    "  setProperty\n"
                                    "  push \"mc\", 1\n"
                                    "  getProperty\n"
                                    "  trace\n"
                                    "  push \"mc/inner\", 11\n"
                                    "  getProperty\n"
                                    "  trace\n"
                                    "  push \"\", 11\n"
                                    "  getProperty\n"
                                    "  trace\n"
                                    "  push \"\", 16, 0\n" // _highquality 0 is LOW quality
                                    "  setProperty\n"
                                    "  push \"\", 19\n"
                                    "  getProperty\n"
                                    "  trace\n");
  EXPECT_EQ(traced, QStringList({"1.05", "1.953125", "NaN", "40", "/mc/inner", "/", "LOW"}));
}

// Target and variable paths: tellTarget of a missing clip talks to the root and has no
// properties, a clip is found by name before a variable of the same name, colons and slashes
// part paths anywhere, dots only before the first slash, and _lockroot moves _root.
TEST(ClipPathsAndProperties, PathsFindClipsAsThePlayerDoes) {
  const QStringList traced =
      Traces("  push \"where\", \"root\"\n"
             "  setVariable\n"
             "  push \"mc\"\n"
             "  getVariable\n"
             "  push \"where\", \"mc\"\n"
             "  setMember\n"
             "  push \"mc\", \"text that hides the clip\"\n"
             "  setVariable\n"
             "  setTarget \"missing\"\n"
             "  push \"where\"\n"
             "  getVariable\n"
             "  trace\n"
             "  push \"\", 13\n"
             "  getProperty\n"
             "  trace\n"
             "  setTarget \"\"\n"
             "  push \"mc.where\"\n"
             "  getVariable\n"
             "  trace\n"
             "  push \"mc:inner._name\"\n"
             "  getVariable\n"
             "  trace\n"
             "  push \"/mc/inner:_name\"\n"
             "  getVariable\n"
             "  trace\n"
             "  push \"mc/inner.x:_name\"\n" // after a slash, "inner.x" is one name
             "  getVariable\n"
             "  trace\n"
             "  push \"a/b\", 1\n" // slashes alone: a variable's name
             "  setVariable\n"
             "  push \"a/b\"\n"
             "  getVariable\n"
             "  trace\n"
             "  push \"mc.inner._root\"\n"
             "  getVariable\n"
             "  trace\n"
             "  push \"mc:_lockroot\", true\n"
             "  setVariable\n"
             "  push \"mc.inner._root\"\n"
             "  getVariable\n"
             "  trace\n");
  EXPECT_EQ(traced, QStringList({"root", "undefined", "mc", "inner", "inner", "undefined", "1",
                                 "_level0", "_level0.mc"}));
}

// Movies before version 7 ignore the case of the player's own names too.
TEST(ClipPathsAndProperties, OldMoviesNameTheRootInAnyCase) {
  const QString script = "  push \"_ROOT.mc._NAME\"\n"
                         "  getVariable\n"
                         "  trace\n"
                         "  push \"_LEVEL0\"\n"
                         "  getVariable\n"
                         "  trace\n";
  EXPECT_EQ(Traces(script, 6), QStringList({"mc", "_level0"}));
  EXPECT_EQ(Traces(script, 7), QStringList({"undefined", "undefined"}));
}
