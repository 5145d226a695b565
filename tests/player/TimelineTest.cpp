// Clips played over time through the control: frames, goto, clip events and timers, as a clip
// author relies on them.

#include "player/ActionAssembler.h"
#include "player/ShockwaveFlash.h"
#include "player/SwfBuilder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace SwfBuilder;
using Asm = ActionAssembler;

namespace {

constexpr int Stop = 0x07, Trace = 0x26, GetVariable = 0x1C, GetMember = 0x4E, CallMethod = 0x52,
              Pop = 0x17, Add2 = 0x47, GetTime = 0x34;

// Event bits of an onClipEvent handler list (SWF 6 and later).
constexpr quint32 LoadEvent = 0x1, EnterFrameEvent = 0x2, UnloadEvent = 0x4;

QByteArray TraceTag(const QString& text) {
  return Actions().Push(text).Op(Trace).Tag();
}

// A whole movie of the given number of frames (the tags hold their ShowFrames).
QByteArray Movie(const QByteArray& tags, int frames) {
  QByteArray file = File(tags);
  // The frame count follows the frame rectangle and the rate.
  const int rectBits = 5 + 4 * (quint8(file[8]) >> 3);
  const int countAt = 8 + (rectBits + 7) / 8 + 2;
  file[countAt] = char(frames & 0xFF);
  file[countAt + 1] = char(frames >> 8);
  return file;
}

QByteArray SpriteOfFrames(int id, int frames, const QByteArray& tags) {
  return Tag(39, Writer().U16(id).U16(frames).Bytes(tags).Bytes(Tag(0, {})).Data());
}

QByteArray Label(const QString& name) {
  return Tag(43, Writer().Text(name).Data());
}

// PlaceObject2 of a named sprite with onClipEvent handlers: each pairs its events with actions.
QByteArray PlaceWithHandlers(int depth, int character, const QString& name,
                             const std::vector<std::pair<quint32, Asm>>& handlers) {
  Writer writer;
  writer.U8(0x80 | 0x20 | 0x02).U16(depth).U16(character).Text(name);
  quint32 all = 0;
  for (const auto& [events, actions] : handlers)
    all |= events;
  writer.U16(0).U32(all);
  for (const auto& [events, actions] : handlers) {
    const QByteArray code = actions.Bytes() + QByteArray(1, '\0');
    writer.U32(events).U32(quint32(code.size())).Bytes(code);
  }
  writer.U32(0);
  return Tag(26, writer.Data(), true);
}

// trace(text) as assembled actions.
Asm TraceAsm(const QString& text) {
  return Asm().Push(text).Op(Trace);
}

class TimelineTest : public testing::Test {
protected:
  TimelineTest() {
    FFlash.UseVirtualClock();
    QObject::connect(&FFlash, &TShockwaveFlash::Trace,
                     [this](const QString& text) { FTraces << text; });
  }
  void Open(const QByteArray& bytes) {
    FFlash.SetMovie(Save(FDir.filePath(QStringLiteral("movie%1.swf").arg(++FFiles)), bytes));
    FFlash.Play();
    ASSERT_TRUE(FFlash.HasLevel(0)) << FFlash.LoadError(0).toStdString();
  }
  void Frames(int count) {
    for (int i = 0; i < count; ++i)
      FFlash.AdvanceFrame();
  }
  QStringList TakeTraces() { return std::exchange(FTraces, {}); }

  QTemporaryDir FDir;
  TShockwaveFlash FFlash;
  QStringList FTraces;
  int FFiles = 0;
};

} // namespace

TEST_F(TimelineTest, TimelinesPlayEveryFrameAndLoopUnlessStopped) {
  Open(Movie(TraceTag("one") + ShowFrame() + TraceTag("two") + ShowFrame() + TraceTag("three") +
                 ShowFrame(),
             3));
  EXPECT_EQ(TakeTraces(), QStringList{"one"});
  EXPECT_EQ(FFlash.TGetProperty("_root", 4), "1");
  EXPECT_EQ(FFlash.TGetProperty("_root", 5), "3");
  Frames(4);
  EXPECT_EQ(TakeTraces(), (QStringList{"two", "three", "one", "two"}));
  EXPECT_EQ(FFlash.TGetProperty("_root", 4), "2");

  // stop() on the last frame holds it there; frame 1 does not run again.
  Open(Movie(
      TraceTag("one") + ShowFrame() + Actions().Op(Stop).Tag() + TraceTag("two") + ShowFrame(), 2));
  Frames(3);
  EXPECT_EQ(TakeTraces(), (QStringList{"one", "two"}));
  EXPECT_EQ(FFlash.TGetProperty("_root", 4), "2");

  // gotoAndStop(99) on a timeline of two frames goes nowhere and leaves it playing.
  Open(Movie(Asm().Record(0x81, QByteArray::fromHex("6200")).Tag() + ShowFrame() +
                 TraceTag("still playing") + ShowFrame(),
             2));
  Frames(1);
  EXPECT_EQ(TakeTraces(), QStringList{"still playing"});
}

TEST_F(TimelineTest, SpritesPlayTheirOwnFramesAndShowTheirDisplayListChanges) {
  // A blinking lamp: a 40-pixel square on frame 1, swapped for a 10-pixel one on frame 2.
  const QByteArray lamp = SpriteOfFrames(
      3, 2,
      Place(1, 1) + ShowFrame() + Tag(28, Writer().U16(1).Data()) + Place(1, 2) + ShowFrame());
  Open(Movie(RectangleShape(1, QRect(0, 0, 800, 800), Qt::red) +
                 RectangleShape(2, QRect(0, 0, 200, 200), Qt::green) + lamp +
                 Place(1, 3, 0, 0, "lamp") + ShowFrame(),
             1));
  EXPECT_EQ(FFlash.TGetProperty("_level0.lamp", 8), "40");
  Frames(1);
  EXPECT_EQ(FFlash.TGetProperty("_level0.lamp", 4), "2");
  EXPECT_EQ(FFlash.TGetProperty("_level0.lamp", 8), "10");
  Frames(1);
  EXPECT_EQ(FFlash.TGetProperty("_level0.lamp", 4), "1");
  EXPECT_EQ(FFlash.TGetProperty("_level0.lamp", 8), "40");
}

TEST_F(TimelineTest, GotoByNumberAndLabelRunsOnlyTheTargetFramesScripts) {
  // A lamp whose state is a frame: "off" on frame 1, "on" on frame 3; each frame stops.
  const QByteArray lamp =
      SpriteOfFrames(3, 3,
                     Label("off") + Actions().Op(Stop).Push("lamp off").Op(Trace).Tag() +
                         ShowFrame() + TraceTag("skipped") + Place(2, 1) + ShowFrame() +
                         Label("On") + Actions().Push("lamp on").Op(Trace).Tag() + ShowFrame());
  const Asm toOn = Asm().Push("on").PushInteger(1).Push("lamp").Op(GetVariable).Push("gotoAndStop");
  Open(Movie(RectangleShape(1, QRect(0, 0, 400, 400), Qt::red) + lamp + Place(1, 3, 0, 0, "lamp") +
                 ShowFrame() + Asm(toOn).Op(CallMethod).Op(Pop).Tag() + ShowFrame() +
                 Actions().Op(Stop).Tag() + ShowFrame(),
             3));
  EXPECT_EQ(TakeTraces(), QStringList{"lamp off"});
  Frames(1);
  // Labels ignore case; the skipped frame placed its square without running its script.
  EXPECT_EQ(TakeTraces(), QStringList{"lamp on"});
  EXPECT_EQ(FFlash.TGetProperty("_level0.lamp", 4), "3");
  EXPECT_EQ(FFlash.TGetProperty("_level0.lamp", 8), "20");
  Frames(3);
  EXPECT_EQ(TakeTraces(), QStringList{});
  EXPECT_EQ(FFlash.TGetProperty("_level0.lamp", 4), "3");
}

TEST_F(TimelineTest, GoingBackKeepsInstancesOfTheTargetFrameAndRemovesLaterOnes) {
  // Frame 1 places "keeper", frame 2 places "visitor"; frame 3 goes back to frame 1.
  const QByteArray empty = SpriteOfFrames(2, 1, ShowFrame());
  const Asm back = Asm().Record(0x81, QByteArray(2, '\0')); // gotoAndStop(1)
  Open(Movie(empty + Place(1, 2, 0, 0, "keeper") +
                 Asm().Push("keeper.mark").Push("kept").Op(0x1D).Tag() + ShowFrame() +
                 Place(2, 2, 0, 0, "visitor") + ShowFrame() + back.Tag() + ShowFrame(),
             3));
  Frames(1);
  EXPECT_EQ(FFlash.GetVariable("_root.visitor._name"), "visitor");
  Frames(1);
  EXPECT_EQ(FFlash.TGetProperty("_root", 4), "1");
  EXPECT_EQ(FFlash.GetVariable("_root.keeper.mark"), "kept");
  EXPECT_EQ(FFlash.GetVariable("_root.visitor._name"), "");
}

TEST_F(TimelineTest, ClipEventsRunInTheirOrderAndEndWithTheClip) {
  const QByteArray clip = SpriteOfFrames(2, 1, TraceTag("clip frame 1") + ShowFrame());
  const Asm onEnterFrame = Asm()
                               .Push("this")
                               .Op(GetVariable)
                               .Push("onEnterFrame")
                               .DefineFunction("", {}, TraceAsm("onEnterFrame"));
  Open(
      Movie(clip +
                PlaceWithHandlers(1, 2, "gauge",
                                  {{LoadEvent, Asm(onEnterFrame).Op(0x4F).Append(TraceAsm("load"))},
                                   {EnterFrameEvent, TraceAsm("enterFrame")},
                                   {UnloadEvent, TraceAsm("unload")}}) +
                TraceTag("root 1") + ShowFrame() + TraceTag("root 2") + ShowFrame() +
                Tag(28, Writer().U16(1).Data()) + TraceTag("root 3") + ShowFrame(),
            3));
  EXPECT_EQ(TakeTraces(), (QStringList{"load", "clip frame 1", "root 1"}));
  Frames(1);
  EXPECT_EQ(TakeTraces(), (QStringList{"enterFrame", "onEnterFrame", "root 2"}));
  Frames(1);
  // The clip leaves before its enterFrame would run.
  EXPECT_EQ(TakeTraces(), (QStringList{"unload", "root 3"}));
}

TEST_F(TimelineTest, AClipAnnouncesItselfFromALaterFrame) {
  QSignalSpy commands(&FFlash, &TShockwaveFlash::FSCommand);
  // A preloader frame, then the clip sends "load" from frame 2 and stops.
  Open(Movie(ShowFrame() + Actions().AnnounceLoad().Op(Stop).Tag() + ShowFrame(), 2));
  EXPECT_EQ(commands.count(), 0);
  Frames(1);
  ASSERT_EQ(commands.count(), 1);
  EXPECT_EQ(commands[0][0].toString(), "load");
  EXPECT_EQ(commands[0][1].toString(), "/"); // the main movie's _target
  Frames(2);
  EXPECT_EQ(commands.count(), 1);
}

TEST_F(TimelineTest, IntervalsAndTimeoutsFollowTheVirtualClock) {
  // At 12 frames per second each frame moves time on by 83.3 ms: a 100 ms interval fires on
  // frames 3 to 6 (166 to 416 ms, once each), a 240 ms timeout once on frame 4.
  const Asm tick = TraceAsm("tick");
  const Asm once = TraceAsm("once");
  const Asm setup = Asm()
                        .Push("id")
                        .PushInteger(100)
                        .DefineFunction("", {}, tick)
                        .PushInteger(2)
                        .Push("setInterval")
                        .Op(0x3D)
                        .Op(0x1D)
                        .PushInteger(240)
                        .DefineFunction("", {}, once)
                        .PushInteger(2)
                        .Push("setTimeout")
                        .Op(0x3D)
                        .Op(Pop);
  Open(Movie(setup.Tag() + Actions().Op(Stop).Tag() + ShowFrame(), 1));
  Frames(5);
  EXPECT_EQ(TakeTraces(), (QStringList{"tick", "tick", "once", "tick", "tick"}));

  // clearInterval on frame 2, before the first tick is due: only the timeout fires.
  const Asm clear = Asm()
                        .Push("id")
                        .Op(GetVariable)
                        .PushInteger(1)
                        .Push("clearInterval")
                        .Op(0x3D)
                        .Op(Pop)
                        .Op(Stop);
  Open(Movie(setup.Tag() + ShowFrame() + clear.Tag() + ShowFrame(), 2));
  Frames(5);
  EXPECT_EQ(TakeTraces(), QStringList{"once"});
}

TEST_F(TimelineTest, GetTimerCountsFrameTimeAndAnEndlessFrameScriptIsCut) {
  // Frame 2 loops forever; the action cap ends it and frame 3 still plays.
  const Asm endless = Asm().Jump(-5);
  Open(Movie(ShowFrame() + endless.Tag() + ShowFrame() +
                 Asm().Push("t=").Op(GetTime).Op(Add2).Op(Trace).Op(Stop).Tag() + ShowFrame(),
             3));
  Frames(2);
  // Two frames at 12 per second.
  EXPECT_EQ(TakeTraces(), QStringList{"t=166"});
}

TEST_F(TimelineTest, OnlyAControlThatIsShownRunsItsClockAndOnlyWhileSomethingPlays) {
  QTemporaryDir dir;
  const QString blinking =
      Save(dir.filePath("blink.swf"),
           Movie(TraceTag("a") + ShowFrame() + TraceTag("b") + ShowFrame(), 2));
  const QString still = Save(dir.filePath("still.swf"), Movie(TraceTag("a") + ShowFrame(), 1));
  int traces = 0;
  TShockwaveFlash measuring;
  QObject::connect(&measuring, &TShockwaveFlash::Trace, [&traces] { ++traces; });
  measuring.SetMovie(blinking);
  measuring.Play();
  QTest::qWait(250);
  EXPECT_EQ(traces, 1);
  EXPECT_EQ(measuring.TGetProperty("_root", 4), "1");

  TShockwaveFlash stage;
  stage.resize(100, 100);
  stage.show();
  stage.SetMovie(still);
  stage.Play();
  const auto clock = stage.findChild<QTimer*>();
  ASSERT_NE(clock, nullptr);
  EXPECT_FALSE(clock->isActive());
  stage.SetMovie(blinking);
  stage.Play();
  EXPECT_TRUE(clock->isActive());
  EXPECT_TRUE(QTest::qWaitFor([&stage] { return stage.TGetProperty("_root", 4) == "2"; }, 2000));
}

TEST_F(TimelineTest, AMovieLoadedByAScriptArrivesOnTheNextFrameBesideTheLoader) {
  Save(FDir.filePath("child.swf"), Movie(TraceTag("child arrived") + ShowFrame(), 1));
  Open(
      Movie(Actions().GetUrl("child.swf", "_level5").Tag() + TraceTag("loading") + ShowFrame(), 1));
  EXPECT_EQ(TakeTraces(), QStringList{"loading"});
  EXPECT_FALSE(FFlash.HasLevel(5));
  Frames(1);
  EXPECT_EQ(TakeTraces(), QStringList{"child arrived"});
  EXPECT_EQ(FFlash.TGetProperty("_level5", 11), "_level5");
}

TEST_F(TimelineTest, EndlessHandlersAreCutPerLevelAndFrameAndOtherLevelsPlayOn) {
  // Thirty clips on level 0 loop forever in every enterFrame; level 5 plays its frames.
  const QByteArray clip = SpriteOfFrames(2, 1, ShowFrame());
  QByteArray placements;
  for (int depth = 1; depth <= 30; ++depth)
    placements += PlaceWithHandlers(depth, 2, QStringLiteral("busy%1").arg(depth),
                                    {{EnterFrameEvent, Asm().Jump(-5)}});
  Open(Movie(clip + placements + ShowFrame(), 1));
  const QString other =
      Save(FDir.filePath("other.swf"),
           Movie(TraceTag("other 1") + ShowFrame() + TraceTag("other 2") + ShowFrame(), 2));
  FFlash.LoadMovie(5, other);
  QCoreApplication::processEvents();
  QElapsedTimer elapsed;
  elapsed.start();
  Frames(2);
  EXPECT_EQ(TakeTraces(), (QStringList{"other 1", "other 2", "other 1"}));
  EXPECT_LT(elapsed.elapsed(), 20000);
}
