#include "player/SwfBuilder.h"
#include "player/swf/SwfParser.h"
#include "tools/swfgen/ClipDescription.h"
#include "tools/swfgen/SwfWriter.h"

#include <gtest/gtest.h>

namespace {

// A button whose states each show a rectangle of their own, with two condition actions.
const char* const KnobDescription = "frame 200 100\n"
                                    "button knob 10 20 {\n"
                                    "  up rect 0 0 40 20 #FF0000\n"
                                    "  over rect 5 5 40 20 #00FF00 mult=1,1,1,0.5\n"
                                    "  down,hit rect 0 0 40 20 #0000FF\n"
                                    "  on press {\n"
                                    "    push \"pressed\"\n"
                                    "    trace\n"
                                    "  }\n"
                                    "  on release releaseOutside {\n"
                                    "    push \"released\"\n"
                                    "    trace\n"
                                    "  }\n"
                                    "}\n";

std::shared_ptr<const SwfMovie> Parsed(const QString& description) {
  QString error;
  const auto clip = swfgen::ClipDescription::parse(description, &error);
  if (!clip)
    ADD_FAILURE() << error.toStdString();
  return clip ? ParseSwfMovie(clip->toSwf()) : nullptr;
}

const SwfButton& OnlyButton(const SwfMovie& movie) {
  EXPECT_EQ(movie.Buttons.size(), 1u);
  return movie.Buttons.begin()->second;
}

// A tag's body after its short or long header.
QByteArray Body(const QByteArray& tag) {
  return (tag[0] & 0x3F) == 0x3F ? tag.mid(6) : tag.mid(2);
}

// The text the first Push of a script pushes.
QString PushedText(const SwfScript& script) {
  for (const SwfAction& action : script)
    if (!action.Values.empty())
      if (const auto* text = std::get_if<QString>(&action.Values.front().Value))
        return *text;
  return {};
}

} // namespace

TEST(ButtonReader, ReadsEveryStateWithItsRecordsAndTheConditionActions) {
  const auto movie = Parsed(KnobDescription);
  ASSERT_TRUE(movie);
  const SwfButton& button = OnlyButton(*movie);
  const auto& up = button.States[SwfButton::Up].Frame1;
  const auto& over = button.States[SwfButton::Over].Frame1;
  const auto& down = button.States[SwfButton::Down].Frame1;
  const auto& hit = button.States[SwfButton::Hit].Frame1;
  ASSERT_EQ(up.size(), 1u);
  ASSERT_EQ(over.size(), 1u);
  ASSERT_EQ(down.size(), 1u);
  ASSERT_EQ(hit.size(), 1u);
  EXPECT_EQ(up[0].Depth, 1);
  EXPECT_EQ(over[0].Depth, 2);
  EXPECT_EQ(down[0].Depth, 3);
  EXPECT_EQ(hit[0].CharacterId, down[0].CharacterId) << "one record shown in two states";
  EXPECT_NE(up[0].CharacterId, over[0].CharacterId);
  EXPECT_EQ(over[0].Matrix, QTransform::fromTranslate(100, 100));
  EXPECT_DOUBLE_EQ(over[0].ColorTransform.Multiply[3], 0.5);
  EXPECT_TRUE(up[0].ColorTransform.IsIdentity());
  ASSERT_TRUE(movie->Shapes.contains(up[0].CharacterId));
  EXPECT_EQ(movie->Shapes.at(up[0].CharacterId).Fills.at(0).Style.Color, QColor(Qt::red));
  // Each state's timeline places its records on its one frame.
  const auto& overItems = button.States[SwfButton::Over].Frames.at(0).Items;
  ASSERT_EQ(overItems.size(), 1u);
  EXPECT_EQ(overItems[0].CharacterId, over[0].CharacterId);
  EXPECT_DOUBLE_EQ(overItems[0].ColorTransform->Multiply[3], 0.5);

  ASSERT_EQ(button.Actions.size(), 2u);
  EXPECT_EQ(button.Actions[0].Conditions, quint32(SwfButton::OverUpToOverDown));
  EXPECT_EQ(PushedText(button.Actions[0].Script), "pressed");
  EXPECT_EQ(button.Actions[1].Conditions,
            quint32(SwfButton::OverDownToOverUp | SwfButton::OutDownToIdle));
  EXPECT_EQ(PushedText(button.Actions[1].Script), "released");

  // The root places the button as a named instance.
  ASSERT_EQ(movie->Root.Frame1.size(), 1u);
  EXPECT_EQ(movie->Root.Frame1[0].Name, "knob");
  EXPECT_TRUE(movie->Button(movie->Root.Frame1[0].CharacterId));
  EXPECT_EQ(movie->ClipTimeline(movie->Root.Frame1[0].CharacterId), &button.States[SwfButton::Up]);
}

TEST(ButtonReader, ReadsTheFirstButtonTagWithItsReleaseScriptAndColourTransform) {
  using namespace swfgen;
  swfgen::ButtonRecord face;
  face.states = ButtonState::Up | ButtonState::Over | ButtonState::Down | ButtonState::Hit;
  face.characterId = 1;
  face.depth = 4;
  face.matrix = QTransform::fromTranslate(60, 0);
  ColorTransform tint;
  tint.multiply = {0.5, 1, 1, 1};
  tint.add = {0, 10, 0, 0};
  const QByteArray release = SwfBuilder::Actions().Push("clicked").Op(0x26).Tag().mid(2);
  const QByteArray tags = SwfWriter::defineRectangleShape(1, QSize(400, 200), 0xFF808080) +
                          SwfWriter::defineButton(2, {face}, release) +
                          SwfWriter::defineButtonCxform(2, tint) +
                          SwfWriter::placeObject2(1, 2, QPoint());
  const auto movie = ParseSwfMovie(SwfBuilder::File(tags));
  const SwfButton& button = OnlyButton(*movie);
  for (const SwfTimeline& state : button.States) {
    ASSERT_EQ(state.Frame1.size(), 1u);
    EXPECT_EQ(state.Frame1[0].Depth, 4);
    EXPECT_EQ(state.Frame1[0].Matrix, QTransform::fromTranslate(60, 0));
    EXPECT_DOUBLE_EQ(state.Frame1[0].ColorTransform.Multiply[0], 0.5);
    EXPECT_DOUBLE_EQ(state.Frame1[0].ColorTransform.Add[1], 10);
    EXPECT_DOUBLE_EQ(state.Frames.at(0).Items.at(0).ColorTransform->Add[1], 10);
  }
  ASSERT_EQ(button.Actions.size(), 1u);
  EXPECT_EQ(button.Actions[0].Conditions, quint32(SwfButton::OverDownToOverUp));
  EXPECT_EQ(PushedText(button.Actions[0].Script), "clicked");
}

TEST(ButtonReader, DamagedActionsLeaveTheStatesAndTheActionsBeforeTheDamage) {
  using namespace swfgen;
  swfgen::ButtonRecord face;
  face.states = ButtonState::Up | ButtonState::Hit;
  face.characterId = 1;
  const QByteArray trace = SwfBuilder::Actions().Push("first").Op(0x26).Tag().mid(2);
  const QByteArray shape = SwfWriter::defineRectangleShape(1, QSize(400, 200), 0xFF808080);
  const auto parse = [&shape](const QByteArray& buttonTag) {
    return ParseSwfMovie(SwfBuilder::File(shape + buttonTag + SwfWriter::placeObject2(1, 2, {})));
  };

  // The last action claims more bytes than the tag holds, as one that is not last.
  QByteArray overlong = Body(SwfWriter::defineButton2(
      2, {face}, {{ButtonCondition::Press, 0, trace}, {ButtonCondition::Release, 0, trace}}));
  const qsizetype lastSize = overlong.size() - trace.size() - 4;
  overlong[lastSize] = char(0xFF);
  overlong[lastSize + 1] = 0x7F;
  const auto cut = parse(SwfBuilder::Tag(34, overlong));
  const SwfButton& kept = OnlyButton(*cut);
  EXPECT_EQ(kept.States[SwfButton::Up].Frame1.size(), 1u);
  EXPECT_EQ(kept.States[SwfButton::Hit].Frame1.size(), 1u);
  ASSERT_EQ(kept.Actions.size(), 1u) << "the action before the damage stays";
  EXPECT_EQ(PushedText(kept.Actions[0].Script), "first");

  // An action offset that points back into the records reads no actions.
  QByteArray backwards =
      Body(SwfWriter::defineButton2(2, {face}, {{ButtonCondition::Press, 0, trace}}));
  backwards[3] = 1;
  backwards[4] = 0;
  const auto pointedBack = parse(SwfBuilder::Tag(34, backwards));
  EXPECT_TRUE(OnlyButton(*pointedBack).Actions.empty());
  EXPECT_EQ(OnlyButton(*pointedBack).States[SwfButton::Up].Frame1.size(), 1u);
}
