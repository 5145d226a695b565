#include "player/PlayerStage.h"
#include "player/swf/SwfParser.h"
#include "tools/swfgen/ClipDescription.h"

#include <gtest/gtest.h>

// A clip written with swfgen's script blocks runs in the player as its author wrote it:
// registers, loops to labels, calls, exceptions, sprites and their init scripts.
TEST(AssembledScriptTest, ADescribedClipRunsItsAssembledScripts) {
  QString error;
  const auto description = swfgen::ClipDescription::parse(
      "frame 100 100\n"
      "sprite counter 0 0 {\n"
      "  initactions {\n"
      "    push \"_root.initRan\", 1\n"
      "    setVariable\n"
      "  }\n"
      "  rect 0 0 10 10 #FF0000\n"
      "}\n"
      "actions {\n"
      "  // function sumTo(limit) { total = 0; for (i = 1; i <= limit; i++) total += i; }\n"
      "  defineFunction2 sumTo (limit r:1) suppressThis suppressArguments suppressSuper {\n"
      "    push 0\n"
      "    storeRegister 2\n"
      "    pop\n"
      "    push 1\n"
      "    storeRegister 3\n"
      "    pop\n"
      "  loop:\n"
      "    push r:3, r:1\n"
      "    greater\n"
      "    if done\n"
      "    push r:2, r:3\n"
      "    add2\n"
      "    storeRegister 2\n"
      "    pop\n"
      "    push r:3\n"
      "    increment\n"
      "    storeRegister 3\n"
      "    pop\n"
      "    jump loop\n"
      "  done:\n"
      "    push r:2\n"
      "    return\n"
      "  }\n"
      "  push \"sum\", 10, 1, \"sumTo\"\n"
      "  callFunction\n"
      "  setVariable\n"
      "  try e {\n"
      "    push \"boom\"\n"
      "    throw\n"
      "  } catch {\n"
      "    push \"caught\", \"e\"\n"
      "    getVariable\n"
      "    setVariable\n"
      "  }\n"
      "  push \"counterType\", \"counter\"\n"
      "  getVariable\n"
      "  typeOf\n"
      "  setVariable\n"
      "}\n",
      &error);
  ASSERT_TRUE(description) << error.toStdString();
  PlayerStage stage{[](const QString&, const QString&) {}};
  stage.LoadLevel(0, ParseSwfMovie(description->toSwf()), "clip");
  EXPECT_EQ(stage.GetVariable("sum"), "55");
  EXPECT_EQ(stage.GetVariable("caught"), "boom");
  EXPECT_EQ(stage.GetVariable("initRan"), "1");
  EXPECT_EQ(stage.GetVariable("counterType"), "movieclip");
}
