#include "player/ActionAssembler.h"
#include "player/PlayerStage.h"
#include "player/ScriptParts.h"
#include "player/ShockwaveFlash.h"
#include "player/SwfBuilder.h"
#include "player/swf/SwfParser.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace SwfBuilder;
using Asm = ActionAssembler;
using namespace ScriptParts;

namespace {

constexpr int GetVariable = 0x1C, SetVariable = 0x1D, SetMember = 0x4F, CallMethod = 0x52,
              InitObject = 0x43, Pop = 0x17, TypeOf = 0x44;

// A clip's value, read through a path as a script reads a variable.
Asm Value(const QString& path) {
  return Asm().Push(path).Op(GetVariable);
}

// receiver.method(arguments...), its result left on the stack.
Asm Call(const QString& receiver, const QString& method, const std::vector<Asm>& arguments = {}) {
  Asm call;
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it)
    call.Append(*it);
  return call.PushInteger(int(arguments.size()))
      .Append(Value(receiver))
      .Push(method)
      .Op(CallMethod);
}

// receiver.method(arguments...) for its effect alone.
Asm Do(const QString& receiver, const QString& method, const std::vector<Asm>& arguments = {}) {
  return Call(receiver, method, arguments).Op(Pop);
}

// name = {x: x, y: y}, or {x: x} alone when y is NaN.
Asm Point(const QString& name, double x, double y) {
  Asm point = Asm().Push(name).Push("x").Push(x);
  if (std::isnan(y))
    return point.PushInteger(1).Op(InitObject).Op(SetVariable);
  return point.Push("y").Push(y).PushInteger(2).Op(InitObject).Op(SetVariable);
}

Asm SetProperty(const QString& clip, const QString& property, double value) {
  return Value(clip).Push(property).Push(value).Op(SetMember);
}

// The four numbers of a getBounds answer, "undefined" for none.
Asm TraceBounds(const QString& clip, const std::vector<Asm>& target) {
  Asm script = Asm().Push("b").Append(Call(clip, "getBounds", target)).Op(SetVariable);
  for (const char* edge : {"b.xMin", "b.xMax", "b.yMin", "b.yMax"})
    script.Append(TraceOf(Value(QString::fromLatin1(edge))));
  return script;
}

// A 20 x 10 px red box (shape 1) in sprite 2; sprite 3 holds it as "inner", 10 px right; the
// root holds sprite 3 as "outer" at (100, 50) px, twice its size. Sprite 2 is exported as "Box".
QByteArray Nested() {
  QByteArray exportBox;
  exportBox.append(char(1)).append(char(0)).append(char(2)).append(char(0)).append("Box").append(
      '\0');
  return RectangleShape(1, QRect(0, 0, 400, 200), Qt::red) + Sprite(2, Place(1, 1)) +
         Sprite(3, Place(1, 2, 200, 0, "inner")) + Tag(56, exportBox) +
         Place(1, 3, 2000, 1000, "outer", 2);
}

QStringList Traces(const QByteArray& tags, const Asm& script) {
  QStringList lines;
  PlayerStage stage([](const QString&, const QString&) {});
  stage.SetTraceHandler([&lines](const QString& text) { lines << text; });
  stage.LoadLevel(0, ParseSwfMovie(File(tags + script.Tag(), 'F', 8000, 6000, 8)), "clip");
  return lines;
}

// A drawn clip made by script: name at depth, its drawing commands run on it.
Asm EmptyClip(const QString& name, int depth) {
  return Do("_root", "createEmptyMovieClip", {Text(name), Number(depth)});
}

// A filled triangle (0,0), (100,0), (0,100) px drawn by script in "tri".
Asm Triangle() {
  return EmptyClip("tri", 20)
      .Append(Do("tri", "beginFill", {Number(0x0000FF)}))
      .Append(Do("tri", "moveTo", {Number(0), Number(0)}))
      .Append(Do("tri", "lineTo", {Number(100), Number(0)}))
      .Append(Do("tri", "lineTo", {Number(0), Number(100)}))
      .Append(Do("tri", "endFill"));
}

} // namespace

TEST(ClipGeometry, BoundsAndPointsFollowEveryClipUpToTheStageAndTakePathsAsTargets) {
  Asm script;
  script.Append(TraceBounds("outer.inner", {Text("..")}));
  script.Append(TraceBounds("outer.inner", {Text("/")}));
  script.Append(TraceBounds("outer", {Text("inner")}));
  // An empty path names no clip, unlike a missing argument.
  script.Append(TraceOf(Call("outer", "getBounds", {Text("")})));
  script.Append(Point("p", 1, 2)).Append(Do("outer.inner", "localToGlobal", {Value("p")}));
  script.Append(TraceOf(Value("p.x"))).Append(TraceOf(Value("p.y")));
  script.Append(Do("outer.inner", "globalToLocal", {Value("p")}));
  script.Append(TraceOf(Value("p.x"))).Append(TraceOf(Value("p.y")));
  // A point without a y of its own stays as it is.
  script.Append(Point("q", 5, std::nan(""))).Append(Do("outer", "localToGlobal", {Value("q")}));
  script.Append(TraceOf(Value("q.x")));
  const QStringList expected{"10", "30", "0",  "10",        "120", "160", "50", "70", "0",
                             "20", "0",  "10", "undefined", "122", "54",  "1",  "2",  "5"};
  EXPECT_EQ(Traces(Nested(), script).join(u'|').toStdString(), expected.join(u'|').toStdString());
}

TEST(ClipGeometry, HitTestsTakeRootCoordinatesAndTheShapeFlagLooksAtFillsAndLines) {
  Asm script = Triangle();
  // A 10 px wide line from (200, 150) to (300, 150).
  script.Append(EmptyClip("line", 21))
      .Append(Do("line", "lineStyle", {Number(10), Number(0)}))
      .Append(Do("line", "moveTo", {Number(200), Number(150)}))
      .Append(Do("line", "lineTo", {Number(300), Number(150)}));
  script.Append(TraceOf(Call("tri", "hitTest", {Number(80), Number(80)})));
  script.Append(TraceOf(Call("tri", "hitTest", {Number(80), Number(80), Asm().PushBoolean(true)})));
  script.Append(TraceOf(Call("tri", "hitTest", {Number(10), Number(10), Asm().PushBoolean(true)})));
  script.Append(
      TraceOf(Call("line", "hitTest", {Number(250), Number(153), Asm().PushBoolean(true)})));
  script.Append(
      TraceOf(Call("line", "hitTest", {Number(250), Number(170), Asm().PushBoolean(true)})));
  script.Append(TraceOf(Call("outer", "hitTest", {Text("inner")})));
  script.Append(TraceOf(Call("outer", "hitTest", {Text("line")})));
  // Moving the root moves the clips with the coordinates the point is given in.
  script.Append(SetProperty("_root", "_x", 100));
  script.Append(TraceOf(Call("outer", "hitTest", {Number(125), Number(55)})));
  script.Append(TraceOf(Call("outer", "hitTest", {Number(225), Number(55)})));
  // A clip scaled to nothing is still hit where it lies.
  script.Append(SetProperty("tri", "_xscale", 0)).Append(SetProperty("tri", "_yscale", 0));
  script.Append(TraceOf(Call("tri", "hitTest", {Number(0), Number(0)})));
  const QStringList expected{"true", "false", "true", "true",  "false",
                             "true", "false", "true", "false", "true"};
  EXPECT_EQ(Traces(Nested(), script).join(u'|').toStdString(), expected.join(u'|').toStdString());
}

TEST(ClipGeometry, NamedShapesDragsDepthsAndInitSizesAnswerAsThePlayerDoes) {
  // Shape 1 placed with a name at depth 5 of the root.
  const QByteArray tags = Nested() + Place(5, 1, 0, 0, "named");
  Asm script;
  script.Append(TraceOf(Value("_root.named")));
  script.Append(TraceOf(Value("_root.named").Op(TypeOf)));
  // A 20 x 20 px pad around the stage's origin, where the mouse was last seen.
  script.Append(EmptyClip("pad", 30))
      .Append(Do("pad", "beginFill", {Number(0)}))
      .Append(Do("pad", "moveTo", {Number(-10), Number(-10)}))
      .Append(Do("pad", "lineTo", {Number(10), Number(-10)}))
      .Append(Do("pad", "lineTo", {Number(10), Number(10)}))
      .Append(Do("pad", "lineTo", {Number(-10), Number(10)}))
      .Append(Do("pad", "endFill"));
  script.Append(TraceOf(Value("outer._droptarget")));
  script.Append(Do("outer", "startDrag", {Asm().PushBoolean(true)}));
  script.Append(TraceOf(Value("outer._x"))).Append(TraceOf(Value("outer._droptarget")));
  script.Append(Do("outer", "startDrag",
                   {Asm().PushBoolean(false), Number(30), Number(40), Number(10), Number(20)}));
  script.Append(TraceOf(Value("outer._x"))).Append(TraceOf(Value("outer._y")));
  script.Append(Do("outer", "stopDrag"));
  script.Append(TraceOf(Value("outer._xmouse")));
  script.Append(Do("_root", "createTextField",
                   {Text("field"), Number(7), Number(0), Number(0), Number(10), Number(10)}));
  script.Append(TraceOf(Call("field", "getDepth")));
  // A size in the init object scales what the attached clip's first frame placed.
  script.Append(
      Asm().Push("init").Push("_height").Push(20.0).PushInteger(1).Op(InitObject).Op(SetVariable));
  script.Append(Do("_root", "attachMovie", {Text("Box"), Text("big"), Number(9), Value("init")}));
  script.Append(TraceOf(Value("big._yscale")));
  const QStringList expected{"_level0", "movieclip", "", "0", "/pad", "10", "20", "-5", "7", "200"};
  EXPECT_EQ(Traces(tags, script).join(u'|').toStdString(), expected.join(u'|').toStdString());
}

TEST(ClipGeometry, SetMaskAnswersForClipsPathsAndNullAndShowsTheClipOnlyThroughTheMask) {
  // A red picture over the whole 200 x 100 px stage, and a blue 50 x 50 px square at 100 px.
  const QByteArray tags =
      Background(Qt::white) + RectangleShape(1, QRect(0, 0, 4000, 2000), Qt::red) +
      RectangleShape(2, QRect(0, 0, 1000, 1000), Qt::blue) + Sprite(3, Place(1, 1)) +
      Sprite(4, Place(1, 2)) + Place(1, 3, 0, 0, "picture") + Place(2, 4, 2000, 0, "hole");
  Asm script;
  script.Append(TraceOf(Call("picture", "setMask", {Text("nothing")})));
  script.Append(TraceOf(Call("picture", "setMask")));
  script.Append(TraceOf(Call("picture", "setMask", {Asm().PushNull()})));
  script.Append(TraceOf(Call("picture", "setMask", {Text("hole")})));
  QStringList lines;
  PlayerStage stage([](const QString&, const QString&) {});
  stage.SetTraceHandler([&lines](const QString& text) { lines << text; });
  stage.LoadLevel(0, ParseSwfMovie(File(tags + script.Tag(), 'F', 4000, 2000, 8)), "clip");
  EXPECT_EQ(lines.join(u'|').toStdString(), "false|undefined|true|true");

  QTemporaryDir dir;
  TShockwaveFlash flash;
  flash.resize(200, 100);
  flash.SetMovie(Save(dir.filePath(QStringLiteral("mask.swf")),
                      File(tags + script.Tag(), 'F', 4000, 2000, 8)));
  flash.Play();
  QImage image(200, 100, QImage::Format_ARGB32);
  flash.render(&image);
  // The picture shows where the mask lies, and the mask itself is not drawn.
  EXPECT_EQ(image.pixelColor(120, 20), QColor(Qt::red));
  EXPECT_EQ(image.pixelColor(20, 20), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(120, 80), QColor(Qt::white));
}
