#include "player/ActionAssembler.h"
#include "player/PlayerStage.h"
#include "player/ScriptParts.h"
#include "player/SwfBuilder.h"
#include "player/TextSwf.h"
#include "player/swf/SwfParser.h"

#include <gtest/gtest.h>

using Asm = ActionAssembler;
using namespace ScriptParts;

namespace {

constexpr int Trace = 0x26, SetMember = 0x4F, GetMember = 0x4E, CallMethod = 0x52, NewObject = 0x40,
              InitArray = 0x42, Pop = 0x17, SetVariable = 0x1D;

// The font the measuring cases use, 20480 units to the em: at 20 px (400 twips) "a" advances
// 199.8 twips and a space 100; the ascent is 312.5 twips and the descent 78.125.
QByteArray MeasureFont() {
  return TextSwf::MeasuredFont(1, QStringLiteral("Measure"), {{u'a', 10230}, {u' ', 5120}}, 16000,
                               4000);
}

// The lines a movie of the given version traces on its first frame.
QString Traces(const Asm& script, int version, const QByteArray& tags = MeasureFont()) {
  QStringList lines;
  PlayerStage stage([](const QString&, const QString&) {});
  stage.SetTraceHandler([&lines](const QString& text) { lines << text; });
  stage.LoadLevel(0, ParseSwfMovie(SwfBuilder::File(tags + script.Tag(), 'F', 8000, 6000, version)),
                  "clip");
  return lines.join(u'|');
}

Asm Value(const QString& text) {
  return Asm().Push(text);
}

Asm Value(double number) {
  return Asm().Push(number);
}

Asm Set(const QString& object, const QString& member, const Asm& value) {
  return Asm().Append(Variable(object)).Push(member).Append(value).Op(SetMember);
}

Asm TraceMembers(const QString& object, const QStringList& members) {
  Asm traces;
  for (const QString& member : members)
    traces.Append(Variable(object)).Push(member).Op(GetMember).Op(Trace);
  return traces;
}

// _root.createTextField(name, depth, x, y, width, height).
Asm CreateField(const QString& name, int depth, double x, double y, double width, double height) {
  return Asm()
      .Push(height)
      .Push(width)
      .Push(y)
      .Push(x)
      .PushInteger(depth)
      .Push(name)
      .PushInteger(6)
      .Append(Variable("_root"))
      .Push("createTextField")
      .Op(CallMethod)
      .Op(Pop);
}

// A field drawn in the measuring font at 20 px: its new text takes the format, with the
// members given set on the format first.
Asm MeasuringField(const QString& name, double width, double height,
                   const std::vector<std::pair<QString, Asm>>& format = {}) {
  Asm field = CreateField(name, 1, 0, 0, width, height);
  field.Append(Set(name, "embedFonts", Asm().PushBoolean(true)));
  field.Push("fmt").Push(20.0).Push("Measure").PushInteger(2).Push("TextFormat").Op(NewObject);
  field.Op(SetVariable);
  for (const auto& [member, value] : format)
    field.Append(Set("fmt", member, value));
  return field.Append(Variable("fmt"))
      .PushInteger(1)
      .Append(Variable(name))
      .Push("setNewTextFormat")
      .Op(CallMethod)
      .Op(Pop);
}

} // namespace

// Every glyph advances by whole twips, cut; a line is the font's ascent and descent in whole
// twips plus the leading, which the last of several lines leaves out; spaces hang past a
// wrapped line's end; trailing spaces count in a left-aligned line, and in every line before
// version 8; tabs reach the next stop, or six spaces without stops.
TEST(TextMeasure, FieldsMeasureTheirTextInWholeTwipsAsThePlayerDoes) {
  Asm single = MeasuringField("t", 200, 100);
  single.Append(Set("t", "text", Value("aa")))
      .Append(TraceMembers("t", {"textWidth", "textHeight"}));
  EXPECT_EQ(Traces(single, 8).toStdString(), "19|19");

  // "aa aa " is 996 twips in a line of 920: the space hangs, "aa" goes below.
  for (const auto& [align, version, expected] :
       {std::tuple{"left", 8, "49|41"}, {"right", 8, "44|41"}, {"right", 7, "49|41"}}) {
    SCOPED_TRACE(std::string(align) + " " + std::to_string(version));
    Asm wrapped = MeasuringField("t", 50, 100, {{"align", Value(align)}, {"leading", Value(2)}});
    wrapped.Append(Set("t", "wordWrap", Asm().PushBoolean(true)))
        .Append(Set("t", "multiline", Asm().PushBoolean(true)))
        .Append(Set("t", "text", Value("aa aa aa")))
        .Append(TraceMembers("t", {"textWidth", "textHeight"}));
    EXPECT_EQ(Traces(wrapped, version).toStdString(), expected);
  }

  // A stop at 10 px: "a" 199, the tab to 200, "a" to 399; no stop is left, so the second tab
  // adds nothing. Without stops a tab is six spaces: 199 + 600 + 199.
  Asm stops = MeasuringField("t", 200, 100, {{"tabStops", Value(10).PushInteger(1).Op(InitArray)}});
  stops.Append(Set("t", "text", Value("a\ta\ta"))).Append(TraceMembers("t", {"textWidth"}));
  stops.Append(MeasuringField("u", 200, 100))
      .Append(Set("u", "text", Value("a\ta")))
      .Append(TraceMembers("u", {"textWidth"}));
  EXPECT_EQ(Traces(stops, 8).toStdString(), "29|49");
}

// A field that sizes itself is its text plus the 2 px gutter on each side, an empty one only
// the gutter; right and centre keep that edge or the middle where it was, moving _x. The
// setter takes the names in any case and the text an object stands for; anything else is
// "none".
TEST(TextMeasure, AutoSizedFieldsFitTheirTextAndKeepTheirAnchor) {
  Asm script = MeasuringField("t", 10, 10);
  script.Append(Set("t", "_x", Value(100)));
  script.Append(Set("t", "autoSize", Value("RIGHT"))).Append(Set("t", "text", Value("aa")));
  script.Append(TraceMembers("t", {"autoSize", "_x", "_width", "_height"}));
  script.Append(Set("t", "autoSize", Value("Center"))).Append(Set("t", "text", Value("")));
  script.Append(TraceMembers("t", {"_x", "_width", "_height"}));
  script.Append(Set("t", "autoSize", Value("rightf"))).Append(TraceMembers("t", {"autoSize"}));
  // o = new Object(); o.toString = function () { return "left"; }; t.autoSize = o;
  script.Push("o").PushInteger(0).Push("Object").Op(NewObject).Op(SetVariable);
  script.Append(Variable("o")).Push("toString");
  script.DefineFunction("", {}, Asm().Push("left").Op(0x3E)).Op(SetMember);
  script.Append(Set("t", "autoSize", Variable("o"))).Append(TraceMembers("t", {"autoSize"}));
  EXPECT_EQ(Traces(script, 8).toStdString(), "right|86.1|23.9|23.5|96.05|4|4|none|left");
}

// Scale and rotation turn the placed field, the placed size spans its corners on whole twips,
// and _width and _height set the field's own size before its scale.
TEST(TextMeasure, FieldsTakeScaleRotationAndSizeLikeClips) {
  Asm script = CreateField("t", 1, 0, 0, 100, 30);
  script.Append(Set("t", "_rotation", Value(20)));
  script.Append(TraceMembers("t", {"_width", "_height", "_rotation", "_xscale"}));
  script.Append(Set("t", "_rotation", Value(0))).Append(Set("t", "_xscale", Value(200)));
  script.Append(Set("t", "_width", Value(20)));
  script.Append(TraceMembers("t", {"_width", "_xscale", "_yscale"}));
  EXPECT_EQ(Traces(script, 8).toStdString(), "104.2|62.4|20|100|40|200|100");
}

// A field bound to a variable its clip does not have gives it the text of its definition,
// shows the variable's value as soon as it changes, and binds anew when scripts rename it;
// an indent read from the file may be negative.
TEST(TextMeasure, FieldsShareTheirTextWithTheirVariable) {
  const QByteArray tags = TextSwf::EditText(5, {.Indent = -200, .Variable = "v", .Text = "Hello"}) +
                          SwfBuilder::Place(1, 5, 0, 0, "f");
  Asm script;
  script.Append(Variable("v")).Op(Trace);
  script.Push("v").Push("changed").Op(SetVariable);
  script.Append(TraceMembers("f", {"text"}));
  script.Append(Set("f", "text", Value("typed"))).Append(Set("f", "variable", Value("w")));
  script.Append(Variable("w")).Op(Trace).Append(Variable("v")).Op(Trace);
  script.Append(TraceMembers("f", {"text"}));
  script.PushInteger(0).Append(Variable("f")).Push("getTextFormat").Op(CallMethod);
  script.Push("indent").Op(GetMember).Op(Trace);
  EXPECT_EQ(Traces(script, 8, tags).toStdString(), "Hello|changed|Hello|typed|Hello|-10");
}
