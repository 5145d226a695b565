#include "player/ActionAssembler.h"
#include "player/PlayerStage.h"
#include "player/ScriptParts.h"
#include "player/SwfBuilder.h"
#include "player/swf/SwfParser.h"
#include "tools/swfgen/SwfWriter.h"

#include <gtest/gtest.h>

using namespace SwfBuilder;
using Asm = ActionAssembler;
using namespace ScriptParts;

namespace {

constexpr int SetMember = 0x4F, Pop = 0x17, Equals2 = 0x49, TypeOf = 0x44;

// A button of one rectangle in its up and hit states, exported as "knob" and placed as
// "placed" at depth 1.
QByteArray ButtonTags() {
  swfgen::ButtonRecord face;
  face.states = swfgen::ButtonState::Up | swfgen::ButtonState::Hit;
  face.characterId = 1;
  QByteArray exports;
  exports.append(char(1)).append(char(0)).append(char(3)).append(char(0)).append("knob").append(
      '\0');
  return RectangleShape(1, QRect(0, 0, 400, 200), Qt::red) +
         swfgen::SwfWriter::defineButton2(3, {face}, {}) + Tag(56, exports) +
         Place(1, 3, 0, 0, "placed");
}

} // namespace

TEST(ButtonObject, PlacedAndAttachedButtonsAreButtonObjectsWhateverClassTheirSymbolHas) {
  Asm script;
  script.DefineFunction("Custom", {}, TraceOf(Asm().Push("constructed")));
  script.Append(Call(Variable("Object"), "registerClass", {Asm().Push("knob"), Variable("Custom")}))
      .Op(Pop);
  script
      .Append(Call(Variable("_root"), "attachMovie",
                   {Asm().Push("knob"), Asm().Push("attached"), Asm().Push(5)}))
      .Op(Pop);
  script.Append(TraceOf(Variable("attached").Op(TypeOf)));
  script.Append(TraceOf(Asm()
                            .Append(Member(Variable("attached"), "__proto__"))
                            .Append(Member(Variable("Button"), "prototype"))
                            .Op(Equals2)));
  script.Append(TraceOf(Variable("placed").Op(TypeOf)));
  script.Append(TraceOf(Member(Variable("placed"), "enabled")));
  script.Append(TraceOf(Member(Variable("placed"), "useHandCursor")));
  script.Append(Variable("attached").Push("_x").Push(12).Op(SetMember));
  script.Append(TraceOf(Member(Variable("attached"), "_x")));
  script.Append(TraceOf(Call(Variable("attached"), "getDepth", {})));
  script.Append(TraceOf(Variable("attached")));
  script.Append(TraceOf(Member(Variable("placed"), "_width")));

  QStringList lines;
  PlayerStage stage([](const QString&, const QString&) {});
  stage.SetTraceHandler([&lines](const QString& text) { lines << text; });
  stage.LoadLevel(0, ParseSwfMovie(File(ButtonTags() + script.Tag(), 'F', 8000, 6000, 8)), "clip");
  EXPECT_EQ(lines, QStringList({"object", "true", "object", "true", "true", "12", "5",
                                "_level0.attached", "20"}));
}
