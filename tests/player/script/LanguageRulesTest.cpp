#include "player/ActionAssembler.h"
#include "player/PlayerStage.h"
#include "player/SwfBuilder.h"
#include "player/swf/SwfParser.h"
#include "tools/swfgen/ClipDescription.h"

#include <gtest/gtest.h>

// What clip authors rely on from the language itself: how values convert and compare in each
// SWF version, variables that are getters and setters, this and registers in functions, and
// scripts whose branches lead past an End.
namespace {

struct MovieRun {
  PlayerStage Stage{[](const QString&, const QString&) {}};

  MovieRun(const QString& actions, int version) {
    QString error;
    auto description =
        swfgen::ClipDescription::parse("frame 100 100\nactions {\n" + actions + "}\n", &error);
    if (!description) {
      ADD_FAILURE() << error.toStdString();
      return;
    }
    description->version = quint8(version);
    Stage.LoadLevel(0, ParseSwfMovie(description->toSwf()), "clip");
  }
  QString Get(const QString& name) const { return Stage.GetVariable(name); }
};

// Objects a and b whose valueOf returns 1 and 2 and appends their name to log.
const QString LoggingObjects = R"(
  push "log", ""
  setVariable
  push "a", "valueOf"
  defineFunction () {
    push "log", "log"
    getVariable
    push "a"
    add2
    setVariable
    push 1
    return
  }
  push 1
  initObject
  setVariable
  push "b", "valueOf"
  defineFunction () {
    push "log", "log"
    getVariable
    push "b"
    add2
    setVariable
    push 2
    return
  }
  push 1
  initObject
  setVariable
)";

// name = (a OP b), and nameOrder = the order valueOf ran in.
QString Operation(const QString& name, const QString& op) {
  return QStringLiteral(R"(
  push "log", ""
  setVariable
  push "%1", "a"
  getVariable
  push "b"
  getVariable
  %2
  setVariable
  push "%1Order", "log"
  getVariable
  setVariable
)")
      .arg(name, op);
}

} // namespace

TEST(LanguageRules, ObjectsConvertThroughValueOfAndToStringInThePlayersOrder) {
  const QString script = LoggingObjects + Operation("sum", "add2") +
                         Operation("difference", "subtract") + Operation("product", "multiply") +
                         R"(
  push "plain", 0
  initObject
  setVariable
  push "plainPlusOne", "plain"
  getVariable
  push 1
  add2
  setVariable
  push "plainPlusText", "plain"
  getVariable
  push "x"
  add2
  setVariable
  push "noText", "x", "toString"
  defineFunction () {
    push 5
    return
  }
  push 1
  initObject
  stringAdd
  setVariable
  push "textNaN", "NaN", NaN
  equals2
  setVariable
  push "bothNaN", NaN, NaN
  equals2
  setVariable
  push "boxed", 1, 1, "Number"
  newObject
  push 1, 1, "Number"
  newObject
  equals2
  setVariable
)";
  const MovieRun swf8(script, 8);
  EXPECT_EQ(swf8.Get("sum"), "3");
  EXPECT_EQ(swf8.Get("sumOrder"), "ba");
  EXPECT_EQ(swf8.Get("difference"), "-1");
  EXPECT_EQ(swf8.Get("differenceOrder"), "ba");
  EXPECT_EQ(swf8.Get("productOrder"), "ab");
  // Object's valueOf gives the object itself: no number, and its text only beside a text.
  EXPECT_EQ(swf8.Get("plainPlusOne"), "NaN");
  EXPECT_EQ(swf8.Get("plainPlusText"), "[object Object]x");
  EXPECT_EQ(swf8.Get("noText"), "x[type Object]");
  EXPECT_EQ(swf8.Get("textNaN"), "false");
  EXPECT_EQ(swf8.Get("bothNaN"), "true");
  EXPECT_EQ(swf8.Get("boxed"), "false");
  // Version 5 compares two objects by what they stand for.
  EXPECT_EQ(MovieRun(script, 5).Get("boxed"), "true");
}

TEST(LanguageRules, VersionFourMoviesReadNumbersAsTheirPlayerDid) {
  const MovieRun swf4(R"(
  push "ratio", 3, "12.34A"
  divide
  setVariable
  push "nanPlusOne", "NaN"
  getVariable
  push 1
  add
  setVariable
  push "same", 1, 1
  equals2
  setVariable
  push "outer", 4, 0
  divide
  setVariable
  defineFunction quotient () {
    push 4, 0
    divide
    return
  }
  push "inner", 0, "quotient"
  callFunction
  setVariable
)",
                      4);
  EXPECT_EQ(swf4.Get("ratio"), "0.243111831442464"); // the number the text starts with
  EXPECT_EQ(swf4.Get("nanPlusOne"), "1");            // no globals: NaN is undefined, so 0
  EXPECT_EQ(swf4.Get("same"), "1");
  EXPECT_EQ(swf4.Get("outer"), "#ERROR#");
  EXPECT_EQ(swf4.Get("inner"), "Infinity"); // function bodies follow version 5
}

TEST(LanguageRules, VariablesRunGettersAndSettersAndDeepRecursionStops) {
  const MovieRun run(R"(
  defineFunction (v) {
    push "stored", "v"
    getVariable
    setVariable
  }
  defineFunction () {
    push "got ", "stored"
    getVariable
    add2
    return
  }
  push "prop", 3, "this"
  getVariable
  push "addProperty"
  callMethod
  pop
  push "prop", 10
  defineLocal
  push "seen", "prop"
  getVariable
  setVariable
  defineFunction (name, old, v) {
    push "v"
    getVariable
    push "!"
    add2
    return
  }
  push "prop", 2, "this"
  getVariable
  push "watch"
  callMethod
  pop
  push "prop", 5
  setVariable
  push "watched", "stored"
  getVariable
  setVariable
  push "calls", 0
  setVariable
  push null
  defineFunction () {
    push "calls", "calls"
    getVariable
    increment
    setVariable
    push "deep"
    getVariable
    return
  }
  push "deep", 3, "this"
  getVariable
  push "addProperty"
  callMethod
  pop
  push "deep"
  getVariable
  pop
  push "after", 1
  setVariable
)",
                     8);
  EXPECT_EQ(run.Get("seen"), "got 10"); // var prop = 10 ran the setter
  EXPECT_EQ(run.Get("watched"), "5!");  // a watcher decides what the setter gets
  EXPECT_EQ(run.Get("calls"), "65");
  EXPECT_EQ(run.Get("after"), "1");
}

namespace {

// Lines that add one to the variable name.
QString Counting(const QString& name) {
  return QStringLiteral("push \"%1\", \"%1\"\ngetVariable\nincrement\nsetVariable\n").arg(name);
}

} // namespace

TEST(LanguageRules, AccessorsAndWatchersThatTriggerThemselvesStopAtTheirMembersDepth) {
  const MovieRun run(QString(R"(
  // o.prop: a setter that reads the member and a getter that sets it count together.
  push "calls", 0
  setVariable
  push "o", 0
  initObject
  setVariable
  defineFunction (v) {
)" + Counting("calls") + R"(    push "o"
    getVariable
    push "prop"
    getMember
    pop
  }
  defineFunction () {
)" + Counting("calls") + R"(    push "o"
    getVariable
    push "prop", "h"
    setMember
    push "e"
    return
  }
  push "prop", 3, "o"
  getVariable
  push "addProperty"
  callMethod
  pop
  push "o"
  getVariable
  push "prop", "b"
  setMember
  push "pairCalls", "calls"
  getVariable
  setVariable
  // k.prop: a setter setting and a getter reading the member; the deepest read gives the
  // value the outermost assignment stored.
  push "k", 0
  initObject
  setVariable
  defineFunction (v) {
    push "k"
    getVariable
    push "prop", "f"
    setMember
  }
  defineFunction () {
    push "k"
    getVariable
    push "prop"
    getMember
    return
  }
  push "prop", 3, "k"
  getVariable
  push "addProperty"
  callMethod
  pop
  push "k"
  getVariable
  push "prop", "b"
  setMember
  push "kept", "k"
  getVariable
  push "prop"
  getMember
  setVariable
  // w.prop: a watcher that reads and sets its member; the getter runs inside the watcher's
  // depth, so the deepest watcher no longer reaches it.
  push "watcherCalls", 0
  setVariable
  push "getterCalls", 0
  setVariable
  push "w", 0
  initObject
  setVariable
  push null
  defineFunction () {
)" + Counting("getterCalls") +
                             R"(    push "e"
    return
  }
  push "prop", 3, "w"
  getVariable
  push "addProperty"
  callMethod
  pop
  defineFunction (name, old, v) {
)" + Counting("watcherCalls") +
                             R"(    push "w"
    getVariable
    push "prop"
    getMember
    pop
    push "w"
    getVariable
    push "prop", "c"
    setMember
    push "d"
    return
  }
  push "prop", 2, "w"
  getVariable
  push "watch"
  callMethod
  pop
  push "w"
  getVariable
  push "prop", "b"
  setMember
  // A prototype chain that loops stops the script at the lookup.
  push "loop", 0
  initObject
  setVariable
  push "loop"
  getVariable
  push "__proto__", "loop"
  getVariable
  setMember
  push "loop"
  getVariable
  push "missing"
  getMember
  pop
  push "afterLoop", 1
  setVariable
)"),
                     7);
  EXPECT_EQ(run.Get("pairCalls"), "65");
  EXPECT_EQ(run.Get("kept"), "b");
  EXPECT_EQ(run.Get("watcherCalls"), "65");
  EXPECT_EQ(run.Get("getterCalls"), "64");
  EXPECT_EQ(run.Get("afterLoop"), "");
}

TEST(LanguageRules, FunctionsSeeTheirThisAndShareTheFrameScriptsRegisters) {
  const MovieRun run(R"(
  defineFunction kindOfThis () {
    push "this"
    getVariable
    typeOf
    return
  }
  push "kind", "text", 1, "kindOfThis"
  getVariable
  push "call"
  callMethod
  setVariable
  defineFunction2 timelineThis () suppressThis {
    push "this"
    getVariable
    typeOf
    return
  }
  push "thisName", "text", 1, "timelineThis"
  getVariable
  push "call"
  callMethod
  setVariable
  push "o", "mark", "in o", "whoAmI"
  defineFunction () {
    push "this"
    getVariable
    push "mark"
    getMember
    return
  }
  push 2
  initObject
  setVariable
  push "o"
  getVariable
  with {
    push "calledInWith", 0, "whoAmI"
    callFunction
    setVariable
  }
  push "bare", 0, "Function"
  callFunction
  toString
  setVariable
  push "this", "replaced"
  setVariable
  push "thisNow", "this"
  getVariable
  setVariable
)",
                     8);
  EXPECT_EQ(run.Get("kind"), "string");        // no boxing of a text this
  EXPECT_EQ(run.Get("thisName"), "movieclip"); // a suppressed this names the timeline
  EXPECT_EQ(run.Get("thisNow"), "replaced");
  EXPECT_EQ(run.Get("bare"), "[type Object]"); // Function() makes an object with no prototype
  EXPECT_EQ(run.Get("calledInWith"), "in o");  // a function found on a with object runs on it

  // A function with one register of its own reaches the frame script's past it.
  constexpr int Pop = 0x17, SetVariable = 0x1D, CallFunction = 0x3D, StoreRegister = 0x87;
  ActionAssembler body;
  body.Push("seenRegister").PushRegister(2).Op(SetVariable);
  body.Push("written").Record(StoreRegister, QByteArray(1, '\3')).Op(Pop);
  ActionAssembler script;
  script.Push("x").Record(StoreRegister, QByteArray(1, '\2')).Op(Pop);
  script.DefineFunction2("useRegisters", 1, 0, {}, body);
  script.Push("ignored").PushInteger(0).Push("useRegisters").Op(CallFunction).Op(SetVariable);
  script.Push("afterRegister").PushRegister(3).Op(SetVariable);
  PlayerStage stage{[](const QString&, const QString&) {}};
  stage.LoadLevel(0, ParseSwfMovie(SwfBuilder::File(script.Tag(), 'F', 8000, 6000, 8)), "clip");
  EXPECT_EQ(stage.GetVariable("seenRegister"), "x");
  EXPECT_EQ(stage.GetVariable("afterRegister"), "written");
}

TEST(LanguageRules, BranchesPastAnEndCarryOnAndBadCountsTakeNothing) {
  const MovieRun run(R"(
  push "before", 1
  setVariable
  jump later
  end
  push "skipped", 1
  setVariable
later:
  push "after", 1
  setVariable
  push "kept", "k", 5
  initArray
  pop
  setVariable
)",
                     8);
  EXPECT_EQ(run.Get("before"), "1");
  EXPECT_EQ(run.Get("skipped"), "");
  EXPECT_EQ(run.Get("after"), "1");
  EXPECT_EQ(run.Get("kept"), "k");
}

TEST(LanguageRules, SuperReachesTheLevelAboveAndLeftoverValuesStayOnTheStack) {
  // Base() { log += "B" }; Derived() { super(); log += "D" }; Derived.prototype is a Base;
  // Base.prototype.who() gives "base", Derived.prototype.who() gives "derived " + super.who().
  const MovieRun run(R"(
  push "log", ""
  setVariable
  defineFunction Base () {
    push "log", "log"
    getVariable
    push "B"
    add2
    setVariable
  }
  defineFunction Derived () {
    push 0, "super"
    callFunction
    pop
    push "log", "log"
    getVariable
    push "D"
    add2
    setVariable
  }
  push "Base"
  getVariable
  push "prototype"
  getMember
  push "who"
  defineFunction () {
    push "base"
    return
  }
  setMember
  push "Derived"
  getVariable
  push "prototype", 0, "Base"
  newObject
  setMember
  push "Derived"
  getVariable
  push "prototype"
  getMember
  push "who"
  defineFunction () {
    push "derived ", 0, "super"
    getVariable
    push "who"
    callMethod
    add2
    return
  }
  setMember
  push "log", ""
  setVariable
  push "answer", 0, 0, "Derived"
  newObject
  push "who"
  callMethod
  setVariable
  defineFunction leaves () {
    push "left"
  }
  push "leftover", 0, "leaves"
  callFunction
  pop
  setVariable
)",
                     8);
  EXPECT_EQ(run.Get("log"), "BD");
  EXPECT_EQ(run.Get("answer"), "derived base");
  EXPECT_EQ(run.Get("leftover"), "left"); // a function's unpopped values outlive it
}

TEST(LanguageRules, PathsNameTheMemberAfterTheirLastSeparator) {
  const MovieRun run(R"(
  push "o", "c", "f", 1, "g", 2, 2
  initObject
  push 1
  initObject
  setVariable
  push "viaColon", "o:c.f"
  getVariable
  setVariable
  push "deletedDot", "o:c.f"
  delete2
  setVariable
  push "deletedColon", "o:c:g"
  delete2
  setVariable
  push "leftF", "o.c.f"
  getVariable
  typeOf
  setVariable
  push "leftG", "o.c.g"
  getVariable
  typeOf
  setVariable
  push "_global"
  getVariable
  push "a", "b", "c", "global", 1
  initObject
  push 1
  initObject
  setMember
  push "a", "b", "here", 1
  initObject
  setVariable
  push "fromNextScope", "a.b.c"
  getVariable
  setVariable
)",
                     8);
  EXPECT_EQ(run.Get("viaColon"), "1");
  EXPECT_EQ(run.Get("deletedDot"), "true");
  EXPECT_EQ(run.Get("deletedColon"), "true");
  EXPECT_EQ(run.Get("leftF"), "undefined");
  EXPECT_EQ(run.Get("leftG"), "undefined");
  // The timeline's a.b has no c: the path is tried again from _global.
  EXPECT_EQ(run.Get("fromNextScope"), "global");
}

TEST(LanguageRules, VersionSixInstancesHoldTheirConstructor) {
  const QString script = R"(
  defineFunction Point () {
  }
  push "own", "constructor", 1, 0, "Point"
  newObject
  push "hasOwnProperty"
  callMethod
  setVariable
)";
  EXPECT_EQ(MovieRun(script, 6).Get("own"), "true");
  EXPECT_EQ(MovieRun(script, 8).Get("own"), "false");
}
