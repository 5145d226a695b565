#include "player/ActionAssembler.h"
#include "player/PlayerStage.h"
#include "player/ScriptParts.h"
#include "player/SwfBuilder.h"
#include "player/TextSwf.h"
#include "player/swf/SwfParser.h"

#include <gtest/gtest.h>

using namespace SwfBuilder;
using Asm = ActionAssembler;
using namespace ScriptParts;

namespace {

constexpr int Add2 = 0x47, Trace = 0x26, GetVariable = 0x1C, SetMember = 0x4F, GetMember = 0x4E,
              CallMethod = 0x52, NewObject = 0x40, InitArray = 0x42, InitObject = 0x43,
              ToInteger = 0x18, BitURShift = 0x65, BitOr = 0x61, TypeOf = 0x44, Throw = 0x2A,
              Return = 0x3E, Enumerate2 = 0x55, Pop = 0x17, Equals2 = 0x49, If = 0x9D;

// The lines a movie traces on its first frame; tags come before the script.
QStringList Traces(const Asm& script, int version = 8, const QByteArray& tags = {}) {
  QStringList lines;
  PlayerStage stage([](const QString&, const QString&) {});
  stage.SetTraceHandler([&lines](const QString& text) { lines << text; });
  stage.LoadLevel(0, ParseSwfMovie(File(tags + script.Tag(), 'F', 8000, 6000, version)), "clip");
  return lines;
}

// A sprite "box" at depth 1 of the root, 10 px right: a 20 x 10 px rectangle.
QByteArray BoxTags() {
  return RectangleShape(1, QRect(0, 0, 400, 200), Qt::red) + Sprite(2, Place(1, 1)) +
         Place(1, 2, 200, 0, "box");
}

// [elements...] as an array literal.
Asm ArrayOf(const std::vector<Asm>& elements) {
  Asm array;
  for (auto it = elements.rbegin(); it != elements.rend(); ++it)
    array.Append(*it);
  return array.PushInteger(int(elements.size())).Op(InitArray);
}

// for (name in object) trace(name): the loop ends at the undefined Enumerate pushed first.
Asm TraceNamesIn(const Asm& object) {
  Asm loop;
  loop.Append(object).Op(Enumerate2);
  Asm body = Asm().Op(Trace);
  Asm test = Asm().Op(0x4C).PushNull().Op(Equals2);
  loop.Append(test).If(body.Size() + 5).Append(body).Jump(-(test.Size() + 5 + body.Size() + 5));
  return loop.Op(Pop);
}

// name(arguments...) for a global function, arguments given first to last.
Asm CallGlobal(const QString& name, const std::vector<Asm>& arguments) {
  Asm call;
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it)
    call.Append(*it);
  return call.CallFunction(name, int(arguments.size()));
}

Asm MemberOf(const QString& object, const QString& member) {
  return Asm().Append(Variable(object)).Push(member).Op(GetMember);
}

} // namespace

TEST(BuiltinObjects, NumbersPrintAndReadAsThePlayerDoes) {
  Asm script;
  for (const double value :
       {0.1 + 0.2, 1e15, 123456789012345.0, 0.00001, 0.000001, -0.0, 1.0 / 3, -2.5e-7, 2e21})
    script.Append(TraceOf(Number(value)));
  for (const char* text : {"010", " 12", "0x1F", "-0x10", "1e3", "inf", "", "12px", ".5"})
    script.Append(TraceOf(Call(Variable("_global"), "Number", {Text(text)})));
  script.Append(TraceOf(Asm().PushUndefined().Op(ToInteger)));
  script.Append(TraceOf(Asm().Push(4294967297.5).Op(ToInteger)));
  script.Append(TraceOf(Asm().PushInteger(-1).PushInteger(0).Op(BitURShift)));
  script.Append(TraceOf(Variable("NaN")));
  script.Append(TraceOf(Asm().Push(-1.0).Append(Variable("Infinity")).Op(0x0C)));
  const QStringList expected{"0.3",
                             "1e+15",
                             "123456789012345",
                             "0.00001",
                             "1e-6",
                             "0",
                             "0.333333333333333",
                             "-2.5e-7",
                             "2e+21",
                             "8",
                             "12",
                             "31",
                             "NaN", // a sign before the prefix makes it no number
                             "1000",
                             "NaN",
                             "NaN",
                             "NaN",
                             "0.5",
                             "0",
                             "1",
                             "-1",
                             "NaN",
                             "-Infinity"};
  EXPECT_EQ(Traces(script, 8), expected);
  // Before version 6 a leading zero is decimal; from version 9 on >>> gives an unsigned number.
  // (Such movies have no _global, so Number is called by name.)
  EXPECT_EQ(Traces(TraceOf(CallGlobal("Number", {Text("010")})), 5), QStringList{"10"});
  EXPECT_EQ(Traces(TraceOf(Asm().PushInteger(-1).PushInteger(0).Op(BitURShift)), 10),
            QStringList{"4294967295"});
}

TEST(BuiltinObjects, MethodsOfTheBuiltInClassesAreFunctionsScriptsCanCall) {
  Asm script;
  script.Append(TraceOf(Call(Variable("Math"), "max", {Number(1), Number(2)})));
  script.Append(TraceOf(Call(Variable("Math"), "max", {})));
  script.Append(TraceOf(Asm().Append(Variable("Math")).Push("floor").Op(GetMember).Op(TypeOf)));
  script.Append(TraceOf(Call(Text("abc"), "toUpperCase")));
  script.Append(TraceOf(Call(Text("a,b,c"), "split", {Text(","), Number(2)})));
  script.Append(TraceOf(Call(Text("hello"), "substr", {Number(-3), Number(2)})));
  script.Append(TraceOf(Call(Text("hello"), "slice", {Number(1), Number(-1)})));
  script.Append(TraceOf(Call(ArrayOf({Number(10), Number(9), Number(1)}), "sort")));
  // Array.NUMERIC | Array.DESCENDING
  script.Append(TraceOf(
      Call(ArrayOf({Number(10), Number(9), Number(100)}), "sort", {Asm().PushInteger(16 | 2)})));
  script.Append(TraceOf(Call(ArrayOf({Number(1), Number(2), Number(3), Number(4)}), "splice",
                             {Number(1), Number(2), Text("x")})));
  script.Append(TraceOf(Call(Number(255), "toString", {Number(16)})));
  // Math.max.call(null, 3, 4) and apply with an array.
  const Asm max = Asm().Append(Variable("Math")).Push("max").Op(GetMember);
  script.Append(TraceOf(Call(max, "call", {Asm().PushNull(), Number(3), Number(4)})));
  script.Append(TraceOf(Call(max, "apply", {Asm().PushNull(), ArrayOf({Number(5), Number(6)})})));
  const QStringList expected{"2",      "-Infinity", "function", "ABC", "a,b", "ll", "ell",
                             "1,10,9", "100,10,9",  "2,3",      "ff",  "4",   "6"};
  EXPECT_EQ(Traces(script), expected);
}

TEST(BuiltinObjects, ObjectsConvertThroughTheirOwnMethodsAndHideFlaggedMembers) {
  Asm script;
  // o = {}; o.valueOf = function () { return 5; }; o.toString = function () { return "five"; }
  script.Push("o").PushInteger(0).Op(InitObject).Op(0x1D);
  script.Append(Variable("o")).Push("valueOf");
  script.DefineFunction("", {}, Asm().PushInteger(5).Op(Return)).Op(SetMember);
  script.Append(Variable("o")).Push("toString");
  script.DefineFunction("", {}, Asm().Push("five").Op(Return)).Op(SetMember);
  script.Append(TraceOf(Asm().Append(Variable("o")).PushInteger(1).Op(Add2)));
  script.Append(TraceOf(Variable("o")));
  // o.addProperty("twice", function () { return 2 * this.valueOf(); }, null)
  Asm getter;
  getter.DefineFunction("", {},
                        Asm()
                            .PushInteger(0)
                            .Push("this")
                            .Op(GetVariable)
                            .Push("valueOf")
                            .Op(CallMethod)
                            .PushInteger(2)
                            .Op(0x0C)
                            .Op(Return));
  script.Append(
      TraceOf(Call(Variable("o"), "addProperty", {Text("twice"), getter, Asm().PushNull()})));
  script.Append(TraceOf(Asm().Append(Variable("o")).Push("twice").Op(GetMember)));
  script.Append(TraceOf(Call(Variable("o"), "hasOwnProperty", {Text("valueOf")})));
  // ASSetPropFlags(o, "valueOf,toString", 1): for-in lists only what is left.
  script.Push(1.0)
      .Push("valueOf,toString")
      .Append(Variable("o"))
      .PushInteger(3)
      .Push("ASSetPropFlags")
      .Op(0x3D)
      .Op(Pop);
  Asm loop;
  loop.Append(Variable("o")).Op(Enumerate2);
  // for (name in o) trace(name): the loop ends at the undefined Enumerate pushed first.
  Asm body = Asm().Op(Trace);
  Asm test = Asm().Op(0x4C).PushNull().Op(Equals2);
  script.Append(loop)
      .Append(test)
      .If(body.Size() + 5)
      .Append(body)
      .Jump(-(test.Size() + 5 + body.Size() + 5));
  script.Op(Pop);
  EXPECT_EQ(Traces(script), (QStringList{"6", "five", "true", "10", "true", "twice"}));
}

TEST(BuiltinObjects, AThrowInsideABuiltInsCallbackReachesTheScriptsCatch) {
  // try { [2, 1].sort(function () { throw "stop"; }); trace("after"); } catch (e) { trace(e); }
  Asm compare;
  compare.DefineFunction("", {}, Asm().Push("stop").Op(Throw));
  const Asm tryBody = Asm()
                          .Append(Call(ArrayOf({Number(2), Number(1)}), "sort", {compare}))
                          .Op(Pop)
                          .Append(TraceOf(Text("after")));
  const Asm catchBody = TraceOf(Variable("e"));
  Asm script;
  script.Try("e", tryBody, catchBody, nullptr);
  script.Append(TraceOf(Text("end")));
  EXPECT_EQ(Traces(script), (QStringList{"stop", "end"}));
}

TEST(BuiltinObjects, ClipsAnswerDepthsBoundsPointsAndHitTests) {
  Asm script;
  const Asm box = Variable("box");
  script.Append(TraceOf(Call(box, "getDepth")));
  script.Append(TraceOf(Call(Variable("_root"), "getNextHighestDepth")));
  script.Push("made")
      .Append(Call(Variable("_root"), "createEmptyMovieClip", {Text("made"), Number(5)}))
      .Op(0x1D);
  script.Append(TraceOf(Variable("made")));
  script.Append(TraceOf(Call(Variable("_root"), "getInstanceAtDepth", {Number(5)})));
  script.Append(TraceOf(Call(Variable("_root"), "getNextHighestDepth")));
  script.Push("bounds").Append(Call(box, "getBounds", {Variable("_root")})).Op(0x1D);
  script.Append(TraceOf(Variable("bounds.xMin"))).Append(TraceOf(Variable("bounds.xMax")));
  script.Push("p")
      .Push("x")
      .PushInteger(1)
      .Push("y")
      .PushInteger(2)
      .PushInteger(2)
      .Op(InitObject)
      .Op(0x1D);
  script.Append(Call(box, "localToGlobal", {Variable("p")})).Op(Pop);
  script.Append(TraceOf(Variable("p.x")));
  script.Append(TraceOf(Call(box, "hitTest", {Number(15), Number(5)})));
  script.Append(TraceOf(Call(box, "hitTest", {Number(5), Number(5)})));
  script.Append(Call(Variable("made"), "removeMovieClip")).Op(Pop);
  script.Append(TraceOf(Variable("_root.made")));
  // Scripts may extend every clip through MovieClip's prototype.
  script.Append(Variable("MovieClip"))
      .Push("prototype")
      .Op(GetMember)
      .Push("shared")
      .Push("yes")
      .Op(SetMember);
  script.Append(TraceOf(Variable("box.shared")));
  // The variable still refers to the removed clip, which reads as no text.
  const QStringList expected{"-16383", "0",  "_level0.made", "_level0.made", "6", "10",
                             "30",     "11", "true",         "false",        "",  "yes"};
  EXPECT_EQ(Traces(script, 8, BoxTags()).join(u'|').toStdString(),
            expected.join(u'|').toStdString());
}

TEST(BuiltinObjects, TextFieldsAndColorsTakeWhatScriptsSet) {
  Asm script;
  script
      .Append(Call(Variable("_root"), "createTextField",
                   {Text("label"), Number(1), Number(0), Number(0), Number(100), Number(20)}))
      .Op(Pop);
  script.Append(Variable("label")).Push("text").Push("hi").Op(SetMember);
  script.Append(TraceOf(Variable("label.text"))).Append(TraceOf(Variable("label.length")));
  script.Append(TraceOf(Variable("label")));
  script.Append(Variable("label")).Push("maxChars").PushInteger(2).Op(SetMember);
  script.Append(Variable("label")).Push("text").Push("abc").Op(SetMember);
  script.Append(TraceOf(Variable("label.text")));
  script.Append(
      TraceOf(Asm().Append(Call(Variable("label"), "getTextFormat")).Push("size").Op(GetMember)));
  // new Color(box).setRGB(0xFF8000); then getRGB and the transform's offsets.
  script.Push("tint").Append(Variable("box")).PushInteger(1).Push("Color").Op(NewObject).Op(0x1D);
  script.Append(Call(Variable("tint"), "setRGB", {Number(0xFF8000)})).Op(Pop);
  script.Append(TraceOf(Call(Variable("tint"), "getRGB")));
  script.Append(
      TraceOf(Asm().Append(Call(Variable("tint"), "getTransform")).Push("gb").Op(GetMember)));
  const QStringList expected{"hi", "2", "_level0.label", "ab", "12", "16744448", "128"};
  EXPECT_EQ(Traces(script, 8, BoxTags()).join(u'|').toStdString(),
            expected.join(u'|').toStdString());
}

TEST(BuiltinObjects, DatesCarryPartsOverAndKeepInvalidMoments) {
  Asm script;
  // d = new Date(2000, 0, 31); d.setMonth(1) gives March 2nd, 2000 is a leap year.
  script.Push("d").Push(31.0).Push(0.0).Push(2000.0).PushInteger(3).Push("Date").Op(NewObject).Op(
      0x1D);
  script.Append(Call(Variable("d"), "setMonth", {Number(1)})).Op(Pop);
  script.Append(TraceOf(Call(Variable("d"), "getMonth")));
  script.Append(TraceOf(Call(Variable("d"), "getDate")));
  script.Append(
      TraceOf(Call(Variable("Date"), "UTC",
                   {Number(1970), Number(0), Number(1), Number(0), Number(0), Number(1)})));
  script.Push("bad").Append(Variable("NaN")).PushInteger(1).Push("Date").Op(NewObject).Op(0x1D);
  script.Append(TraceOf(Call(Variable("bad"), "getTime")));
  script.Append(TraceOf(Call(Variable("bad"), "getFullYear")));
  EXPECT_EQ(Traces(script).join(u'|').toStdString(), "2|2|1000|NaN|NaN");
}

TEST(BuiltinObjects, ArrayElementsAreMembersWithHolesAndTheirOwnOrder) {
  Asm script;
  // a = new Array(4); a[2] = "x"; a.foo = 1; a[0] = "y"
  script.Push("a").PushInteger(4).PushInteger(1).Push("Array").Op(NewObject).Op(0x1D);
  script.Append(Variable("a")).PushInteger(2).Push("x").Op(SetMember);
  script.Append(Variable("a")).Push("foo").PushInteger(1).Op(SetMember);
  script.Append(Variable("a")).PushInteger(0).Push("y").Op(SetMember);
  script.Append(TraceOf(Call(Variable("a"), "hasOwnProperty", {Number(1)})));
  script.Append(TraceOf(Call(Variable("a"), "hasOwnProperty", {Number(2)})));
  script.Append(TraceOf(Variable("a")));
  // for-in lists the newest member first and skips the holes.
  script.Append(TraceNamesIn(Variable("a")));
  // unshift moves every element up, so each is a member now.
  script.Append(TraceOf(Call(Variable("a"), "unshift", {Text("u")})));
  script.Append(TraceNamesIn(Variable("a")));
  // splice with an undefined start changes nothing and gives nothing.
  script.Append(TraceOf(Call(Variable("a"), "splice", {Asm().PushUndefined()})));
  script.Append(TraceOf(MemberOf("a", "length")));
  // b = {}; b.__proto__ = a: elements are inherited like any member, and Array's toString
  // lists only b's own ones as far as its length says.
  script.Push("b").PushInteger(0).Op(InitObject).Op(0x1D);
  script.Append(Variable("b")).Push("__proto__").Append(Variable("a")).Op(SetMember);
  script.Append(Variable("b")).Push("length").PushInteger(2).Op(SetMember);
  script.Append(TraceOf(MemberOf("b", "1")));
  script.Append(TraceOf(Call(Variable("b"), "toString")));
  EXPECT_EQ(Traces(script),
            (QStringList{"false", "true", "y,undefined,x,undefined", "0", "foo", "2", "5", "0", "1",
                         "2", "3", "4", "foo", "undefined", "5", "y", "undefined,undefined"}));
}

TEST(BuiltinObjects, GlobalFunctionsAndBoxesKeepThePlayersRules) {
  Asm script;
  for (const char* text : {"1.2345.678", "1e4294967297", "-2.5e-1x"})
    script.Append(TraceOf(CallGlobal("parseFloat", {Text(text)})));
  script.Append(TraceOf(CallGlobal("parseFloat", {})));
  for (const char* text : {"aaa%4zz", "%zz", "a+b%41"})
    script.Append(TraceOf(CallGlobal("unescape", {Text(text)})));
  // s = new String("abcd"): its length is its own member, hidden, writable, not deletable.
  script.Push("s").Push("abcd").PushInteger(1).Push("String").Op(NewObject).Op(0x1D);
  script.Append(TraceOf(Call(Variable("s"), "hasOwnProperty", {Text("length")})));
  script.Append(Variable("s")).Push("length").Push("hmm").Op(SetMember);
  script.Append(Variable("s")).Push("length").Op(0x3A).Op(Pop);
  script.Append(TraceOf(MemberOf("s", "length")));
  script.Append(TraceNamesIn(Variable("s")));
  // An Error's toString gives its message as it is; new of an object that is no function
  // makes nothing; Boolean() without a value is undefined.
  script.Append(TraceOf(
      Asm()
          .Append(Call(Asm().PushInteger(5).PushInteger(1).Push("Error").Op(NewObject), "toString"))
          .Op(TypeOf)));
  script.Append(TraceOf(Asm().PushInteger(0).Push("Math").Op(NewObject).Op(TypeOf)));
  script.Append(TraceOf(CallGlobal("Boolean", {})));
  // ASSetPropFlags(_global, null, 4) protects built-ins not yet used as well.
  script.Append(CallGlobal("ASSetPropFlags", {Variable("_global"), Asm().PushNull(), Number(4)}))
      .Op(Pop);
  script.Append(Variable("_global")).Push("Boolean").PushInteger(6).Op(SetMember);
  script.Append(TraceOf(Asm().Append(Variable("Boolean")).Op(TypeOf)));
  // ASnative numbers the global functions and Math's; Math's unknown numbers give NaN.
  const auto byNumber = [](int group, int index, const Asm& argument) {
    return Asm()
        .Append(argument)
        .PushInteger(1)
        .Append(CallGlobal("ASnative", {Number(group), Number(index)}))
        .PushUndefined()
        .Op(CallMethod);
  };
  script.Append(TraceOf(byNumber(100, 0, Text("&"))));
  script.Append(TraceOf(byNumber(200, 0, Number(-3))));
  script.Append(TraceOf(byNumber(200, 50, Number(-3))));
  script.Append(TraceOf(Asm().Append(CallGlobal("ASnative", {Number(100)})).Op(TypeOf)));
  // String positions wrap at 32 bits, a negative substr length counts from the end, and a
  // method given no position gives undefined.
  script.Append(TraceOf(Call(Text("Hello"), "charAt", {Number(4294967297.0)})));
  script.Append(TraceOf(Call(Text("hello"), "substr", {Number(1), Number(-1)})));
  script.Append(TraceOf(Call(Text("hello"), "substr", {Number(1), Number(-4)})));
  script.Append(TraceOf(Call(Text("hello"), "indexOf")));
  script.Append(TraceOf(Asm()
                            .Append(Call(Text("a,b"), "split", {Text(","), Number(-1)}))
                            .Push("length")
                            .Op(GetMember)));
  script.Append(
      TraceOf(Call(Variable("String"), "fromCharCode", {Number(80), Number(0), Number(82)})));
  EXPECT_EQ(Traces(script),
            (QStringList{"1.2345678", "10",   "-0.25",     "undefined", "aaaz",      "z",
                         "a bA",      "true", "hmm",       "number",    "undefined", "undefined",
                         "function",  "%26",  "3",         "NaN",       "undefined", "e",
                         "",          "e",    "undefined", "0",         "P"}));
}

namespace {

// new flash.geom.<name>(arguments...)
Asm NewGeom(const QString& name, const std::vector<Asm>& arguments) {
  Asm made;
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it)
    made.Append(*it);
  return made.PushInteger(int(arguments.size()))
      .Append(MemberOf("flash", "geom"))
      .Push(name)
      .Op(0x53);
}

} // namespace

TEST(BuiltinObjects, GeomClassesComputeAndTransformsDriveTheirClip) {
  const auto make = NewGeom;
  Asm script;
  script.Push("m").Append(make("Matrix", {})).Op(0x1D);
  script.Append(Call(Variable("m"), "scale", {Number(2), Number(3)})).Op(Pop);
  script.Append(Call(Variable("m"), "translate", {Number(5), Number(7)})).Op(Pop);
  script.Append(TraceOf(Variable("m")));
  script.Append(
      TraceOf(Call(Variable("m"), "transformPoint", {make("Point", {Number(1), Number(1)})})));
  script.Append(TraceOf(Call(make("Rectangle", {Number(0), Number(0), Number(10), Number(10)}),
                             "intersection",
                             {make("Rectangle", {Number(5), Number(5), Number(10), Number(10)})})));
  // A colour transform's rgb sets its offsets and clears its multipliers.
  script.Push("ct")
      .Append(make("ColorTransform", {Number(1), Number(1), Number(1), Number(1), Number(0),
                                      Number(0), Number(0), Number(0)}))
      .Op(0x1D);
  script.Append(Variable("ct")).Push("rgb").PushInteger(0xFF8000).Op(SetMember);
  script.Append(TraceOf(MemberOf("ct", "greenOffset")));
  script.Append(TraceOf(MemberOf("ct", "redMultiplier")));
  // A clip's transform reads its placement and sets its matrix and colours.
  script.Append(TraceOf(Asm().Append(MemberOf("box", "transform")).Push("matrix").Op(GetMember)));
  script.Append(MemberOf("box", "transform")).Push("matrix").Append(Variable("m")).Op(SetMember);
  script.Append(MemberOf("box", "transform"))
      .Push("colorTransform")
      .Append(Variable("ct"))
      .Op(SetMember);
  script.Append(TraceOf(MemberOf("box", "_x"))).Append(TraceOf(MemberOf("box", "_xscale")));
  script.Append(TraceOf(
      Call(Asm().Append(Variable("box")).PushInteger(1).Push("Color").Op(NewObject), "getRGB")));
  EXPECT_EQ(Traces(script, 8, BoxTags()),
            (QStringList{"(a=2, b=0, c=0, d=3, tx=5, ty=7)", "(x=7, y=10)", "(x=5, y=5, w=5, h=5)",
                         "128", "0", "(a=1, b=0, c=0, d=1, tx=10, ty=0)", "5", "200",
                         QString::number(0xFF8000)}));
  // Movies before version 8 see no flash package until a script clears its hiding flag.
  Asm older = TraceOf(Asm().Append(Variable("flash")).Op(TypeOf));
  older
      .Append(CallGlobal("ASSetPropFlags",
                         {Variable("_global"), Text("flash"), Number(0), Number(4096)}))
      .Op(Pop);
  older.Append(TraceOf(Asm().Append(Variable("flash")).Op(TypeOf)));
  EXPECT_EQ(Traces(older, 7), (QStringList{"undefined", "object"}));
}

namespace {

// name = new TextFormat(arguments...).
Asm NewFormat(const QString& name, const std::vector<Asm>& arguments = {}) {
  Asm made;
  made.Push(name);
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it)
    made.Append(*it);
  return made.PushInteger(int(arguments.size())).Push("TextFormat").Op(NewObject).Op(0x1D);
}

Asm SetTo(const QString& object, const QString& member, const Asm& value) {
  return Asm().Append(Variable(object)).Push(member).Append(value).Op(SetMember);
}

Asm MemberOf(const Asm& object, const QString& member) {
  return Asm().Append(object).Push(member).Op(GetMember);
}

} // namespace

TEST(BuiltinObjects, ColoursKeepThePlayersSixteenBitFields) {
  Asm script;
  // setTransform takes the members the object holds itself (undefined ones as 0), not
  // inherited ones; getRGB combines the offsets with their signs.
  script.Push("tint").Append(Variable("box")).PushInteger(1).Push("Color").Op(NewObject).Op(0x1D);
  script.Push("base").Push("bb").PushInteger(99).PushInteger(1).Op(InitObject).Op(0x1D);
  script.Push("given")
      .Push("ra")
      .PushUndefined()
      .Push("rb")
      .PushInteger(10)
      .Push("gb")
      .PushInteger(-25)
      .PushInteger(3)
      .Op(InitObject)
      .Op(0x1D);
  script.Append(Variable("given")).Push("__proto__").Append(Variable("base")).Op(SetMember);
  script.Append(Call(Variable("tint"), "setTransform", {Variable("given")})).Op(Pop);
  script.Push("seen").Append(Call(Variable("tint"), "getTransform")).Op(0x1D);
  script.Append(TraceOf(MemberOf("seen", "ra"))).Append(TraceOf(MemberOf("seen", "bb")));
  script.Append(TraceOf(Call(Variable("tint"), "getRGB")));
  // Colours combined through the parents wrap to 16 bits as the player's fields do.
  script.Append(MemberOf("_root", "transform"))
      .Push("colorTransform")
      .Append(NewGeom("ColorTransform", {Number(1), Number(1), Number(127.5), Number(1), Number(0),
                                         Number(0), Number(0), Number(0)}))
      .Op(SetMember);
  script.Append(MemberOf("box", "transform"))
      .Push("colorTransform")
      .Append(NewGeom("ColorTransform", {Number(1), Number(1), Number(1), Number(1), Number(0),
                                         Number(0), Number(-523), Number(0)}))
      .Op(SetMember);
  script.Push("both")
      .Append(MemberOf("box", "transform"))
      .Push("concatenatedColorTransform")
      .Op(GetMember)
      .Op(0x1D);
  script.Append(TraceOf(MemberOf("both", "blueOffset")));
  script.Append(TraceOf(MemberOf("both", "blueMultiplier")));
  // A Transform stands for a clip: new Transform() without one makes nothing.
  script.Append(TraceOf(Asm().Append(NewGeom("Transform", {})).Op(TypeOf)));
  EXPECT_EQ(Traces(script, 8, BoxTags()),
            (QStringList{"0", "0", "-6400", "-1147", "127.5", "undefined"}));
}

TEST(BuiltinObjects, ArraysShiftAndUnshiftPastProtectedElements) {
  Asm script;
  // Element 0 protected from delete and assignment keeps its value through shift and
  // unshift; a last element protected from delete stays past the new length.
  for (const char* name : {"a", "b"}) {
    script.Push(name).Append(ArrayOf({Number(1), Number(2), Number(3)})).Op(0x1D);
    script.Append(CallGlobal("ASSetPropFlags", {Variable(name), Text("0"), Number(6)})).Op(Pop);
  }
  script.Append(TraceOf(Call(Variable("a"), "shift")));
  script.Append(TraceOf(Variable("a")));
  script.Append(TraceOf(Call(Variable("b"), "unshift", {Number(42)})));
  script.Append(TraceOf(Variable("b")));
  script.Push("c").Append(ArrayOf({Number(1), Number(2), Number(3)})).Op(0x1D);
  script.Append(CallGlobal("ASSetPropFlags", {Variable("c"), Text("2"), Number(2)})).Op(Pop);
  script.Append(Call(Variable("c"), "shift")).Op(Pop);
  script.Append(TraceOf(Variable("c")));
  script.Append(TraceOf(Call(Variable("c"), "hasOwnProperty", {Number(2)})));
  EXPECT_EQ(Traces(script), (QStringList{"1", "1,3", "4", "1,1,2,3", "2,3", "true"}));
}

TEST(BuiltinObjects, TextChangesCaseOneUnitAtATimeByThePlayersTable) {
  // (text, method, the character code the player gives)
  const std::tuple<QString, const char*, int> cases[] = {
      {QString(QChar(0x0130)), "toLowerCase", 'i'},
      {QString(QChar(0x10A0)), "toLowerCase", 0x10D0},
      {QString(QChar(0x03A2)), "toLowerCase", 0x03C2},
      {QString(QChar(0x03C2)), "toUpperCase", 0x03A2},
      {QString(QChar(0x03F2)), "toUpperCase", 0x03A3},
      {QString(QChar(0x1F80)), "toUpperCase", 0x1F88},
      {QString(QChar(0x1FF3)), "toUpperCase", 0x1FFC},
      {QString(QChar(0x10D0)), "toUpperCase", 0x10D0},
      {QStringLiteral("\u00DF"), "toUpperCase", 0x00DF}};
  Asm script;
  QStringList expected;
  for (const auto& [text, method, code] : cases) {
    const Asm changed = Call(Text(text), method);
    script.Append(TraceOf(Call(changed, "charCodeAt", {Number(0)})));
    script.Append(TraceOf(MemberOf(changed, "length")));
    expected << QString::number(code) << "1";
  }
  EXPECT_EQ(Traces(script), expected);
}

TEST(BuiltinObjects, StageTellsItsListenersWhenItsDisplayStateChanges) {
  Asm script;
  // listener.onFullScreen = function (full) { trace("full " + full) }
  script.Push("listener").PushInteger(0).Op(InitObject).Op(0x1D);
  script.Append(Variable("listener")).Push("onFullScreen");
  Asm body = Asm().Push("full ").Push("full").Op(GetVariable).Op(Add2).Op(Trace);
  script.DefineFunction("", {"full"}, body).Op(SetMember);
  script.Append(Call(Variable("Stage"), "addListener", {Variable("listener")})).Op(Pop);
  for (const char* state : {"FULLSCREEN", "fullScreen", "bogus", "normal"}) {
    script.Append(Variable("Stage")).Push("displayState").Push(state).Op(SetMember);
    script.Append(TraceOf(MemberOf("Stage", "displayState")));
  }
  EXPECT_EQ(Traces(script), (QStringList{"full true", "fullScreen", "fullScreen", "full false",
                                         "normal", "normal"}));
}

TEST(BuiltinObjects, NumberedBuiltInsBecomeMethodsAndPropertiesOfAnObject) {
  Asm script;
  // Math's functions are numbered from 0 in group 200; an empty name takes its number, and
  // a name for a newer movie version is listed but not read.
  script.Push("o").PushInteger(0).Op(InitObject).Op(0x1D);
  script
      .Append(CallGlobal("ASSetNative",
                         {Variable("o"), Number(200), Text("abs,,7max,9late"), Number(0)}))
      .Op(Pop);
  script.Append(TraceOf(Call(Variable("o"), "abs", {Number(-3)})));
  script.Append(TraceOf(Call(Variable("o"), "max", {Number(1), Number(5)})));
  script.Append(TraceOf(Asm().Append(MemberOf("o", "late")).Op(TypeOf)));
  script.Append(TraceNamesIn(Variable("o")));
  // As a property the numbered function is getter and setter at once.
  script.Push("p").PushInteger(0).Op(InitObject).Op(0x1D);
  script.Append(CallGlobal("ASSetNativeAccessor", {Variable("p"), Number(200), Text("v")})).Op(Pop);
  script.Append(TraceOf(MemberOf("p", "v")));
  // Date's getTime is number 16 of group 103.
  script.Push("d").PushInteger(1234).PushInteger(1).Push("Date").Op(NewObject).Op(0x1D);
  script.Append(Variable("d"))
      .Push("time")
      .Append(CallGlobal("ASnative", {Number(103), Number(16)}))
      .Op(SetMember);
  script.Append(TraceOf(Call(Variable("d"), "time")));
  // Object's hasOwnProperty is number 5 of group 101.
  script.Append(Variable("d"))
      .Push("own")
      .Append(CallGlobal("ASnative", {Number(101), Number(5)}))
      .Op(SetMember);
  script.Append(TraceOf(Call(Variable("d"), "own", {Text("time")})));
  EXPECT_EQ(Traces(script),
            (QStringList{"3", "5", "undefined", "late", "max", "abs", "NaN", "1234", "true"}));
}

TEST(BuiltinObjects, TextFormatsStoreWhatScriptsAssignAsThePlayerDoes) {
  Asm script;
  script.Append(NewFormat("f"));
  // Unset members read null; sizes round half to even from version 8, margins stay >= 0,
  // colours are unsigned, an unknown alignment keeps the one before.
  script.Append(TraceOf(MemberOf(Variable("f"), "size")));
  const std::pair<const char*, double> numbers[] = {
      {"size", 2.5}, {"size", 3.5}, {"size", 1e10}, {"leftMargin", -3}, {"color", -1}};
  for (const auto& [member, value] : numbers)
    script.Append(SetTo("f", member, Number(value)))
        .Append(TraceOf(MemberOf(Variable("f"), member)));
  script.Append(SetTo("f", "align", Text("CENTER"))).Append(SetTo("f", "align", Text("bogus")));
  script.Append(TraceOf(MemberOf(Variable("f"), "align")));
  script.Append(SetTo("f", "bold", Text("no"))).Append(TraceOf(MemberOf(Variable("f"), "bold")));
  script.Append(SetTo("f", "font", Asm().PushUndefined()))
      .Append(TraceOf(MemberOf(Variable("f"), "font")));
  // The constructor cuts toward zero and leaves an unknown alignment unset.
  script.Append(NewFormat("g", {Text("Arial"), Number(10.9), Number(255), Asm().PushNull(),
                                Asm().PushNull(), Asm().PushNull(), Asm().PushNull(),
                                Asm().PushNull(), Text("bogus"), Number(-2)}));
  script.Append(TraceOf(MemberOf(Variable("g"), "size")))
      .Append(TraceOf(MemberOf(Variable("g"), "align")));
  script.Append(TraceOf(MemberOf(Variable("g"), "leftMargin")));
  EXPECT_EQ(Traces(script).join(u'|').toStdString(),
            "null|2|4|-2147483648|0|4294967295|center|true|null|10|null|-2");
  // Before version 8 sizes are cut toward zero.
  Asm older;
  older.Append(NewFormat("f")).Append(SetTo("f", "size", Number(1.9)));
  older.Append(TraceOf(MemberOf(Variable("f"), "size")));
  EXPECT_EQ(Traces(older, 7).join(u'|').toStdString(), "1");
}

TEST(BuiltinObjects, TextFieldsKeepTheLookOfEachCharacter) {
  Asm script;
  script
      .Append(Call(Variable("_root"), "createTextField",
                   {Text("label"), Number(1), Number(0), Number(0), Number(200), Number(20)}))
      .Op(Pop);
  script.Append(SetTo("label", "html", Asm().PushBoolean(true)));
  script.Append(SetTo("label", "htmlText",
                      Text("<p align=\"right\"><font color=\"#ff0000\">ab</font>c&amp;</p>")));
  script.Append(TraceOf(Variable("label.text")));
  script.Append(TraceOf(MemberOf(Call(Variable("label"), "getTextFormat", {Number(0)}), "color")));
  script.Append(TraceOf(MemberOf(Call(Variable("label"), "getTextFormat"), "color")));
  script.Append(TraceOf(MemberOf(Call(Variable("label"), "getTextFormat", {Number(3)}), "align")));
  // Bold from the second character up to the third; the markup written back shows it.
  script.Append(NewFormat("bold")).Append(SetTo("bold", "bold", Asm().PushBoolean(true)));
  script.Append(Call(Variable("label"), "setTextFormat", {Number(1), Number(2), Variable("bold")}))
      .Op(Pop);
  script.Append(TraceOf(Variable("label.htmlText")));
  // textColor is the colour of new text; an attribute without quotes ends the markup.
  script.Append(TraceOf(Variable("label.textColor")));
  script.Append(SetTo("label", "htmlText", Text("x<font color=#00ff00>y</font>")));
  script.Append(TraceOf(Variable("label.text")));
  script.Append(Call(Variable("label"), "removeTextField")).Op(Pop);
  script.Append(TraceOf(Asm().Append(Variable("label")).Op(TypeOf)));
  EXPECT_EQ(Traces(script).join(u'|').toStdString(),
            "abc&|16711680|null|right|"
            "<P ALIGN=\"RIGHT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#FF0000\" "
            "LETTERSPACING=\"0\" KERNING=\"0\">a<B>b</B></FONT><FONT FACE=\"Times New Roman\" "
            "SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">c&amp;</FONT></P>|"
            "0|x|undefined");
}

TEST(BuiltinObjects, TextSnapshotsReadTheStaticTextOfAClip) {
  // Two lines of static text whose font is defined after it, as some writers order them.
  const QByteArray text =
      TextSwf::StaticText(1, 1, QRect(0, 0, 4000, 800), 2, 240, Qt::black, 3, 300) +
      TextSwf::StaticText(3, 2, QRect(0, 0, 4000, 800), 2, 240, Qt::black, 2, 300, 0, 400);
  const QByteArray tags = text + TextSwf::BlockFont(2, 2, u'A') + Place(1, 1) + Place(2, 3);
  Asm script;
  script.Push("snap").Append(Call(Variable("_root"), "getTextSnapshot")).Op(0x1D);
  script.Append(TraceOf(Call(Variable("snap"), "getCount")));
  script.Append(
      TraceOf(Call(Variable("snap"), "getText", {Number(0), Number(10), Asm().PushBoolean(true)})));
  script.Append(TraceOf(Call(Variable("snap"), "getText", {Number(9), Number(2)})));
  script.Append(TraceOf(
      Call(Variable("snap"), "findText", {Number(1), Text("aa"), Asm().PushBoolean(false)})));
  script.Append(TraceOf(
      Call(Variable("snap"), "findText", {Number(1), Text("aa"), Asm().PushBoolean(true)})));
  script.Append(TraceOf(Call(Variable("snap"), "getText", {Number(0)})));
  EXPECT_EQ(Traces(script, 8, tags).join(u'|').toStdString(), "5|AAA\nAA|A|1|-1|undefined");
}

TEST(BuiltinObjects, GlobalHoldsTheBuiltInsAndClassesAreInstancesOfFunction) {
  // Before any script names them, the built-ins are members of _global's own, in the case
  // the movie's version reads names in; deleted, they are gone.
  const auto holds = [](const QString& name) {
    return TraceOf(Call(Variable("_global"), "hasOwnProperty", {Text(name)}));
  };
  Asm lookups;
  // _global inherits nothing: a movie lends it Object's method by its number.
  lookups.Append(Variable("_global")).Push("hasOwnProperty");
  lookups.Append(CallGlobal("ASnative", {Number(101), Number(5)})).Op(SetMember);
  lookups.Append(holds("Date")).Append(holds("color")).Append(holds("Nothing"));
  lookups.Push("_global").Op(GetVariable).Push("Math").Op(0x3A).Op(Pop);
  lookups.Append(holds("Math"));
  EXPECT_EQ(Traces(lookups, 6).join(u'|').toStdString(), "true|true|false|false");
  EXPECT_EQ(Traces(lookups, 7).join(u'|').toStdString(), "true|false|false|false");

  // A built-in class holds its link to Function itself.
  Asm classes;
  classes.Append(TraceOf(Call(Variable("Number"), "hasOwnProperty", {Text("__proto__")})));
  classes.Append(TraceOf(Call(Variable("Array"), "hasOwnProperty", {Text("constructor")})));
  classes.Append(TraceOf(Asm()
                             .Append(MemberOf("Number", "__proto__"))
                             .Append(MemberOf("Function", "prototype"))
                             .Op(Equals2)));
  classes.Append(TraceOf(
      Asm().Append(MemberOf("Date", "constructor")).Append(Variable("Function")).Op(Equals2)));
  classes.Append(TraceOf(Call(Variable("Function"), "hasOwnProperty", {Text("__proto__")})));
  classes.Append(TraceOf(Call(Variable("Number"), "hasOwnProperty", {Text("MAX_VALUE")})));
  EXPECT_EQ(Traces(classes), (QStringList{"true", "true", "true", "true", "true", "true"}));
}

TEST(BuiltinObjects, AMemberFlaggedForVersion9IsUnreadableToOlderMovies) {
  // o = {p: 1}; ASSetPropFlags(o, "p", 8192); trace(o.p); clearing the flag shows it again.
  const auto flags = [](int set, int clear) {
    return Asm()
        .PushInteger(clear)
        .PushInteger(set)
        .Push("p")
        .Append(Variable("o"))
        .PushInteger(4)
        .Push("ASSetPropFlags")
        .Op(0x3D)
        .Op(Pop);
  };
  Asm script;
  script.Push("o").Push("p").PushInteger(1).PushInteger(1).Op(InitObject).Op(0x1D);
  script.Append(flags(8192, 0)).Append(TraceOf(MemberOf("o", "p")));
  script.Append(flags(0, 8192)).Append(TraceOf(MemberOf("o", "p")));
  EXPECT_EQ(Traces(script, 8), (QStringList{"undefined", "1"}));
  EXPECT_EQ(Traces(script, 9), (QStringList{"1", "1"}));
}
