#include "player/ActionAssembler.h"
#include "player/PlayerStage.h"
#include "player/ScriptParts.h"
#include "player/SwfBuilder.h"
#include "player/swf/SwfParser.h"

#include <gtest/gtest.h>

using namespace SwfBuilder;
using Asm = ActionAssembler;
using namespace ScriptParts;

namespace {

constexpr int Trace = 0x26, GetVariable = 0x1C, SetVariable = 0x1D, SetMember = 0x4F,
              GetMember = 0x4E, InitObject = 0x43, Pop = 0x17, Delete2 = 0x3B, Equals2 = 0x49,
              Add2 = 0x47, CloneSprite = 0x24, RemoveSprite = 0x25;

// The lines a movie traces on its first frame, its frame scripts and clip scripts included.
QStringList Traces(const Asm& script, const QByteArray& tags, int version = 8) {
  QStringList lines;
  PlayerStage stage([](const QString&, const QString&) {});
  stage.SetTraceHandler([&lines](const QString& text) { lines << text; });
  stage.LoadLevel(0, ParseSwfMovie(File(tags + script.Tag(), 'F', 8000, 6000, version)), "clip");
  return lines;
}

// Lends character id to scripts under linkage.
QByteArray Export(int id, const QByteArray& linkage) {
  QByteArray body;
  body.append(char(1)).append(char(0)).append(char(id & 0xFF)).append(char(id >> 8));
  body.append(linkage).append('\0');
  return Tag(56, body);
}

// A sprite "box" at depth 1 of the root, 10 px right, and the same sprite exported as
// "Widget", whose first frame traces "frame of " and its name.
QByteArray Tags() {
  const Asm frame = Asm()
                        .Push("frame of ")
                        .Push("this")
                        .Op(GetVariable)
                        .Push("_name")
                        .Op(GetMember)
                        .Op(Add2)
                        .Op(Trace);
  return RectangleShape(1, QRect(0, 0, 400, 200), Qt::red) + Sprite(2, Place(1, 1) + frame.Tag()) +
         Export(2, "Widget") + Place(1, 2, 200, 0, "box");
}

Asm Depth(const QString& clip) {
  return TraceOf(Call(Variable(clip), "getDepth"));
}

} // namespace

TEST(DisplayList, AttachedSymbolsTakeTheirClassInitObjectAndFirstFrame) {
  Asm script;
  // function WidgetClass() { trace("made " + this.size); }
  script.DefineFunction("WidgetClass", {},
                        Asm()
                            .Push("made ")
                            .Push("this")
                            .Op(GetVariable)
                            .Push("size")
                            .Op(GetMember)
                            .Op(Add2)
                            .Op(Trace));
  script
      .Append(Call(Variable("Object"), "registerClass", {Text("Widget"), Variable("WidgetClass")}))
      .Op(Pop);
  // Linkage names ignore case; the init object's members are there before the constructor.
  script.Push("w")
      .Append(Call(Variable("_root"), "attachMovie",
                   {Text("wIdGeT"), Text("w1"), Number(4),
                    Asm().Push("size").PushInteger(7).PushInteger(1).Op(InitObject)}))
      .Op(SetVariable);
  script.Append(TraceOf(Variable("w1")));
  script.Append(TraceOf(Asm()
                            .Append(Variable("w"))
                            .Push("__proto__")
                            .Op(GetMember)
                            .Append(Variable("WidgetClass"))
                            .Push("prototype")
                            .Op(GetMember)
                            .Op(Equals2)));
  // An unknown symbol or a depth beyond the scripts' range attaches nothing and leaves the
  // clip at that depth.
  script.Append(
      TraceOf(Call(Variable("_root"), "attachMovie", {Text("Missing"), Text("w1"), Number(4)})));
  script.Append(TraceOf(Variable("w1")));
  script.Append(TraceOf(
      Call(Variable("_root"), "attachMovie", {Text("Widget"), Text("far"), Number(2130690045)})));
  script.Append(TraceOf(Call(Variable("_root"), "attachMovie",
                             {Text("Widget"), Text("deepest"), Number(2130690044)})));
  // The timeline's clip was placed before the frame's script ran.
  const QStringList expected{"frame of box",    "made 7",      "_level0.w1",      "true",
                             "undefined",       "_level0.w1",  "undefined",       "made undefined",
                             "_level0.deepest", "frame of w1", "frame of deepest"};
  EXPECT_EQ(Traces(script, Tags()).join(u'|').toStdString(), expected.join(u'|').toStdString());
}

TEST(DisplayList, ScriptsMoveCopyAndRemoveClipsByDepth) {
  Asm script;
  // A copy keeps the placement; swapping with a sibling trades depths.
  script.Append(Call(Variable("box"), "duplicateMovieClip", {Text("copy"), Number(3)})).Op(Pop);
  script.Append(TraceOf(Variable("copy._x"))).Append(Depth("copy"));
  script.Append(Call(Variable("box"), "swapDepths", {Variable("copy")})).Op(Pop);
  script.Append(Depth("box")).Append(Depth("copy"));
  // Depths convert as 32-bit integers; NaN is 0, undefined changes nothing.
  script.Append(Call(Variable("box"), "swapDepths", {Number(4294967297.5)})).Op(Pop);
  script.Append(Depth("box"));
  script.Append(Call(Variable("box"), "swapDepths", {Asm().PushUndefined()})).Op(Pop);
  script.Append(Depth("box"));
  script.Append(Call(Variable("_root"), "getNextHighestDepth"));
  script.Op(Trace);
  // The duplicate action counts depths from the timeline's first one.
  script.Push("copy").Push("twin").Push(16384 + 9.0).Op(CloneSprite);
  script.Append(Depth("twin"));
  // Clips at the timeline's depths stay; those at the scripts' go.
  script.Append(Call(Variable("copy"), "removeMovieClip")).Op(Pop);
  script.Append(TraceOf(Variable("copy")));
  script.Push("twin").Op(RemoveSprite);
  script.Append(TraceOf(Variable("twin")));
  // A text field at a script's depth goes the same way.
  script
      .Append(Call(Variable("_root"), "createTextField",
                   {Text("label"), Number(8), Number(0), Number(0), Number(50), Number(20)}))
      .Op(Pop);
  script.Push("label").Op(RemoveSprite);
  script.Append(TraceOf(Variable("label")));
  const QStringList expected{"frame of box",
                             "10",
                             "3",
                             "3",
                             "-16383",
                             "1",
                             "1",
                             "2",
                             "9",
                             "_level0.copy",
                             "undefined",
                             "undefined",
                             "frame of copy"};
  EXPECT_EQ(Traces(script, Tags()).join(u'|').toStdString(), expected.join(u'|').toStdString());
}

TEST(DisplayList, ChildrenAreReachedByNameBehindOwnMembersAndReferencesFollowThePath) {
  Asm script;
  // A variable of the child's name hides it until deleted; the prototype's does not.
  script.Push("box").PushInteger(10).Op(SetVariable);
  script.Append(TraceOf(Variable("box")));
  script.Push("box").Op(Delete2);
  script.Append(TraceOf(Variable("box")));
  script.Append(Variable("MovieClip"))
      .Push("prototype")
      .Op(GetMember)
      .Push("box")
      .PushInteger(2)
      .Op(SetMember);
  script.Append(TraceOf(Variable("box")));
  script.Append(TraceOf(Call(Variable("_root"), "hasOwnProperty", {Text("box")})));
  // A kept reference to a removed clip reads as no text while its path is empty, and
  // reaches whatever clip takes its path.
  script.Push("kept")
      .Append(Call(Variable("_root"), "createEmptyMovieClip", {Text("spot"), Number(5)}))
      .Op(SetVariable);
  script.Append(Call(Variable("kept"), "removeMovieClip")).Op(Pop);
  script.Append(TraceOf(Variable("kept")));
  script.Append(Call(Variable("_root"), "createEmptyMovieClip", {Text("spot"), Number(6)})).Op(Pop);
  script.Append(TraceOf(Call(Variable("kept"), "getDepth")));
  const QStringList expected{"frame of box", "10", "_level0.box", "_level0.box", "false", "", "6"};
  EXPECT_EQ(Traces(script, Tags()).join(u'|').toStdString(), expected.join(u'|').toStdString());
}

TEST(DisplayList, ClipsScriptsMakeRunTheirInheritedConstructHandlerAtOnce) {
  Asm script;
  // MovieClip.prototype.onConstruct = function () { trace("constructed " + this._name); }
  script.Append(Variable("MovieClip")).Push("prototype").Op(GetMember).Push("onConstruct");
  script
      .DefineFunction("", {},
                      Asm()
                          .Push("constructed ")
                          .Push("this")
                          .Op(GetVariable)
                          .Push("_name")
                          .Op(GetMember)
                          .Op(Add2)
                          .Op(Trace))
      .Op(SetMember);
  script.Append(Call(Variable("_root"), "createEmptyMovieClip", {Text("empty"), Number(5)}))
      .Op(Pop);
  script.Append(TraceOf(Text("after empty")));
  script.Append(Call(Variable("box"), "duplicateMovieClip", {Text("copy"), Number(6)})).Op(Pop);
  script.Append(TraceOf(Text("after copy")));
  const QStringList expected{"frame of box",     "constructed empty", "after empty",
                             "constructed copy", "after copy",        "frame of copy"};
  EXPECT_EQ(Traces(script, Tags()).join(u'|').toStdString(), expected.join(u'|').toStdString());
}
