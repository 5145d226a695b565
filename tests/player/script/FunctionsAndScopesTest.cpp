// Functions, scopes and paths as a clip author relies on them: what a call sees of itself
// and its caller, where var and with put variables, which names and paths reach a clip, and
// what becomes of references to a clip taken off the stage.

#include "player/PlayerStage.h"
#include "player/swf/SwfParser.h"
#include "tools/swfgen/ClipDescription.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// The lines a described movie traces on its first frame, joined by "|". In the description
// "; " separates actions as a line break does.
std::string Traces(QString description) {
  QString error;
  const auto clip =
      swfgen::ClipDescription::parse(description.replace(QStringLiteral("; "), "\n"), &error);
  EXPECT_TRUE(clip) << error.toStdString();
  if (!clip)
    return {};
  QStringList lines;
  PlayerStage stage([](const QString&, const QString&) {});
  stage.SetTraceHandler([&lines](const QString& text) { lines << text; });
  stage.LoadLevel(0, ParseSwfMovie(clip->toSwf()), "clip");
  return lines.join(u'|').toStdString();
}

} // namespace

TEST(FunctionsAndScopes, ACallSeesItselfItsCallerAndThePreloadsItAsksFor) {
  const std::string lines = Traces(R"(frame 100 100
sprite kid 0 0 {
  actions {
    defineFunction2 show () preloadParent preloadGlobal {
      push r:1; trace; push r:2; trace
    }
    push 0, "show"; callFunction; pop
  }
}
actions {
  defineFunction inner () {
    push "arguments"; getVariable; push "caller"; getMember; push "outer"; getVariable
    strictEquals; trace
  }
  defineFunction outer () {
    push "arguments"; getVariable; push "callee"; getMember; push "outer"; getVariable
    strictEquals; trace
    push "arguments"; getVariable; push "caller"; getMember; trace
    push 0, "inner"; callFunction; pop
  }
  push 0, "outer"; callFunction; pop
  // Called without a method name, a function runs without this.
  defineFunction who () {
    push "this"; getVariable; trace
  }
  push 0, "who"; getVariable; push ""; callMethod; pop
}
)");
  EXPECT_EQ(lines, "_level0|[type Object]|true|null|true|undefined");
}

TEST(FunctionsAndScopes, VariablesLandWhereTheScriptPutsThem) {
  const std::string lines = Traces(R"(frame 100 100
actions {
  // o inherits d from its prototype and owns b.
  push "proto", "d", 20, 1; initObject; defineLocal
  push "o", "b", 20, 1; initObject; defineLocal
  push "o"; getVariable; push "__proto__", "proto"; getVariable; setMember
  push "o"; getVariable
  with {
    push "b", 10; defineLocal; push "d", 10; defineLocal; push "d"; getVariable; trace
  }
  push "o"; getVariable; push "b"; getMember; trace
  push "d"; getVariable; trace
  // A __proto__ given a number reads back as that number.
  push "o"; getVariable; push "__proto__", 123; setMember
  push "o"; getVariable; push "__proto__"; getMember; typeOf; trace
  // The root's _parent is a variable like any other.
  push "_parent", "mine"; setVariable; push "_parent"; getVariable; trace
  // for-in ends at undefined, not at null: the names above it are taken, the value below
  // stays.
  push "below", "o"; getVariable; enumerate2
next:
  pushDuplicate; push undefined; strictEquals; if done; pop; jump next
done:
  pop; trace
}
)");
  EXPECT_EQ(lines, "20|10|10|number|mine|below");
}

TEST(FunctionsAndScopes, PathsReachTheClipsAndVariablesTheyName) {
  const std::string lines = Traces(R"(frame 100 100
sprite kid 0 0 {
  keyframe one
  actions {
    stop; push "v", "kid var"; setVariable
  }
  keyframe two
  keyframe three
}
actions {
  // The variable follows the last dot or colon, never a slash.
  push "_root.kid/:v"; getVariable; trace
  push "_root.kid/v"; getVariable; trace
  push "kid."; getVariable; trace
  push "_level0", undefined; add2; getVariable; trace
  // A frame method is a function, called by its path or through with.
  push "kid.stop"; getVariable; typeOf; trace
  push 3, 1, "_root.kid.gotoAndStop"; callFunction; pop
  push "kid._currentframe"; getVariable; trace
  push "kid"; getVariable
  with {
    push 0; initObject
    with {
      push 2, 1, "gotoAndStop"; callFunction; pop
    }
  }
  push "kid._currentframe"; getVariable; trace
  push "_currentframe"; getVariable; trace
}
)");
  EXPECT_EQ(lines, "kid var|undefined|undefined|_level0|function|3|2|1");
}

TEST(FunctionsAndScopes, AReferenceToARemovedClipWaitsForAClipMadeAgainUnderItsName) {
  const std::string lines = Traces(R"(frame 100 100
actions {
  push "c", 1, "box", 2, "this"; getVariable; push "createEmptyMovieClip"; callMethod
  defineLocal
  push "c"; getVariable; push "_name", "renamed"; setMember
  push 0, "c"; getVariable; push "removeMovieClip"; callMethod; pop
  push "c"; getVariable; typeOf; trace
  push "[", "c"; getVariable; add2; push "]"; add2; trace
  push "c"; getVariable; push "_x"; getMember; trace
  // A copy kept while the clip was gone follows it too.
  push "k", "c"; getVariable; defineLocal
  push 2, "box", 2, "this"; getVariable; push "createEmptyMovieClip"; callMethod; pop
  push "c"; getVariable; trace
  push "k"; getVariable; trace
}
)");
  EXPECT_EQ(lines, "movieclip|[]|undefined|_level0.box|_level0.box");
}

TEST(FunctionsAndScopes, CodeWhoseClipWasRemovedRunsOnTheClipNowAtItsPathOrOnTheRoot) {
  const std::string lines = Traces(R"(frame 100 100
actions {
  push "v", "root's"; setVariable
  push 1, "made", 2, "this"; getVariable; push "createEmptyMovieClip"; callMethod; pop
  setTarget "made"
  push "v", "made's"; setVariable
  // made.f takes its own clip off the stage, then looks around.
  push "f"
  defineFunction () {
    push 0, "this"; getVariable; push "removeMovieClip"; callMethod; pop
    push "v"; getVariable; trace
    push "[", "this"; getVariable; add2; push "]"; add2; trace
  }
  setVariable
  setTarget ""
  push "keep", "made.f"; getVariable; setVariable
  push 0, "made"; getVariable; push "f"; callMethod; pop
  // A clip made again at the path is where the function runs now.
  push 2, "made", 2, "this"; getVariable; push "createEmptyMovieClip"; callMethod
  push "v", "new made's"; setMember
  push 0, "keep"; callFunction; pop
}
)");
  EXPECT_EQ(lines, "root's|[]|new made's|[_level0]");
}
