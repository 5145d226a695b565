#include "player/PlayerStage.h"
#include "player/SwfBuilder.h"
#include "player/swf/SwfError.h"
#include "player/swf/SwfParser.h"

#include <gtest/gtest.h>

using namespace SwfBuilder;

namespace {

constexpr int GetVariable = 0x1C, SetVariable = 0x1D, StringAdd = 0x21, GetProperty = 0x22,
              DefineLocal = 0x3C, NewObject = 0x40, InitObject = 0x43, Add2 = 0x47,
              GetMember = 0x4E, SetMember = 0x4F, Pop = 0x17;

struct LoadedMovie {
  std::vector<std::pair<QString, QString>> Commands;
  PlayerStage Stage{[this](const QString& command, const QString& args) {
    Commands.emplace_back(command, args);
  }};

  explicit LoadedMovie(const QByteArray& tags, int level = 0) {
    Stage.LoadLevel(level, ParseSwfMovie(File(tags)), QStringLiteral("clip"));
  }
  QString Get(const QString& name) const { return Stage.GetVariable(name); }
};

// name = value, with value left on the stack by the given actions.
Actions& Set(Actions& actions, const QString& name, const std::function<void(Actions&)>& value) {
  actions.Push(name);
  value(actions);
  return actions.Op(SetVariable);
}

} // namespace

TEST(Interpreter, PushesEveryValueType) {
  Actions actions;
  QStringList pool;
  for (int i = 0; i < 300; ++i)
    pool << QStringLiteral("c%1").arg(i);
  actions.ConstantPool(pool);
  Set(actions, "text", [](Actions& a) { a.Push(QStringLiteral("héllo")); });
  Set(actions, "double", [](Actions& a) { a.PushNumber(0.1); });
  Set(actions, "float", [](Actions& a) { a.PushFloat(1.5f); });
  Set(actions, "integer", [](Actions& a) { a.PushInteger(-7); });
  Set(actions, "boolean", [](Actions& a) { a.PushBoolean(true); });
  Set(actions, "null", [](Actions& a) { a.PushNull(); });
  Set(actions, "undefined", [](Actions& a) { a.PushUndefined(); });
  Set(actions, "register", [](Actions& a) { a.PushRegister(1); });
  Set(actions, "constant8", [](Actions& a) { a.PushConstant(7); });
  Set(actions, "constant16", [](Actions& a) { a.PushConstant(299); });
  const LoadedMovie run(actions.Tag());
  EXPECT_EQ(run.Get("text"), QStringLiteral("héllo"));
  EXPECT_EQ(run.Get("double"), "0.1");
  EXPECT_EQ(run.Get("float"), "1.5");
  EXPECT_EQ(run.Get("integer"), "-7");
  EXPECT_EQ(run.Get("boolean"), "true");
  EXPECT_EQ(run.Get("null"), "null");
  EXPECT_EQ(run.Get("undefined"), "");
  EXPECT_EQ(run.Get("register"), "");
  EXPECT_EQ(run.Get("constant8"), "c7");
  EXPECT_EQ(run.Get("constant16"), "c299");
}

TEST(Interpreter, ComputesTextAndNumbers) {
  Actions actions;
  Set(actions, "joined", [](Actions& a) { a.Push("ab").Push("cd").Op(StringAdd); });
  Set(actions, "sum", [](Actions& a) { a.PushNumber(2.25).PushInteger(3).Op(Add2); });
  Set(actions, "mixed", [](Actions& a) { a.Push("2").PushInteger(3).Op(Add2); });
  Set(actions, "copy", [](Actions& a) { a.Push("sum").Op(GetVariable); });
  Set(actions, "small", [](Actions& a) { a.PushNumber(0.0001); });
  Set(actions, "huge", [](Actions& a) { a.PushNumber(1e21); });
  Set(actions, "inexact", [](Actions& a) { a.PushNumber(0.1).PushNumber(0.2).Op(Add2); });
  Set(actions, "textPlusNumber", [](Actions& a) { a.Push("x").PushInteger(1).Op(Add2); });
  Set(actions, "notANumber", [](Actions& a) { a.PushUndefined().PushInteger(1).Op(Add2); });
  actions.Push("ignored").Op(Pop).Op(Pop); // popping an empty stack is harmless
  const LoadedMovie run(actions.Tag());
  EXPECT_EQ(run.Get("joined"), "abcd");
  EXPECT_EQ(run.Get("sum"), "5.25");
  EXPECT_EQ(run.Get("mixed"), "23");
  EXPECT_EQ(run.Get("copy"), "5.25");
  EXPECT_EQ(run.Get("small"), "0.0001");
  EXPECT_EQ(run.Get("huge"), "1e+21");
  EXPECT_EQ(run.Get("inexact"), "0.3"); // 15 significant digits
  EXPECT_EQ(run.Get("textPlusNumber"), "x1");
  EXPECT_EQ(run.Get("notANumber"), "NaN");
}

TEST(Interpreter, BuildsObjectsAndReachesTheirMembers) {
  Actions actions;
  // o = new Object(); o.key = "v"; p = {a: 1, b: "x"}; local = "here";
  actions.Push("o").PushInteger(0).Push("Object").Op(NewObject).Op(SetVariable);
  actions.Push("o").Op(GetVariable).Push("key").Push("v").Op(SetMember);
  actions.Push("p").Push("a").PushInteger(1).Push("b").Push("x").PushInteger(2).Op(InitObject);
  actions.Op(SetVariable);
  actions.Push("local").Push("here").Op(DefineLocal);
  Set(actions, "viaMember",
      [](Actions& a) { a.Push("p").Op(GetVariable).Push("b").Op(GetMember); });
  Set(actions, "dotted", [](Actions& a) { a.Push("o.key").Op(GetVariable); });
  actions.Push("o.second").Push("2nd").Op(SetVariable);
  // A count larger than the stack makes nothing and leaves the stack as it was.
  actions.Push("few").Push("k").Push("v").PushInteger(50).Op(InitObject).Op(SetVariable);
  actions.Op(SetVariable);
  actions.PushInteger(99).Push("Object").Op(NewObject).Op(Pop);
  Set(actions, "afterCounts", [](Actions& a) { a.Push("1"); });
  const LoadedMovie run(actions.Tag());
  EXPECT_EQ(run.Get("o.key"), "v");
  EXPECT_EQ(run.Get("o.second"), "2nd");
  EXPECT_EQ(run.Get("o"), "[object Object]");
  EXPECT_EQ(run.Get("p.a"), "1");
  EXPECT_EQ(run.Get("viaMember"), "x");
  EXPECT_EQ(run.Get("dotted"), "v");
  EXPECT_EQ(run.Get("local"), "here");
  EXPECT_EQ(run.Get("v"), "");
  EXPECT_EQ(run.Get("few"), "k");
  EXPECT_EQ(run.Get("afterCounts"), "1");
}

TEST(Interpreter, SpriteScriptsRunFirstWithTheirInstanceAsThis) {
  const QByteArray item =
      Sprite(2, RectangleShape(1, QRect(0, 0, 400, 200), Qt::red) + Place(1, 1) +
                    Actions().SetThis("prop", "a=1&b=2").AnnounceLoad().Tag());
  Actions root;
  Set(root, "copied", [](Actions& a) { a.Push("item.prop").Op(GetVariable); });
  Set(root, "width", [](Actions& a) { a.Push("item").PushInteger(8).Op(GetProperty); });
  Set(root, "ownX", [](Actions& a) { a.Push("").PushInteger(0).Op(GetProperty); });
  Set(root, "name", [](Actions& a) { a.Push("this.item._name").Op(GetVariable); });
  root.AnnounceLoad();
  const LoadedMovie run(RectangleShape(1, QRect(0, 0, 400, 200), Qt::red) + item +
                            Place(1, 2, 200, 0, "item", 2) + root.Tag(),
                        101);
  EXPECT_EQ(run.Get("_level101.copied"), "a=1&b=2");
  EXPECT_EQ(run.Get("_level101.width"), "40");
  EXPECT_EQ(run.Get("_level101.ownX"), "0");
  EXPECT_EQ(run.Get("_level101.name"), "item");
  const std::vector<std::pair<QString, QString>> expected{{"load", "_level101/item"},
                                                          {"load", "_level101"}};
  EXPECT_EQ(run.Commands, expected);
}

TEST(Interpreter, FSCommandUrlsReachTheHost) {
  Actions actions;
  actions.GetUrl("FSCommand:literal", "args");
  actions.GetUrl("http://example.invalid/", "_blank");
  actions.Push("FSCommand:")
      .Push("computed")
      .Op(StringAdd)
      .Push("target")
      .Raw(QByteArray::fromHex("9a010000"));
  const LoadedMovie run(actions.Tag());
  const std::vector<std::pair<QString, QString>> expected{{"literal", "args"},
                                                          {"computed", "target"}};
  EXPECT_EQ(run.Commands, expected);
}

TEST(Interpreter, ScriptsSkipUnknownActionsAndStopQuietlyAtLimits) {
  Actions unsupported;
  Set(unsupported, "before", [](Actions& a) { a.Push("1"); });
  unsupported.Op(0x02);                                 // unknown, without a payload
  unsupported.Raw(QByteArray::fromHex("c0030001020e")); // unknown, with three bytes
  Set(unsupported, "after", [](Actions& a) { a.Push("1"); });

  Actions otherClass;
  otherClass.Push("d").PushInteger(0).Push("Date").Op(NewObject).Op(SetVariable);
  Set(otherClass, "afterDate", [](Actions& a) { a.Push("1"); });

  Actions deepStack;
  for (int i = 0; i < 10'001; ++i)
    deepStack.PushNull();
  Set(deepStack, "afterStack", [](Actions& a) { a.Push("1"); });

  // Doubling a text until it passes the length limit.
  Actions doubling;
  doubling.Push("t").Push(QString(1024, u'x')).Op(SetVariable);
  for (int i = 0; i < 12; ++i)
    Set(doubling, "t",
        [](Actions& a) { a.Push("t").Op(GetVariable).Push("t").Op(GetVariable).Op(StringAdd); });
  Set(doubling, "afterText", [](Actions& a) { a.Push("1"); });

  const LoadedMovie run(unsupported.Tag() + otherClass.Tag() + deepStack.Tag() + doubling.Tag());
  EXPECT_EQ(run.Get("before"), "1");
  EXPECT_EQ(run.Get("after"), "1");
  EXPECT_EQ(run.Get("afterDate"), "1"); // a class the player lacks gives a plain object
  EXPECT_EQ(run.Get("afterStack"), "");
  EXPECT_EQ(run.Get("afterText"), "");
  EXPECT_EQ(run.Get("t").size(), 1024 * 1024);
}

TEST(Interpreter, ClipsPlacingThemselvesEndInAnError) {
  const QByteArray tags = Sprite(2, Place(1, 2, 0, 0, "self")) + Place(1, 2, 0, 0, "loop");
  PlayerStage stage(nullptr);
  EXPECT_THROW(stage.LoadLevel(5, ParseSwfMovie(File(tags)), "loop"), SwfError);
  EXPECT_EQ(stage.LevelRoot(5), nullptr);
}
