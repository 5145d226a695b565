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

constexpr int GetVariable = 0x1C, SetVariable = 0x1D, SetMember = 0x4F, NewObject = 0x40,
              NewMethod = 0x53, InitObject = 0x43, Pop = 0x17, CloneSprite = 0x24;

QStringList Traces(const Asm& script, int version = 8, const QByteArray& tags = {}) {
  QStringList lines;
  PlayerStage stage([](const QString&, const QString&) {});
  stage.SetTraceHandler([&lines](const QString& text) { lines << text; });
  stage.LoadLevel(0, ParseSwfMovie(SwfBuilder::File(tags + script.Tag(), 'F', 8000, 6000, version)),
                  "clip");
  return lines;
}

Asm Value(const QString& path) {
  return Asm().Push(path).Op(GetVariable);
}

Asm Assign(const QString& object, const QString& member, const Asm& value) {
  return Asm().Append(Value(object)).Push(member).Append(value).Op(SetMember);
}

// { name: value, ... }
Asm ObjectOf(const std::vector<std::pair<QString, Asm>>& members) {
  Asm object;
  for (const auto& [name, value] : members)
    object.Push(name).Append(value);
  return object.PushInteger(int(members.size())).Op(InitObject);
}

} // namespace

TEST(TextObjects, ScrollingCountsTheLinesAFieldShowsWhole) {
  using namespace TextSwf;
  // Six lines of 10 px Block type (10.7 px each) in a field with room for two.
  const QByteArray tags = BlockFont(1, 2, u'A') +
                          EditText(2, {.Twips = QRect(0, 0, 2000, 700),
                                       .Font = 1,
                                       .Height = 200,
                                       .Text = "A\rA\rA\rA\rA\rA",
                                       .Multiline = true,
                                       .Outlines = true}) +
                          SwfBuilder::Place(1, 2, 0, 0, "field");
  Asm script;
  const auto traceScroll = [&script](double value) {
    script.Append(Assign("field", "scroll", Number(value)));
    script.Append(TraceOf(Value("field.scroll")));
  };
  script.Append(TraceOf(Value("field.maxscroll")));
  script.Append(TraceOf(Value("field.bottomScroll")));
  traceScroll(-10);
  traceScroll(3);
  script.Append(TraceOf(Value("field.bottomScroll")));
  traceScroll(100);
  traceScroll(1.5);
  // The first line is kept as an index in 32 bits: the number given less one wraps.
  traceScroll(767100486418432);
  traceScroll(767100486418433);
  script.Append(Assign("field", "maxscroll", Number(7)));
  script.Append(TraceOf(Value("field.maxscroll")));
  // Lines that fit scroll nowhere sideways.
  script.Append(Assign("field", "hscroll", Number(10)));
  script.Append(TraceOf(Value("field.hscroll")));
  script.Append(TraceOf(Value("field.maxhscroll")));
  // Less text brings the first line shown back into it.
  script.Append(Assign("field", "scroll", Number(5)));
  script.Append(Assign("field", "text", Text("A")));
  script.Append(TraceOf(Value("field.scroll")));
  script.Append(TraceOf(Value("field.maxscroll")));
  EXPECT_EQ(Traces(script, 8, tags).join(u'|').toStdString(), "5|2|1|3|4|5|1|5|1|5|0|0|1|1");
}

TEST(TextObjects, StyleSheetsKeepCopiesOfStylesAndTransformThemIntoFormats) {
  Asm script;
  script.Push("sheet")
      .Append(Asm().PushInteger(0).Append(Value("TextField")))
      .Push("StyleSheet")
      .Op(NewMethod)
      .Op(SetVariable);
  // CSS values as the player reads them: numbers up to the first character that is no
  // digit, margins no less than 0, only "#RRGGBB" colours, alignment in any case, font
  // lists without the blanks before each name.
  script.Push("format")
      .Append(Call(Value("sheet"), "transform",
                   {ObjectOf({{"color", Text("#00fF00")},
                              {"fontSize", Text(" 12px")},
                              {"fontFamily", Text("  A , ,B")},
                              {"textAlign", Text("CENTER")},
                              {"marginLeft", Number(-3)},
                              {"leading", Text("-2.5")},
                              {"letterSpacing", Text("wide")},
                              {"kerning", Text("true")},
                              {"fontWeight", Text("Bold")},
                              {"display", Text("inline")},
                              {"textIndent", Number(5)}})}))
      .Op(SetVariable);
  for (const char* member : {"color", "size", "font", "align", "leftMargin", "leading",
                             "letterSpacing", "kerning", "bold", "display", "indent"})
    script.Append(TraceOf(Member(Value("format"), member)));
  script.Append(TraceOf(Member(Call(Value("sheet"), "transform", {Number(4)}), "display")));
  script.Append(TraceOf(Call(Value("sheet"), "transform", {Asm().PushNull()})));
  // A style is copied when set and when read.
  script.Push("style").Append(ObjectOf({{"color", Text("#FF0000")}})).Op(SetVariable);
  script.Append(Call(Value("sheet"), "setStyle", {Text("h1"), Value("style")})).Op(Pop);
  script.Append(Assign("style", "color", Text("#0000FF")));
  script.Append(TraceOf(Member(Call(Value("sheet"), "getStyle", {Text("h1")}), "color")));
  script.Append(TraceOf(
      Call(Value("sheet"), "parseCSS", {Text("p { font-size: 14px; } h2,h3 {color:#00FF00}")})));
  script.Append(TraceOf(Member(Call(Value("sheet"), "getStyle", {Text("p")}), "fontSize")));
  script.Append(TraceOf(Member(Call(Value("sheet"), "getStyle", {Text("h3")}), "color")));
  script.Append(TraceOf(Call(Value("sheet"), "getStyleNames")));
  script.Append(TraceOf(Call(Value("sheet"), "parseCSS", {Text("p { color")})));
  script.Append(TraceOf(Call(Value("sheet"), "getStyle", {Text("toString")})));
  script.Append(Call(Value("sheet"), "clear")).Op(Pop);
  script.Append(TraceOf(Call(Value("sheet"), "getStyle", {Text("p")})));
  EXPECT_EQ(Traces(script).join(u'|').toStdString(),
            "65280|12|A ,B|center|0|-2|NaN|true|null|inline|null|block|null|"
            "#FF0000|true|14px|#00FF00|h1,p,h2,h3|false|null|null");
}

TEST(TextObjects, CopiesOfFieldsAndSnapshotsOfNoClip) {
  Asm script;
  script
      .Append(Call(Value("_root"), "createTextField",
                   {Text("a"), Number(1), Number(5), Number(6), Number(30), Number(20)}))
      .Op(Pop);
  script.Append(Assign("a", "text", Text("x")));
  script.Append(Assign("a", "_alpha", Number(0.5)));
  script.Append(Assign("a", "antiAliasType", Text("advanced")));
  script.Append(Assign("a", "restrict", Text("a-z")));
  script.Append(Assign("a", "_visible", Asm().PushBoolean(false)));
  // duplicateMovieClip("a", "b", 2): a copy in a's place, with nothing else of a's.
  script.Push("a").Push("b").Push(16386.0).Op(CloneSprite);
  for (const char* path :
       {"b._x", "b._y", "b._width", "b.text", "b._alpha", "b.type", "b.antiAliasType", "b.restrict",
        "b._visible", "a._visible", "a.restrict", "a._alpha"})
    script.Append(TraceOf(Value(path)));
  // A snapshot made for no clip has nothing to read.
  script.Push("loose")
      .Append(Asm().PushInteger(0).Push("TextSnapshot").Op(NewObject))
      .Op(SetVariable);
  script.Append(TraceOf(Call(Value("loose"), "getText", {Number(0), Number(1)})));
  script.Append(TraceOf(Call(Value("loose"), "getCount")));
  EXPECT_EQ(Traces(script).join(u'|').toStdString(),
            "5|6|0||0.390625|input|normal|null|true|false|a-z|0.390625|undefined|undefined");

  // In SWF 5 movies the snapshot's methods read undefined unless set on the object.
  Asm older;
  older.Push("o").Append(Asm().PushInteger(0).Push("TextSnapshot").Op(NewObject)).Op(SetVariable);
  older.Append(TraceOf(Value("o.getText")));
  older.Append(Assign("o", "getText", Text("mine")));
  older.Append(TraceOf(Value("o.getText")));
  EXPECT_EQ(Traces(older, 5), (QStringList{"undefined", "mine"}));
  Asm newer;
  newer.Push("o").Append(Asm().PushInteger(0).Push("TextSnapshot").Op(NewObject)).Op(SetVariable);
  newer.Append(TraceOf(Value("o.getText")));
  EXPECT_EQ(Traces(newer, 6), (QStringList{"[type Function]"}));
}
