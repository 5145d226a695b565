#include "player/PlayerStage.h"
#include "player/swf/SwfParser.h"
#include "tools/swfgen/ClipDescription.h"

#include <gtest/gtest.h>

// How values convert where clips rely on it: numbers read from and printed to text,
// comparisons with clips, the order in which the old clip actions ask objects for their
// values, and instanceof with primitives, interfaces and replaced classes.
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

// trace(f(value)) for each value, f a global function of one argument.
QString TraceEach(const QString& function, const QStringList& values) {
  QString script;
  for (const QString& value : values)
    script += QStringLiteral("push %1, 1, \"%2\"\ncallFunction\ntrace\n").arg(value, function);
  return script;
}

// An object o<N> whose valueOf gives N and whose toString gives "/", each tracing when asked.
QString LoggingObject(int number) {
  return QStringLiteral("push \"o%1\", \"valueOf\"\ndefineFunction () {\npush \"o%1.valueOf\"\n"
                        "trace\npush %1\nreturn\n}\npush \"toString\"\ndefineFunction () {\n"
                        "push \"o%1.toString\"\ntrace\npush \"/\"\nreturn\n}\npush 2\ninitObject\n"
                        "setVariable\n")
      .arg(number);
}

QString Get(const QStringList& names) {
  return "push \"" + names.join("\"\ngetVariable\npush \"") + "\"\ngetVariable\n";
}

} // namespace

TEST(ValueConversion, TextsReadAsNumbersAndNumbersPrintAsThePlayerDoes) {
  const QStringList texts{R"(" 010")",  R"("+010")",     R"("-037777777777")",
                          R"(" 0x2")",  R"("-0x2")",     R"("0x-ffffffff")",
                          R"("5 ")",    R"("\t\r12\r")", R"("\r12")",
                          R"("-56e-")", R"("1e5x")",     R"("0x1999999981ffffff")"};
  EXPECT_EQ(Traces(TraceEach("Number", texts), 8),
            "10|8|1|NaN|NaN|1|NaN|NaN|12|-56|NaN|-2113929217");
  // Before version 6 a leading zero is decimal.
  EXPECT_EQ(Traces(TraceEach("Number", {R"("037777777777")"}), 5), "37777777777");
  // Plain decimals round correctly; the exponent form is scaled into [1, 10) first, so a
  // sixteenth digit just below a half may round up there. The smallest numbers keep theirs.
  const QStringList numbers{"1.234567891234565e-6", "1.234567891234565e+308", "0.8414709848078965",
                            "5e-324", "9.999999999999999"};
  EXPECT_EQ(Traces(TraceEach("String", numbers), 8),
            "1.23456789123457e-6|1.23456789123456e+308|0.841470984807897|4.94065645841247e-324|10");
}

TEST(ValueConversion, ClipsCompareAsNoNumber) {
  const QString script = Get({"_root"}) + "push \"18\"\nless2\ntypeOf\ntrace\npush \"18\"\n" +
                         Get({"_root"}) + "greater\ntypeOf\ntrace\n";
  EXPECT_EQ(Traces(script, 8), "undefined|undefined");
}

TEST(ValueConversion, ForInListsNamesDownToAnUndefinedMark) {
  const QString script = "push \"a\", 1, 1\ninitObject\nenumerate2\ntrace\n"
                         "push undefined\nstrictEquals\ntrace\n";
  EXPECT_EQ(Traces(script, 8), "a|true");
}

TEST(ValueConversion, OldClipActionsAskObjectsInThePlayersOrder) {
  QString script;
  for (int number = 0; number <= 7; ++number)
    script += LoggingObject(number);
  // setProperty(o0, o1 (_y), o2): property, target, value; _url (15) reads no value.
  script += Get({"o0", "o1", "o2"}) + "setProperty\n" + Get({"o0"}) + "push 15\n" + Get({"o2"}) +
            "setProperty\n";
  // duplicateMovieClip(o1, o2, o3): depth, name, source.
  script += Get({"o1", "o2", "o3"}) + "cloneSprite\npush \"-\"\ntrace\n";
  // startDrag(o0, o1, constraint): only a constraint of 1 (not 7) brings four edges.
  script += Get({"o0", "o7", "o1", "o0"}) + "startDrag\npop\n";
  script += Get({"o6", "o5", "o4", "o3", "o1", "o2", "o0"}) + "startDrag\npush \"-\"\ntrace\n";
  // getURL2(o1, o2): target first. A text names a property by its number: "11ABC" none.
  script += Get({"o1", "o2"}) + "getURL2 128\npush \"\", \"11ABC\"\ngetProperty\ntrace\n";
  EXPECT_EQ(Traces(script, 8), "o1.valueOf|o0.toString|o2.valueOf|o0.toString|"
                               "o3.valueOf|o2.toString|o1.toString|-|"
                               "o0.toString|o1.valueOf|o7.valueOf|"
                               "o0.toString|o2.valueOf|o1.valueOf|o3.valueOf|o4.valueOf|"
                               "o5.valueOf|o6.valueOf|-|o2.toString|o1.toString|undefined");
  // Version 5 reads a property's number in text as a decimal only; from version 7 on a
  // name given NaN reads "0".
  EXPECT_EQ(Traces("push \"\", \"0x13\"\ngetProperty\ntrace\n", 5), "undefined");
  const QString nanName = "push \"\", 13, 0, 0\ndivide\nsetProperty\npush \"\", 13\n"
                          "getProperty\ntrace\n";
  EXPECT_EQ(Traces(nanName, 7) + "/" + Traces(nanName, 6), "0/NaN");
}

TEST(ValueConversion, InstanceofMakesPrimitivesObjectsAndFollowsInterfaces) {
  // _global.String replaced by a constructor that traces what it makes; B implements A; C's
  // prototype lies beneath a getter, which instanceof does not run.
  const QString setup = Get({"_global"}) + R"(push "String"
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
)" + Get({"A"}) + "push 1\n" +
                        Get({"B"}) +
                        "implementsOp\npush 0, \"B\"\nnewObject\nstoreRegister 1\npop\n";
  const QString checks =
      "push \"left\", \"right\"\ninstanceOf\ntrace\n" // a primitive: no instance
      "push r:1, \"right\"\ninstanceOf\ntrace\n" +    // a primitive class is made
      Get({"A"}) +
      "push r:1\ncastOp\ntypeOf\ntrace\n" +           // through the interface
      Get({"A"}) + "push \"left\"\ncastOp\ntrace\n" + // made, yet null
      "push 0, \"C\"\nnewObject\n" + Get({"C"}) + "instanceOf\ntrace\n" +
      // A prototype the class only inherits does not count.
      "push r:1, \"__proto__\", \"prototype\"\n" + Get({"A"}) +
      "push \"prototype\"\ngetMember\npush 1\ninitObject\npush 1\ninitObject\ninstanceOf\n"
      "trace\n";
  EXPECT_EQ(Traces(setup + checks, 8).toStdString(), "false|made right|false|object|made left|null|true|false");
}
