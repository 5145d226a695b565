#include "ActionAssembler.h"
#include "player/PlayerStage.h"
#include "player/SwfBuilder.h"
#include "player/SwfParser.h"

#include <gtest/gtest.h>

using namespace SwfBuilder;
using Asm = ActionAssembler;

namespace {

constexpr int Add = 0x0A, Subtract = 0x0B, Divide = 0x0D, Equals = 0x0E, Less = 0x0F, Not = 0x12,
              StringLength = 0x14, StringExtract = 0x15, Pop = 0x17, GetVariable = 0x1C,
              SetVariable = 0x1D, StringAdd = 0x21, GetProperty = 0x22, Throw = 0x2A,
              CharToAscii = 0x32, AsciiToChar = 0x33, MBStringExtract = 0x35, Delete = 0x3A,
              DefineLocal = 0x3C, Return = 0x3E, NewObject = 0x40, DefineLocal2 = 0x41,
              InitArray = 0x42, InitObject = 0x43, TypeOf = 0x44, TargetPath = 0x45, Add2 = 0x47,
              Less2 = 0x48, Equals2 = 0x49, ToNumber = 0x4A, GetMember = 0x4E, SetMember = 0x4F,
              Increment = 0x50, CallMethod = 0x52, InstanceOf = 0x54, Enumerate2 = 0x55,
              StrictEquals = 0x66, Extends = 0x69, StoreRegister = 0x87;

// DefineFunction2 flags: preload this, _root and _global into registers 1, 2, 3.
constexpr int PreloadThis = 0x0100, PreloadRoot = 0x4000, PreloadGlobal = 0x0001,
              SuppressArguments = 0x0800, SuppressSuper = 0x2000;

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

} // namespace

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
             Asm().Push(QStringLiteral("a😀b")).PushInteger(2).PushInteger(1).Op(MBStringExtract));
  script.Set("code", Asm().Push("A").Op(CharToAscii));
  script.Set("char", Asm().PushInteger(66).Op(AsciiToChar));
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
  const ScriptRun swf6(script.Tag(), 6);
  EXPECT_EQ(swf6.Get("text"), "[");
  EXPECT_EQ(swf6.Get("number"), "0");
  EXPECT_EQ(swf6.Get("truthy"), "false"); // a text is true only as a number other than 0
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
