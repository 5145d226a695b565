#include "player/PlayerStage.h"
#include "player/swf/SwfParser.h"
#include "tools/swfgen/ClipDescription.h"

#include <gtest/gtest.h>

// How values convert where clips rely on it: numbers read from text, comparisons with clips,
// the order in which the old clip actions ask objects for their values, and instanceof with
// primitives, interfaces and replaced classes.
namespace {

// The lines a one-frame movie of the given version traces, joined by "|".
QString Traces(const QString& actions, int version) {
  QStringList lines;
  PlayerStage stage([](const QString&, const QString&) {});
  stage.SetTraceHandler([&lines](const QString& text) { lines << text; });
  QString error;
  auto description =
      swfgen::ClipDescription::parse("frame 100 100\nactions {\n" + actions + "}\n", &error);
  if (!description) {
    ADD_FAILURE() << error.toStdString();
    return {};
  }
  description->version = quint8(version);
  stage.LoadLevel(0, ParseSwfMovie(description->toSwf()), "clip");
  return lines.join(u'|');
}

// trace(Number(text)) for each text.
QString TraceNumbersOf(const QStringList& texts) {
  QString script;
  for (const QString& text : texts)
    script += QStringLiteral("push \"%1\", 1, \"Number\"\ncallFunction\ntrace\n").arg(text);
  return script;
}

// An object o<N> whose valueOf gives value and whose toString gives text, each tracing its
// name when asked.
QString LoggingObject(int number, const QString& value, const QString& text) {
  return QStringLiteral(R"(
  push "o%1", "valueOf"
  defineFunction () {
    push "o%1.valueOf"
    trace
    push %2
    return
  }
  push "toString"
  defineFunction () {
    push "o%1.toString"
    trace
    push %3
    return
  }
  push 2
  initObject
  setVariable
)")
      .arg(number)
      .arg(value, text);
}

QString Variables(const QStringList& names) {
  QString script;
  for (const QString& name : names)
    script += QStringLiteral("push \"%1\"\ngetVariable\n").arg(name);
  return script;
}

} // namespace

TEST(ValueConversion, TextsReadAsNumbersByThePlayersRules) {
  const QStringList texts{
      " 010", "+010",  "-010",       "-037777777777", "037777777777", "0x1999999981ffffff",
      " 0x2", "5 ",    "\\r12",      "\\t\\r12\\r",   "2e",           "-56e-",
      "1e5x", "1.5e2", "0x-ffffffff"};
  const QStringList expected{"10", "8",   "-8", "1",   "-1",  "-2113929217", "NaN", "NaN",
                             "12", "NaN", "2",  "-56", "NaN", "150",         "1"};
  EXPECT_EQ(Traces(TraceNumbersOf(texts), 8), expected.join(u'|'));
  // Before version 6 a leading zero is decimal, so the 32-bit wrap of octal does not apply.
  EXPECT_EQ(Traces(TraceNumbersOf({"037777777777"}), 5), "37777777777");
}

TEST(ValueConversion, ClipsAndObjectsCompareAsNoNumber) {
  const QString lines = Traces(R"(
  push "_root"
  getVariable
  push "18"
  less2
  typeOf
  trace
  push "18", "_root"
  getVariable
  greater
  typeOf
  trace
  push 1, 2
  less2
  trace
)",
                               8);
  EXPECT_EQ(lines, "undefined|undefined|true");
}

TEST(ValueConversion, OldClipActionsAskObjectsInThePlayersOrder) {
  QString script = LoggingObject(0, "-1", "\"/\"") + LoggingObject(1, "1", "\"a\"") +
                   LoggingObject(2, "2", "\"b\"") + LoggingObject(3, "7", "\"c\"") +
                   LoggingObject(4, "1", "\"d\"");
  // setProperty(o0, property o4 (_y), o2): property, target, value.
  script += Variables({"o0", "o4", "o2"}) + "setProperty\npush \"-\"\ntrace\n";
  // setProperty(o0, _url, o2) reads no value.
  script += Variables({"o0"}) + "push 15\n" + Variables({"o2"}) + "setProperty\n";
  script += "push \"-\"\ntrace\n";
  // duplicateMovieClip(o1, o2, o3): depth, name, source.
  script += Variables({"o1", "o2", "o3"}) + "cloneSprite\npush \"-\"\ntrace\n";
  // startDrag(o0, o1, constraint o3 = 7): no rectangle follows.
  script += Variables({"o2", "o0"}) + "push 7\n" + Variables({"o1", "o0"});
  script += "startDrag\npush \"-\"\ntrace\npop\npop\n";
  // startDrag with constraint o4 = 1: the four edges are read, last pushed first.
  script += Variables({"o0", "o1", "o2", "o3", "o4", "o1", "o0"}) + "startDrag\n";
  script += "push \"-\"\ntrace\n";
  // getURL2(o1, o2): target first.
  script += Variables({"o1", "o2"}) + "getURL2 128\npush \"-\"\ntrace\n";
  // A text names a property by its number: "11ABC" names none, "0x13" is _quality.
  script += "push \"\", \"0x13\"\ngetProperty\ntrace\n";
  script += "push \"\", \"11ABC\"\ngetProperty\ntrace\n";
  const QStringList expected{
      "o4.valueOf", "o0.toString", "o2.valueOf",  "-",           "o0.toString", "-",
      "o3.valueOf", "o2.toString", "o1.toString", "-",           "o0.toString", "o1.valueOf",
      "-",          "o0.toString", "o1.valueOf",  "o4.valueOf",  "o3.valueOf",  "o2.valueOf",
      "o1.valueOf", "o0.valueOf",  "-",           "o2.toString", "o1.toString", "-",
      "HIGH",       "undefined"};
  EXPECT_EQ(Traces(script, 8), expected.join(u'|'));
  // Version 5 movies read it as a decimal only.
  EXPECT_EQ(Traces("push \"\", \"0x13\"\ngetProperty\ntrace\n", 5), "undefined");
}

TEST(ValueConversion, NaNGivenAsANameReadsZeroFromVersionSeven) {
  const QString script = R"(
  push "_root", 13, 0, 0
  divide
  setProperty
  push "_root", 13
  getProperty
  trace
)";
  EXPECT_EQ(Traces(script, 7), "0");
  EXPECT_EQ(Traces(script, 6), "NaN");
}

TEST(ValueConversion, InstanceofMakesPrimitivesObjectsAndFollowsInterfaces) {
  // _global.String replaced by a constructor that traces what it is made of; classes A, B
  // (B implements A) and C, whose prototype is stored beneath a getter.
  const QString setup = R"(
  push "_global"
  getVariable
  push "String"
  defineFunction (text) {
    push "made "
    push "text"
    getVariable
    add2
    trace
  }
  setMember
  defineFunction A () {
  }
  defineFunction B () {
  }
  defineFunction C () {
  }
  push "A"
  getVariable
  push 1, "B"
  getVariable
  implementsOp
  push 0, "B"
  newObject
  storeRegister 1
  pop
  push null
  defineFunction () {
    push "getter ran"
    trace
  }
  push "prototype", 3, "C"
  getVariable
  push "addProperty"
  callMethod
  pop
  push 0, "C"
  newObject
  storeRegister 2
  pop
)";
  const QString checks = R"(
  push "left", "right"
  instanceOf
  trace
  push r:1, "right"
  instanceOf
  trace
  push r:1, "A"
  getVariable
  instanceOf
  trace
  push "A"
  getVariable
  push r:1
  castOp
  typeOf
  trace
  push "C"
  getVariable
  push "left"
  castOp
  trace
  push r:2, "C"
  getVariable
  instanceOf
  trace
  push r:1, "__proto__", "prototype", "A"
  getVariable
  push "prototype"
  getMember
  push 1
  initObject
  push 1
  initObject
  instanceOf
  trace
)";
  const QStringList expected{"false",     "made right", "false", "true", "object",
                             "made left", "null",       "true",  "false"};
  EXPECT_EQ(Traces(setup + checks, 8), expected.join(u'|'));
}

TEST(ValueConversion, NumbersPrintRoundedAsThePlayerRoundsThem) {
  // Plain decimals are rounded correctly; for the exponent form the player scales into
  // [1, 10) before rounding to fifteen digits, so a sixteenth digit just below a half may
  // round up there. The smallest numbers keep their digits.
  const QString script = R"(
  push 1.234567891234565e-6
  trace
  push 1.234567891234565e+308
  trace
  push 0.001244567891234565
  trace
  push 5e-324
  trace
  push 9.999999999999999
  trace
  push 0.8414709848078965
  trace
  push -1.5e-7
  trace
)";
  EXPECT_EQ(Traces(script, 8),
            "1.23456789123457e-6|1.23456789123456e+308|0.00124456789123456|4.94065645841247e-324|"
            "10|0.841470984807897|-1.5e-7");
}
