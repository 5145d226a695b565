#include "player/ActionAssembler.h"
#include "player/PlayerStage.h"
#include "player/SwfBuilder.h"
#include "player/swf/SwfParser.h"

#include <gtest/gtest.h>

using namespace SwfBuilder;
using Asm = ActionAssembler;

namespace {

constexpr int Add = 0x0A, Subtract = 0x0B, Divide = 0x0D, Equals = 0x0E, Less = 0x0F, Not = 0x12,
              StringLength = 0x14, StringExtract = 0x15, Pop = 0x17, GetVariable = 0x1C,
              SetVariable = 0x1D, StringAdd = 0x21, GetProperty = 0x22, Throw = 0x2A,
              CharToAscii = 0x32, AsciiToChar = 0x33, MBStringExtract = 0x35, MBAsciiToChar = 0x37,
              Delete = 0x3A, DefineLocal = 0x3C, Return = 0x3E, NewObject = 0x40,
              DefineLocal2 = 0x41, InitArray = 0x42, InitObject = 0x43, TypeOf = 0x44,
              TargetPath = 0x45, Add2 = 0x47, Less2 = 0x48, Equals2 = 0x49, ToNumber = 0x4A,
              GetMember = 0x4E, SetMember = 0x4F, Increment = 0x50, CallMethod = 0x52,
              InstanceOf = 0x54, Enumerate2 = 0x55, StrictEquals = 0x66, Extends = 0x69,
              StoreRegister = 0x87;

// DefineFunction2 flags; preloaded values fill the registers from 1 in this order: this,
// arguments, super, _root, _parent, _global.
constexpr int PreloadThis = 0x0100, PreloadRoot = 0x4000, PreloadGlobal = 0x0001,
              SuppressArguments = 0x0800, SuppressSuper = 0x2000, PreloadSuper = 0x1000;

struct ScriptRun {
  std::vector<std::pair<QString, QString>> Commands;
  PlayerStage Stage{[this](const QString& command, const QString& args) {
    Commands.emplace_back(command, args);
  }};

  explicit ScriptRun(const QByteArray& tags, int version = 10) {
    Stage.LoadLevel(0, ParseSwfMovie(File(tags, 'F', 8000, 6000, version)), "clip");
  }
  QString Get(const QString& name) const { return Stage.GetVariable(name); }
};

// while (i < limit) { body; i++ } with i starting at 0.
Asm CountedLoop(int limit, const Asm& body) {
  Asm step;
  step.Append(body).Set("i", Asm().Push("i").Op(GetVariable).Op(Increment));
  Asm condition;
  condition.Push("i").Op(GetVariable).PushInteger(limit).Op(Less2).Op(Not);
  const int jumpSize = 5;
  Asm loop;
  loop.Set("i", Asm().PushInteger(0)).Append(condition).If(step.Size() + jumpSize).Append(step);
  return loop.Jump(-(condition.Size() + jumpSize + step.Size() + jumpSize));
}

Asm ConstantPool(const QStringList& entries) {
  Writer payload;
  payload.U16(int(entries.size()));
  for (const QString& entry : entries)
    payload.Text(entry);
  return Asm().Record(0x88, payload.Data());
}

Asm PushConstant(int index) {
  return Asm().Record(0x96, Writer().U8(8).U8(index).Data());
}

// name = value with both taken from the constant pool in force.
Asm SetFromPool(int name, int value) {
  return Asm().Append(PushConstant(name)).Append(PushConstant(value)).Op(SetVariable);
}

} // namespace

TEST(ScriptSemantics, AConstantPoolServesTheScriptsAfterItAndFunctionsKeepTheirs) {
  const Asm before = Asm().Push("before").Append(PushConstant(0)).Op(SetVariable);
  const Asm first =
      ConstantPool({"fromFunction", "pool1"}).DefineFunction("keep", {}, SetFromPool(0, 1));
  const Asm second = ConstantPool({"blockTwo", "pool2"}).CallFunction("keep", 0).Op(Pop);
  const Asm third = Asm()
                        .Append(SetFromPool(0, 1))
                        .Push("outside")
                        .Append(PushConstant(7))
                        .Op(SetVariable)
                        .SetText("ran", "yes");
  const ScriptRun run(before.Tag() + first.Tag() + second.Tag() + third.Tag());
  EXPECT_EQ(run.Get("before"), "") << "no pool yet: undefined";
  EXPECT_EQ(run.Get("fromFunction"), "pool1") << "the function reads the pool it was defined under";
  EXPECT_EQ(run.Get("blockTwo"), "pool2") << "a later script reads the pool run last";
  EXPECT_EQ(run.Get("outside"), "");
  EXPECT_EQ(run.Get("ran"), "yes");
}

TEST(ScriptSemantics, BranchesLoopAndEndCleanlyOnBadTargets) {
  Asm loop = CountedLoop(
      10, Asm().Set("sum", Asm().Push("sum").Op(GetVariable).Push("i").Op(GetVariable).Op(Add2)));
  Asm script = Asm().Set("sum", Asm().PushInteger(0)).Append(loop);
  // A jump that lands inside the next record ends that script, and only that one.
  Asm between = Asm().SetText("beforeBadJump", "1").Jump(2).SetText("afterBadJump", "1");
  Asm outside = Asm().SetText("beforeFarJump", "1").Jump(30000).SetText("afterFarJump", "1");
  const ScriptRun run(script.Tag() + between.Tag() + outside.Tag() +
                      Asm().SetText("nextScript", "1").Tag());
  EXPECT_EQ(run.Get("sum"), "45");
  EXPECT_EQ(run.Get("i"), "10");
  EXPECT_EQ(run.Get("beforeBadJump"), "1");
  EXPECT_EQ(run.Get("afterBadJump"), "");
  EXPECT_EQ(run.Get("beforeFarJump"), "1");
  EXPECT_EQ(run.Get("afterFarJump"), "");
  EXPECT_EQ(run.Get("nextScript"), "1");
}

TEST(ScriptSemantics, OlderActionsComputeAsTheirPlayerDid) {
  Asm script;
  script.Set("sum", Asm().Push("2").Push("3").Op(Add));
  script.Set("difference", Asm().PushInteger(2).Push("x").Op(Subtract));
  script.Set("less", Asm().PushInteger(1).PushInteger(2).Op(Less));
  script.Set("equal", Asm().Push("5").PushInteger(5).Op(Equals));
  script.Set("byZero", Asm().PushInteger(1).PushInteger(0).Op(Divide));
  script.Set("length", Asm().Push("hello").Op(StringLength));
  script.Set("extract", Asm().Push("hello").PushInteger(2).PushInteger(3).Op(StringExtract));
  script.Set("wide",
             Asm().Push(QStringLiteral("a😀b")).PushInteger(2).PushInteger(2).Op(MBStringExtract));
  script.Set("code", Asm().Push("A").Op(CharToAscii));
  script.Set("char", Asm().PushInteger(66).Op(AsciiToChar));
  script.Set("hugeChar", Asm().Push("1e300").Op(AsciiToChar));
  script.Set("wideChar", Asm().Push("128512").Op(MBAsciiToChar));
  const ScriptRun swf4(script.Tag(), 4);
  EXPECT_EQ(swf4.Get("sum"), "5");
  EXPECT_EQ(swf4.Get("difference"), "2"); // "x" reads as 0 in the oldest movies
  EXPECT_EQ(swf4.Get("less"), "1");       // comparisons give 1 and 0
  EXPECT_EQ(swf4.Get("equal"), "1");
  EXPECT_EQ(swf4.Get("byZero"), "#ERROR#");
  EXPECT_EQ(swf4.Get("length"), "5");
  EXPECT_EQ(swf4.Get("extract"), "ell");
  EXPECT_EQ(swf4.Get("code"), "65");
  EXPECT_EQ(swf4.Get("char"), "B");
  EXPECT_EQ(swf4.Get("hugeChar"), "");
  EXPECT_EQ(swf4.Get("wideChar"), QStringLiteral("😀"));
  const ScriptRun swf6(script.Tag(), 6);
  EXPECT_EQ(swf6.Get("difference"), "NaN");
  EXPECT_EQ(swf6.Get("less"), "true");
  EXPECT_EQ(swf6.Get("byZero"), "Infinity");
  EXPECT_EQ(swf6.Get("wide"), QStringLiteral("😀"));
}

TEST(ScriptSemantics, ConversionsFollowTheMovieVersion) {
  Asm script;
  script.Set("text", Asm().Push("[").PushUndefined().Op(Add2));
  script.Set("number", Asm().PushUndefined().Op(ToNumber));
  script.Set("truthy", Asm().Push("abc").Op(Not).Op(Not));
  script.Set("looseNull", Asm().PushNull().PushUndefined().Op(Equals2));
  script.Set("looseText", Asm().Push("1").PushInteger(1).Op(Equals2));
  script.Set("strict", Asm().Push("1").PushInteger(1).Op(StrictEquals));
  script.Set("compareNaN", Asm().Push("x").PushInteger(1).Op(Less2).Op(TypeOf));
  script.Set("typeClip", Asm().Push("this").Op(GetVariable).Op(TypeOf));
  script.Set("typeNull", Asm().PushNull().Op(TypeOf));
  script.Set("path", Asm().Push("this").Op(GetVariable).Op(TargetPath));
  script.SetText("MixedCase", "set");
  script.Set("sameName", Asm().Push("mixedcase").Op(GetVariable));
  const ScriptRun swf6(script.Tag(), 6);
  EXPECT_EQ(swf6.Get("text"), "[");
  EXPECT_EQ(swf6.Get("number"), "0");
  EXPECT_EQ(swf6.Get("truthy"), "false"); // a text is true only as a number other than 0
  EXPECT_EQ(swf6.Get("sameName"), "set"); // names ignore case before version 7
  EXPECT_EQ(swf6.Get("MIXEDCASE"), "set");
  const ScriptRun swf7(script.Tag(), 7);
  EXPECT_EQ(swf7.Get("text"), "[undefined");
  EXPECT_EQ(swf7.Get("number"), "NaN");
  EXPECT_EQ(swf7.Get("truthy"), "true");
  EXPECT_EQ(swf7.Get("looseNull"), "true");
  EXPECT_EQ(swf7.Get("looseText"), "true");
  EXPECT_EQ(swf7.Get("strict"), "false");
  EXPECT_EQ(swf7.Get("compareNaN"), "undefined");
  EXPECT_EQ(swf7.Get("typeClip"), "movieclip");
  EXPECT_EQ(swf7.Get("typeNull"), "null");
  EXPECT_EQ(swf7.Get("path"), "_level0");
  EXPECT_EQ(swf7.Get("sameName"), "");
  EXPECT_EQ(swf7.Get("MixedCase"), "set");
}

TEST(ScriptSemantics, FunctionsSeeTheirArgumentsClosuresAndRegisters) {
  Asm script;
  // function add(a, b) { return a + b; }  sum = add(2, 3);
  script.DefineFunction(
      "add", {"a", "b"},
      Asm().Push("a").Op(GetVariable).Push("b").Op(GetVariable).Op(Add2).Op(Return));
  script.Set("sum", Asm().PushInteger(3).PushInteger(2).CallFunction("add", 2));
  // function counter() { var n = 0; return function () { n++; return n; }; }
  Asm inner;
  inner.Push("n")
      .Push("n")
      .Op(GetVariable)
      .Op(Increment)
      .Op(SetVariable)
      .Push("n")
      .Op(GetVariable)
      .Op(Return);
  script.DefineFunction(
      "counter", {},
      Asm().Push("n").PushInteger(0).Op(DefineLocal).DefineFunction("", {}, inner).Op(Return));
  script.Set("next", Asm().CallFunction("counter", 0));
  const Asm callNext =
      Asm().PushInteger(0).Push("next").Op(GetVariable).PushUndefined().Op(CallMethod);
  script.Append(callNext).Op(Pop); // the first call, its result dropped
  script.Set("second", callNext);
  script.Set("leaked", Asm().Push("n").Op(GetVariable)); // n stayed local
  // function f2(x in r4) with this, _root and _global preloaded to r1..r3.
  Asm registers;
  registers.PushRegister(4).PushRegister(1).Push("_name").Op(GetMember).Op(Add2);
  registers.PushRegister(2).Op(TypeOf).Op(Add2).Op(Return);
  script.DefineFunction2(
      "f2", 5, PreloadThis | PreloadRoot | PreloadGlobal | SuppressArguments | SuppressSuper,
      {{4, "x"}}, registers);
  script.Set("viaRegisters", Asm().Push("x").CallFunction("f2", 1));
  // function fact(n) { return n < 2 ? 1 : n * fact(n - 1); }
  Asm fact;
  Asm recurse;
  recurse.Push("n")
      .Op(GetVariable)
      .Push("n")
      .Op(GetVariable)
      .PushInteger(1)
      .Op(Subtract)
      .CallFunction("fact", 1)
      .Op(0x0C)
      .Op(Return);
  const Asm one = Asm().PushInteger(1).Op(Return);
  fact.Push("n")
      .Op(GetVariable)
      .PushInteger(2)
      .Op(Less2)
      .Op(Not)
      .If(one.Size())
      .Append(one)
      .Append(recurse);
  script.DefineFunction("fact", {"n"}, fact);
  script.Set("factorial", Asm().PushInteger(6).CallFunction("fact", 1));
  // Outside a function, a store in register 0 keeps its value for later pushes.
  script.Push("kept").Record(StoreRegister, QByteArray(1, '\0')).Op(Pop);
  script.Push("register");
  script.PushRegister(0).Op(SetVariable);
  const ScriptRun run(script.Tag());
  EXPECT_EQ(run.Get("sum"), "5");
  EXPECT_EQ(run.Get("second"), "2");
  EXPECT_EQ(run.Get("leaked"), "");
  EXPECT_EQ(run.Get("viaRegisters"), "xmovieclip");
  EXPECT_EQ(run.Get("factorial"), "720");
  EXPECT_EQ(run.Get("register"), "kept");
}

TEST(ScriptSemantics, WithTryAndThrowDecideWhereNamesAndErrorsGo) {
  Asm script;
  script.Set("o", Asm().Push("x").Push("inner").PushInteger(1).Op(InitObject));
  // with (o) { seen = x; x = "changed"; }
  script.Push("o")
      .Op(GetVariable)
      .With(Asm().Set("seen", Asm().Push("x").Op(GetVariable)).SetText("x", "changed"));
  script.Set("changed", Asm().Push("o.x").Op(GetVariable));
  // try { throw "boom"; after = 1; } catch (e) { caught = e; } finally { cleaned = 1; }
  const Asm finallyBody = Asm().SetText("cleaned", "1");
  script.Try("e", Asm().Push("boom").Op(Throw).SetText("after", "1"),
             Asm().Set("caught", Asm().Push("e").Op(GetVariable)), &finallyBody);
  // A throw inside a function reaches the caller's catch.
  script.DefineFunction("fail", {}, Asm().Push("deep").Op(Throw));
  script.Try("e", Asm().CallFunction("fail", 0).Op(Pop),
             Asm().Set("fromFunction", Asm().Push("e").Op(GetVariable)), nullptr);
  script.SetText("beforeUncaught", "1").Push("loose").Op(Throw).SetText("afterUncaught", "1");
  const ScriptRun run(script.Tag() + Asm().SetText("nextScript", "1").Tag());
  EXPECT_EQ(run.Get("seen"), "inner");
  EXPECT_EQ(run.Get("changed"), "changed");
  EXPECT_EQ(run.Get("x"), ""); // the with object took the assignment
  EXPECT_EQ(run.Get("caught"), "boom");
  EXPECT_EQ(run.Get("after"), "");
  EXPECT_EQ(run.Get("cleaned"), "1");
  EXPECT_EQ(run.Get("fromFunction"), "deep");
  EXPECT_EQ(run.Get("beforeUncaught"), "1");
  EXPECT_EQ(run.Get("afterUncaught"), ""); // an uncaught throw ends its script only
  EXPECT_EQ(run.Get("nextScript"), "1");
}

TEST(ScriptSemantics, ObjectsArraysAndClassesBehaveAsScriptsExpect) {
  Asm script;
  // function Point(x) { this.x = x; }  Point.prototype.twice = function () { return this.x * 2; }
  script.DefineFunction(
      "Point", {"x"},
      Asm().Push("this").Op(GetVariable).Push("x").Push("x").Op(GetVariable).Op(SetMember));
  script.Push("Point").Op(GetVariable).Push("prototype").Op(GetMember).Push("twice");
  script.DefineFunction("", {},
                        Asm()
                            .Push("this")
                            .Op(GetVariable)
                            .Push("x")
                            .Op(GetMember)
                            .PushInteger(2)
                            .Op(0x0C)
                            .Op(Return));
  script.Op(SetMember);
  script.Set("p", Asm().PushInteger(21).PushInteger(1).Push("Point").Op(NewObject));
  script.Set("twice", Asm().PushInteger(0).Push("p").Op(GetVariable).Push("twice").Op(CallMethod));
  script.Set("isPoint",
             Asm().Push("p").Op(GetVariable).Push("Point").Op(GetVariable).Op(InstanceOf));
  // function Point3() {}  Point3 extends Point: its instances are Points too.
  script.DefineFunction("Point3", {}, Asm());
  script.Push("Point3").Op(GetVariable).Push("Point").Op(GetVariable).Op(Extends);
  script.Set("q", Asm().PushInteger(0).Push("Point3").Op(NewObject));
  script.Set("inherits",
             Asm().Push("q").Op(GetVariable).Push("Point").Op(GetVariable).Op(InstanceOf));
  // function Point4() { super(7); } with super preloaded in r1: the Point constructor runs.
  script.DefineFunction2(
      "Point4", 2, PreloadSuper | SuppressArguments, {},
      Asm().PushInteger(7).PushInteger(1).PushRegister(1).PushUndefined().Op(CallMethod).Op(Pop));
  script.Push("Point4").Op(GetVariable).Push("Point").Op(GetVariable).Op(Extends);
  script.Set("fromSuper",
             Asm().PushInteger(0).Push("Point4").Op(NewObject).Push("x").Op(GetMember));
  // a = ["x", "y"]; a.push("z"); joined = a.join("-"); count = a.length;
  script.Set("a", Asm().Push("y").Push("x").PushInteger(2).Op(InitArray));
  script.Push("z").PushInteger(1).Push("a").Op(GetVariable).Push("push").Op(CallMethod).Op(Pop);
  script.Set("joined",
             Asm().Push("-").PushInteger(1).Push("a").Op(GetVariable).Push("join").Op(CallMethod));
  script.Set("count", Asm().Push("a.length").Op(GetVariable));
  // names = ""; for (k in o) names += k;  after delete o.b
  script.Set("o", Asm().PushInteger(0).Op(InitObject));
  for (const char* name : {"a", "b", "c"})
    script.Push("o").Op(GetVariable).Push(name).PushInteger(1).Op(SetMember);
  script.Push("o").Op(GetVariable).Push("b").Op(Delete).Op(Pop);
  script.SetText("names", "");
  Asm collect;
  collect.Record(StoreRegister, QByteArray(1, '\0')).PushNull().Op(Equals2);
  const Asm append =
      Asm().Set("names", Asm().Push("names").Op(GetVariable).PushRegister(0).Op(StringAdd));
  Asm loopBody = Asm().Append(append);
  const int jumpSize = 5;
  script.Push("o").Op(GetVariable).Op(Enumerate2);
  script.Append(collect).If(loopBody.Size() + jumpSize).Append(loopBody);
  script.Jump(-(loopBody.Size() + jumpSize + 5 + collect.Size()));
  // Text and Math built-ins.
  script.Set("upper", Asm().PushInteger(0).Push("abc").Push("toUpperCase").Op(CallMethod));
  script.Set("part",
             Asm().PushInteger(3).PushInteger(1).PushInteger(2).Push("abcdef").Push("substr").Op(
                 CallMethod));
  script.Set("found",
             Asm().Push("cd").PushInteger(1).Push("abcdef").Push("indexOf").Op(CallMethod));
  script.Set(
      "floor",
      Asm().Push(2.7).PushInteger(1).Push("Math").Op(GetVariable).Push("floor").Op(CallMethod));
  script.Set("textLength", Asm().Push("hello").Push("length").Op(GetMember));
  script.Set("parsed", Asm().Push("42px").PushInteger(1).Push("parseInt").Op(0x3D));
  const ScriptRun run(script.Tag());
  EXPECT_EQ(run.Get("twice"), "42");
  EXPECT_EQ(run.Get("isPoint"), "true");
  EXPECT_EQ(run.Get("inherits"), "true");
  EXPECT_EQ(run.Get("fromSuper"), "7");
  EXPECT_EQ(run.Get("joined"), "x-y-z");
  EXPECT_EQ(run.Get("count"), "3");
  EXPECT_EQ(run.Get("names"), "ca"); // newest first, the deleted member gone
  EXPECT_EQ(run.Get("upper"), "ABC");
  EXPECT_EQ(run.Get("part"), "bcd");
  EXPECT_EQ(run.Get("found"), "2");
  EXPECT_EQ(run.Get("floor"), "2");
  EXPECT_EQ(run.Get("textLength"), "5");
  EXPECT_EQ(run.Get("parsed"), "42");
}

TEST(ScriptSemantics, EndlessLoopsAndRecursionEndTheirScriptOnly) {
  Asm endless = Asm().SetText("looping", "1").Jump(-5);
  Asm recursion;
  recursion.DefineFunction("again", {}, Asm().CallFunction("again", 0).Op(Return));
  recursion.CallFunction("again", 0).Op(Pop).SetText("afterRecursion", "1");
  // Each call of a function that loops counts against the same allowance.
  Asm busy;
  busy.DefineFunction("spin", {}, Asm().Jump(-5));
  busy.CallFunction("spin", 0).CallFunction("spin", 0).SetText("afterSpin", "1");
  // Blocks nested past the depth allowance end the script instead of the stack.
  Asm nested = Asm().SetText("innermost", "1");
  for (int i = 0; i < 1000; ++i)
    nested = i % 2 ? Asm().PushNull().With(nested) : Asm().Try("e", nested, Asm(), nullptr);
  nested.SetText("afterNesting", "1");
  // An array cannot grow past the level's allowance.
  Asm huge;
  huge.Set("a", Asm().PushInteger(0).Op(InitArray));
  huge.Push("a").Op(GetVariable).Push("length").PushInteger(100'000'000).Op(SetMember);
  huge.Set("hugeLength", Asm().Push("a.length").Op(GetVariable));
  const ScriptRun run(endless.Tag() + recursion.Tag() + busy.Tag() + nested.Tag() + huge.Tag() +
                      Asm().SetText("nextScript", "1").Tag());
  EXPECT_EQ(run.Get("looping"), "1");
  EXPECT_EQ(run.Get("afterRecursion"), "");
  EXPECT_EQ(run.Get("afterSpin"), "");
  EXPECT_EQ(run.Get("innermost"), "");
  EXPECT_EQ(run.Get("afterNesting"), "");
  EXPECT_EQ(run.Get("hugeLength"), "0");
  EXPECT_EQ(run.Get("nextScript"), "1");
}

TEST(ScriptSemantics, PathsAndTargetsReachTheRightClip) {
  const QByteArray item = Sprite(2, Asm().SetText("own", "mine").Tag());
  Asm root;
  root.Set("slash", Asm().Push("/item:own").Op(GetVariable));
  root.Set("dotted", Asm().Push("_root.item.own").Op(GetVariable));
  root.Push("/item:fromRoot").Push("set").Op(SetVariable);
  // tellTarget("item") { told = 1; … } then back to the root.
  root.SetTarget("item").SetText("told", "1");
  root.Set("targetName", Asm().Push("").PushInteger(13).Op(GetProperty));
  root.Set("upward", Asm().Push("../:rootOnly").Op(GetVariable));
  root.SetTarget("").SetText("back", "1");
  root.Set("global", Asm().Push("_global").Op(GetVariable).Push("shared").Op(GetMember));
  root.Set("total", Asm().Push("").PushInteger(5).Op(GetProperty));
  root.Push("declared").Op(DefineLocal2);
  const QByteArray init = Asm()
                              .Push("_global")
                              .Op(GetVariable)
                              .Push("shared")
                              .Push("early")
                              .Op(SetMember)
                              .SetText("rootOnly", "r")
                              .InitTag(2);
  const ScriptRun run(item + init + Place(1, 2, 0, 0, "item") + root.Tag() + ShowFrame() +
                      ShowFrame());
  EXPECT_EQ(run.Get("slash"), "mine");
  EXPECT_EQ(run.Get("dotted"), "mine");
  EXPECT_EQ(run.Get("item.fromRoot"), "set");
  EXPECT_EQ(run.Get("item.told"), "1");
  EXPECT_EQ(run.Get("told"), "");
  EXPECT_EQ(run.Get("item.targetName"), "item"); // variables too went to the target
  EXPECT_EQ(run.Get("item.upward"), "r");
  EXPECT_EQ(run.Get("back"), "1");
  EXPECT_EQ(run.Get("global"), "early"); // the init script ran before every frame script
  EXPECT_EQ(run.Get("total"), "1");
}
