#include "tools/swfgen/ScriptAssembler.h"

#include "player/swf/SwfBudget.h"
#include "player/swf/SwfLimits.h"
#include "player/swf/SwfScriptDecoder.h"
#include "tools/swfgen/ClipDescription.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>

using namespace swfgen;

namespace {

// The lines of a script block as a description holds them: the block's body, then "}".
QList<SourceLine> blockLines(const QString& script) {
  QList<SourceLine> lines;
  const QStringList texts = (script + QStringLiteral("\n}")).split(QLatin1Char('\n'));
  for (qsizetype i = 0; i < texts.size(); ++i)
    lines.append({texts[i], int(i + 2), {}});
  return lines;
}

QByteArray assemble(const QString& script) {
  qsizetype index = 0;
  return assembleScript(blockLines(script), index, {QStringLiteral("actions {"), 1, {}}).bytes();
}

// The script as the player decodes it: branches and blocks as action indices.
SwfScript decode(const QString& script) {
  SwfBudget budget(SwfLimits::MaxDecodedItems);
  return DecodeSwfScript(assemble(script), 10, budget);
}

// The message of the fault, or "" when the description reads.
QString faultOf(const QString& description, const QString& includeDirectory = {}) {
  QString error;
  ClipDescription::parse(description, &error, includeDirectory);
  return error;
}

struct Tag {
  int code;
  QByteArray body;
};

// The tags of a tag stream (a movie body after its header, or a sprite's control tags).
QList<Tag> tagsOf(const QByteArray& bytes, qsizetype at) {
  QList<Tag> tags;
  while (at + 2 <= bytes.size()) {
    const quint16 header = qFromLittleEndian<quint16>(bytes.constData() + at);
    at += 2;
    qsizetype length = header & 0x3F;
    if (length == 0x3F) {
      length = qFromLittleEndian<quint32>(bytes.constData() + at);
      at += 4;
    }
    tags.append({header >> 6, bytes.mid(at, length)});
    at += length;
  }
  return tags;
}

QList<Tag> movieTags(const QByteArray& file) {
  const int rectBits = 5 + 4 * (quint8(file[8]) >> 3);
  return tagsOf(file, 8 + (rectBits + 7) / 8 + 4);
}

QList<int> codesOf(const QList<Tag>& tags) {
  QList<int> codes;
  for (const Tag& tag : tags)
    codes.append(tag.code);
  return codes;
}

} // namespace

TEST(ScriptAssemblerTest, PushWritesEachValueInTheTypeItsSpellingNames) {
  const SwfScript script = decode(QStringLiteral(
      "constantPool \"item\", \"value\"\n"
      "PUSH \"a \\\"b\\\"\\n\", 12, -3, 2.5, float:1.5, double:7, true, false, null, undefined, "
      "r:3, c:1, NaN, 0xD32F2F // a comment, \"not a value\"\n"
      "getvariable"));
  ASSERT_EQ(script.size(), 3u); // pool, push, getVariable
  const std::vector<SwfPushValue>& values = script[1].Values;
  ASSERT_EQ(values.size(), 14u);
  EXPECT_EQ(std::get<QString>(values[0].Value), QStringLiteral("a \"b\"\n"));
  EXPECT_EQ(std::get<double>(values[1].Value), 12);
  EXPECT_EQ(std::get<double>(values[2].Value), -3);
  EXPECT_EQ(std::get<double>(values[3].Value), 2.5);
  EXPECT_EQ(std::get<double>(values[4].Value), 1.5);
  EXPECT_EQ(std::get<double>(values[5].Value), 7);
  EXPECT_TRUE(std::get<bool>(values[6].Value));
  EXPECT_FALSE(std::get<bool>(values[7].Value));
  EXPECT_TRUE(std::holds_alternative<SwfNull>(values[8].Value));
  EXPECT_TRUE(std::holds_alternative<std::monostate>(values[9].Value));
  EXPECT_EQ(values[10].Register, 3);
  EXPECT_EQ(values[11].PoolIndex, 1); // read from the pool in force when it is pushed
  EXPECT_TRUE(std::isnan(std::get<double>(values[12].Value)));
  EXPECT_EQ(std::get<double>(values[13].Value), 0xD32F2F);
  EXPECT_EQ(script[2].Code, SwfActionCode::GetVariable);

  // The wire types: integers as 32-bit integers, 2.5 as a double, float: as a float.
  const QByteArray bytes = assemble(QStringLiteral("push 1, 2.5, float:1.5"));
  EXPECT_EQ(bytes[3], char(7));
  EXPECT_EQ(bytes[8], char(6));
  EXPECT_EQ(bytes[17], char(1));
}

TEST(ScriptAssemblerTest, BranchesReachTheirLabelsForwardAndBackward) {
  // i = 0; do { i++ } while (i < 3); done = i
  const SwfScript script = decode(QStringLiteral("push \"i\", 0\n"
                                                 "setVariable\n"
                                                 "loop:\n"
                                                 "push \"i\", \"i\"\n"
                                                 "getVariable\n"
                                                 "increment\n"
                                                 "setVariable\n"
                                                 "push \"i\"\n"
                                                 "getVariable\n"
                                                 "push 3\n"
                                                 "less2\n"
                                                 "if loop\n"
                                                 "jump done\n"
                                                 "trace\n"
                                                 "done:"));
  ASSERT_EQ(script.size(), 13u);
  EXPECT_EQ(script[10].Code, SwfActionCode::If);
  EXPECT_EQ(script[10].Branch, 2u) << "back to the first action after loop:";
  EXPECT_EQ(script[11].Code, SwfActionCode::Jump);
  EXPECT_EQ(script[11].Branch, 13u) << "forward past trace, to the end";
}

TEST(ScriptAssemblerTest, FunctionsWithAndTryEncloseTheirBodies) {
  const SwfScript script = decode(QStringLiteral(
      "defineFunction2 apply (key r:4, value) preloadThis preloadRoot suppressArguments {\n"
      "  push r:4, r:5\n"
      "  storeRegister 6\n"
      "  if skip\n"
      "  return\n"
      "  skip:\n"
      "}\n"
      "defineFunction (a, b) {\n"
      "  push \"a\"\n"
      "}\n"
      "push \"obj\"\n"
      "with {\n"
      "  push 1\n"
      "}\n"
      "try r:2 {\n"
      "  throw\n"
      "} catch {\n"
      "  pop\n"
      "} finally {\n"
      "  stop\n"
      "}"));
  ASSERT_EQ(script[0].Code, SwfActionCode::DefineFunction2);
  const SwfFunctionInfo& apply = *script[0].Function;
  EXPECT_EQ(apply.Name, QStringLiteral("apply"));
  EXPECT_EQ(apply.Params, (std::vector<QString>{"key", "value"}));
  EXPECT_EQ(apply.ParamRegisters, (std::vector<int>{4, 0}));
  EXPECT_EQ(apply.RegisterCount, 7) << "registers up to r:6, the highest the body uses";
  EXPECT_EQ(apply.Flags, FunctionFlag::PreloadThis | FunctionFlag::PreloadRoot |
                             FunctionFlag::SuppressArguments);
  EXPECT_EQ(script[0].BlockEnds[0], 5u) << "the body: push, storeRegister, if, return";
  EXPECT_EQ(script[3].Branch, 5u) << "a label at the end of a body ends the body";
  EXPECT_EQ(script[5].Code, SwfActionCode::DefineFunction);
  EXPECT_TRUE(script[5].Function->Name.isEmpty());
  EXPECT_EQ(script[5].Function->Params, (std::vector<QString>{"a", "b"}));
  EXPECT_EQ(script[8].Code, SwfActionCode::With);
  EXPECT_EQ(script[8].BlockEnds[0], 10u);
  ASSERT_EQ(script[10].Code, SwfActionCode::Try);
  EXPECT_EQ(script[10].Register, 2);
  EXPECT_EQ(script[10].BlockEnds, (std::array<std::size_t, 3>{12, 13, 14}));
  EXPECT_EQ(script[13].Code, SwfActionCode::Stop);

  // A catch block alone, into a named variable.
  const SwfScript caught = decode(QStringLiteral("try e {\n} catch {\n  pop\n}"));
  EXPECT_EQ(caught[0].Url, QStringLiteral("e"));
  EXPECT_EQ(caught[0].BlockEnds, (std::array<std::size_t, 3>{1, 2, 2}));
}

TEST(ScriptAssemblerTest, AMalformedLineIsRefusedWithItsLineAndReason) {
  const struct {
    const char* description;
    const char* fault;
  } cases[] = {
      {"actions {\n  stopp\n}", "line 2: unknown action \"stopp\""},
      {"actions {\n  push\n}", "line 2: \"push\" takes at least one value"},
      {"actions {\n\n  push item\n}", "line 3: \"item\" is no value to push"},
      {"actions {\n  push \"open\n}", "line 2: the string is not closed"},
      {"actions {\n  push 1 2\n}", "line 2: \"2\" where a comma belongs"},
      {"actions {\n  push 1,\n}", "line 2: an operand is missing after the last comma"},
      {"actions {\n  push 4294967296\n}", "line 2: integer \"4294967296\" is no whole number"},
      {"actions {\n  push r:256\n}", "line 2: register \"256\" is no whole number from 0 to 255"},
      {"actions {\n  stop 1\n}", "line 2: \"stop\" takes 0 operand(s)"},
      {"actions {\n  jump nowhere\n}", "line 2: label \"nowhere\" is not defined in this block"},
      {"actions {\n  a:\n  a:\n}", "line 3: label \"a\" is defined twice"},
      {"actions {\n  defineFunction f () {\n    jump out\n  }\n  out:\n}",
       "line 3: label \"out\" is not defined in this block"},
      {"actions {\n  defineFunction2 f (a r:1) preloadThis {\n  }\n}",
       "line 2: register 1 holds a preloaded value"},
      {"actions {\n  defineFunction2 f () registers=2 {\n    push r:3\n  }\n}",
       "line 2: registers=2, but the function uses register 3"},
      {"actions {\n  defineFunction2 f () preloadThis suppressThis {\n  }\n}",
       "line 2: a value cannot be both preloaded and suppressed"},
      {"actions {\n  defineFunction2 f () fast {\n  }\n}", "line 2: unknown flag \"fast\""},
      {"actions {\n  try e {\n  }\n}", "line 2: a try block needs a catch or a finally block"},
      {"actions {\n  with {\n    push 1\n", "line 2: the block opened here has no closing"},
      {"actions {\n  stop\n", "line 1: the block opened here has no closing"},
      {"sprite s 0 0 {\n  rect 0 0 1 1 #000000\n", "line 1: the block opened here has no closing"},
      {"rect 0 0 1 1 #000000\n}", "line 2: \"}\" closes no block"},
      {"keyframe on", "line 1: \"keyframe\" belongs inside a sprite"},
      {"sprite s 0 0 {\n  keyframe on\n  keyframe on\n}",
       "line 3: frame label \"on\" is used twice"},
      {"sprite s 0 0 {\n  item a=1\n}", "line 2: \"item\" belongs to the movie, not to a sprite"},
      {"sprite s 0 0 {\n  onClipEvent load press keyPress {\n  }\n}",
       "line 2: unknown clip event \"keyPress\""},
      {"sprite 1s 0 0 {\n}", "line 1: \"1s\" is no instance name"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.description);
    EXPECT_TRUE(faultOf(test.description).startsWith(QString::fromUtf8(test.fault)))
        << faultOf(test.description).toStdString();
  }
}

TEST(ScriptAssemblerTest, IncludedLinesAreReadInPlaceAndNamedInFaults) {
  QTemporaryDir folder;
  QFile shared(folder.filePath("shared.txt"));
  ASSERT_TRUE(shared.open(QIODevice::WriteOnly));
  shared.write("  push \"shared\"\n  trace\n");
  shared.close();
  QFile broken(folder.filePath("broken.txt"));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("  stop\n  bogus\n");
  broken.close();

  QString error;
  const auto description =
      ClipDescription::parse("actions {\n  include shared.txt\n  stop\n}", &error, folder.path());
  ASSERT_TRUE(description) << error.toStdString();
  SwfBudget budget(SwfLimits::MaxDecodedItems);
  const SwfScript script = DecodeSwfScript(description->scripts.value(0), 10, budget);
  ASSERT_EQ(script.size(), 3u);
  EXPECT_EQ(script[1].Code, SwfActionCode::Trace);
  EXPECT_EQ(script[2].Code, SwfActionCode::Stop);

  EXPECT_EQ(faultOf("actions {\n  include broken.txt\n}", folder.path()),
            QStringLiteral("broken.txt line 2: unknown action \"bogus\""));
  EXPECT_TRUE(faultOf("include missing.txt", folder.path())
                  .startsWith(QStringLiteral("line 1: cannot read ")));
}

TEST(ScriptAssemblerTest, SpritesWriteTheirFramesHandlersAndInitScripts) {
  QString error;
  const auto description =
      ClipDescription::parse("frame 40 40\n"
                             "sprite lens 6 8 mult=1,1,1,0.5 {\n"
                             "  sprite glass 0 0 {\n"
                             "    rect 0 0 24 24 #C0392B\n"
                             "  }\n"
                             "  initactions {\n"
                             "    push \"init\"\n"
                             "    trace\n"
                             "  }\n"
                             "  onClipEvent load enterFrame {\n"
                             "    stop\n"
                             "  }\n"
                             "  keyframe off\n"
                             "  actions {\n"
                             "    stop\n"
                             "  }\n"
                             "  rect 0 0 24 24 #000000\n"
                             "  keyframe on\n"
                             "  text name=readout 0 0 20 10 #FFFFFF 9 left value\n"
                             "}\n"
                             "actions {\n"
                             "  play\n"
                             "}\n"
                             "load",
                             &error);
  ASSERT_TRUE(description) << error.toStdString();
  const QList<Tag> tags = movieTags(description->toSwf());
  // glass (shape, sprite), lens's own shape, the font and the text, lens, its init script,
  // its placement, the root's script, the load call.
  EXPECT_EQ(codesOf(tags), (QList<int>{2, 39, 2, 48, 37, 39, 59, 26, 12, 12, 1, 0}));
  const QByteArray lens = tags[5].body;
  EXPECT_EQ(qFromLittleEndian<quint16>(lens.constData() + 2), 2) << "two frames";
  const QList<Tag> control = tagsOf(lens, 4);
  // Frame 1: glass, the cover, label, script; frame 2: the cover goes, the text comes.
  EXPECT_EQ(codesOf(control), (QList<int>{26, 26, 43, 12, 1, 28, 26, 43, 1, 0}));
  EXPECT_EQ(control[2].body, QByteArray("off\0", 4));
  EXPECT_EQ(control[5].body, QByteArray("\x02\x00", 2)) << "the cover's depth";
  EXPECT_TRUE(control[6].body.contains(QByteArray("readout\0", 8)));
  EXPECT_EQ(qFromLittleEndian<quint16>(tags[6].body.constData()),
            qFromLittleEndian<quint16>(lens.constData()))
      << "the init script names the lens sprite";

  // The lens placement: name, colour transform and one handler for load and enterFrame.
  const QByteArray place = tags[7].body;
  EXPECT_EQ(quint8(place[0]), 0x80 | 0x20 | 0x08 | 0x04 | 0x02);
  ASSERT_TRUE(place.contains(QByteArray("lens\0", 5)));
  const qsizetype actionsAt = place.indexOf(QByteArray("lens\0", 5)) + 5;
  EXPECT_EQ(qFromLittleEndian<quint16>(place.constData() + actionsAt), 0);
  EXPECT_EQ(qFromLittleEndian<quint32>(place.constData() + actionsAt + 2), 0x3u);
  EXPECT_EQ(qFromLittleEndian<quint32>(place.constData() + actionsAt + 6), 0x3u);
  EXPECT_EQ(qFromLittleEndian<quint32>(place.constData() + actionsAt + 10), 2u);
  EXPECT_EQ(place.mid(actionsAt + 14), QByteArray("\x07\x00\x00\x00\x00\x00", 6));
}
