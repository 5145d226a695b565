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

TEST_F(TimelineTest, ATimelineThatDoesNotEndInShowFrameAndEndPlaysToItsLastFrameAndStays) {
  // "tail": a script after the last ShowFrame is a frame of its own; "open": a sprite whose
  // tags stop without End; "loop": a whole sprite, which loops.
  const QByteArray tail =
      SpriteOfFrames(2, 1, TraceTag("tail 1") + ShowFrame() + TraceTag("tail 2"));
  const QByteArray open =
      Tag(39, Writer()
                  .U16(3)
                  .U16(2)
                  .Bytes(TraceTag("open 1") + ShowFrame() + TraceTag("open 2") + ShowFrame())
                  .Data());
  const QByteArray loop =
      SpriteOfFrames(4, 2, TraceTag("loop 1") + ShowFrame() + TraceTag("loop 2") + ShowFrame());
  Open(Movie(tail + open + loop + Place(1, 2, 0, 0, "tail") + Place(2, 3, 0, 0, "open") +
                 Place(3, 4, 0, 0, "loop") + ShowFrame(),
             1));
  TakeTraces();
  Frames(3);
  EXPECT_EQ(TakeTraces(), (QStringList{"loop 2", "open 2", "tail 2", "loop 1", "loop 2"}));
  EXPECT_EQ(FFlash.TGetProperty("_level0.tail", 4), "2");
  EXPECT_EQ(FFlash.TGetProperty("_level0.open", 4), "2");
}

TEST_F(TimelineTest, GotoMethodsGoToTheLastFrameForANumberPastTheEndAndReadObjectsAsLabels) {
  // A clip of three frames, labelled "middle" on frame 2, that stops on frame 1.
  const QByteArray clip = SpriteOfFrames(
      2, 3, Actions().Op(Stop).Tag() + ShowFrame() + Label("middle") + ShowFrame() + ShowFrame());
  const auto gotoAndStop = [](const Asm& frame) {
    return Asm(frame)
        .PushInteger(1)
        .Push("clip")
        .Op(GetVariable)
        .Push("gotoAndStop")
        .Op(CallMethod)
        .Op(Pop);
  };
  const auto traceFrame =
      Asm().Push("clip").Op(GetVariable).Push("_currentframe").Op(GetMember).Op(Trace);
  const Asm label = Asm()
                        .Push("toString")
                        .DefineFunction("", {}, Asm().Push("middle").Op(0x3E))
                        .PushInteger(1)
                        .Op(0x43);
  Open(Movie(clip + Place(1, 2, 0, 0, "clip") +
                 Asm()
                     .Append(gotoAndStop(Asm().Push(999.0)))
                     .Append(traceFrame)
                     .Append(gotoAndStop(Asm().Push(0.0)))
                     .Append(traceFrame)
                     .Append(gotoAndStop(Asm().Push(4294967297.0)))
                     .Append(traceFrame)
                     .Append(gotoAndStop(label))
                     .Append(traceFrame)
                     .Tag() +
                 ShowFrame(),
             1));
  // 4294967297 wraps to frame 1; a frame before the first goes nowhere.
  EXPECT_EQ(TakeTraces(), (QStringList{"3", "3", "1", "2"}));
}

TEST_F(TimelineTest, CallRunsAnotherFramesScriptsAtOnceWithoutGoingThere) {
  const Asm call = Asm().Record(0x9E, {});
  const QByteArray clip =
      SpriteOfFrames(2, 2,
                     Actions().Op(Stop).Tag() + ShowFrame() + Label("shown") +
                         Asm().Push("this").Op(GetVariable).Op(Trace).Tag() + ShowFrame());
  // Frame 2 calls itself: the nesting ends at the call depth and the script goes on.
  Open(Movie(clip + Place(1, 2, 0, 0, "clip") +
                 Asm()
                     .Op(Stop)
                     .PushInteger(3)
                     .Append(call)
                     .Push("/clip:shown")
                     .Append(call)
                     .PushInteger(2)
                     .Append(call)
                     .Push("after")
                     .Op(Trace)
                     .Tag() +
                 ShowFrame() + Asm().PushInteger(2).Append(call).Tag() + ShowFrame() +
                 TraceTag("frame 3") + ShowFrame(),
             3));
  EXPECT_EQ(TakeTraces(), (QStringList{"frame 3", "_level0.clip", "after"}));
  EXPECT_EQ(FFlash.TGetProperty("_root", 4), "1");
  EXPECT_EQ(FFlash.TGetProperty("_level0.clip", 4), "1");
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

TEST_F(TimelineTest, TheTimelineNoLongerMovesAClipAScriptHasPlacedOrColoured) {
  // Frame 2 moves the clips at depths 1 to 3 to x = 100; frame 1's script sets one's _x and
  // colours another through Color.
  const auto moveTo100 = [](int depth) {
    Writer writer;
    writer.U8(0x05).U16(depth).Bits(0, 1).Bits(0, 1).Bits(13, 5).SignedBits(2000, 13);
    writer.SignedBits(0, 13).Align();
    return Tag(26, writer.Data());
  };
  const QByteArray clip = SpriteOfFrames(2, 1, ShowFrame());
  const Asm script = Asm()
                         .Push("placed._x")
                         .PushInteger(5)
                         .Op(0x1D)
                         .PushInteger(0xFF0000)
                         .PushInteger(1)
                         .Push("coloured")
                         .Op(GetVariable)
                         .PushInteger(1)
                         .Push("Color")
                         .Op(0x40)
                         .Push("setRGB")
                         .Op(CallMethod)
                         .Op(Pop);
  Open(Movie(clip + Place(1, 2, 0, 0, "placed") + Place(2, 2, 0, 0, "coloured") +
                 Place(3, 2, 0, 0, "free") + script.Tag() + ShowFrame() + moveTo100(1) +
                 moveTo100(2) + moveTo100(3) + Actions().Op(Stop).Tag() + ShowFrame(),
             2));
  Frames(1);
  EXPECT_EQ(FFlash.TGetProperty("_level0.placed", 0), "5");
  EXPECT_EQ(FFlash.TGetProperty("_level0.coloured", 0), "0");
  EXPECT_EQ(FFlash.TGetProperty("_level0.free", 0), "100");
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

  // The timer functions are values: scripts test for them and call them by another name.
  const Asm values = Asm()
                         .Push("setInterval")
                         .Op(GetVariable)
                         .Op(0x44) // typeof
                         .Op(0x26) // trace
                         .Push("clearTimeout")
                         .Op(GetVariable)
                         .Op(0x44)
                         .Op(0x26)
                         .Push("later")
                         .Push("setTimeout")
                         .Op(GetVariable)
                         .Op(0x1D)
                         .PushInteger(50)
                         .DefineFunction("", {}, once)
                         .PushInteger(2)
                         .Push("later")
                         .Op(0x3D)
                         .Op(Pop)
                         .Op(Stop);
  Open(Movie(values.Tag() + ShowFrame(), 1));
  Frames(1);
  EXPECT_EQ(TakeTraces(), (QStringList{"function", "function", "once"}));
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

TEST_F(TimelineTest, AMovieClipLoaderTellsItsHandlersHowEachLoadGoes) {
  constexpr int NewObject = 0x40, SetMember = 0x4F;
  Save(FDir.filePath("child.swf"),
       Movie(Asm().Push("child sees ").Push("mark").Op(GetVariable).Op(Add2).Op(Trace).Tag() +
                 ShowFrame(),
             1));
  const auto handler = [](const QString& event, const Asm& body) {
    return Asm()
        .Push("loader")
        .Op(GetVariable)
        .Push(event)
        .DefineFunction("", {"target", "error"}, body)
        .Op(SetMember);
  };
  const auto loadClip = [](const QString& url) {
    return Asm()
        .Push("holder")
        .Op(GetVariable)
        .Push(url)
        .PushInteger(2)
        .Push("loader")
        .Op(GetVariable)
        .Push("loadClip")
        .Op(CallMethod)
        .Op(Pop);
  };
  const Asm target = Asm().Push("target").Op(GetVariable);
  const Asm script =
      Asm()
          .Set("loader", Asm().PushInteger(0).Push("MovieClipLoader").Op(NewObject))
          .PushInteger(1)
          .Push("holder")
          .PushInteger(2)
          .Push("_root")
          .Op(GetVariable)
          .Push("createEmptyMovieClip")
          .Op(CallMethod)
          .Op(Pop)
          .Append(handler("onLoadStart", Asm(target)
                                             .Push("mark")
                                             .Push("set by onLoadStart")
                                             .Op(SetMember)
                                             .Push("start")
                                             .Op(Trace)))
          .Append(handler("onLoadComplete", TraceAsm("complete")))
          .Append(handler(
              "onLoadInit",
              Asm().Push("init ").Append(target).Push("mark").Op(GetMember).Op(Add2).Op(Trace)))
          .Append(handler("onLoadError",
                          Asm().Push("error ").Push("error").Op(GetVariable).Op(Add2).Op(Trace)))
          .SetText("holder.mark", "set before the load")
          .Append(loadClip("missing.swf"))
          .Append(loadClip("child.swf"));
  Open(Movie(script.Tag() + ShowFrame(), 1));
  // A missing file is reported at once; the holder keeps what it had.
  EXPECT_EQ(TakeTraces(), QStringList{"error URLNotFound"});
  EXPECT_EQ(FFlash.GetVariable("_root.holder.mark"), "set before the load");
  Frames(1);
  // The holder is emptied as the movie starts to arrive; what the handlers set stays for the
  // movie, whose first frame runs before onLoadInit.
  EXPECT_EQ(TakeTraces(), (QStringList{"start", "complete", "child sees set by onLoadStart",
                                       "init set by onLoadStart"}));
}

TEST_F(TimelineTest, AClipShowsThePictureOrMovieLoadedIntoIt) {
  QImage photo(30, 20, QImage::Format_RGB32);
  photo.fill(Qt::blue);
  // The picture is read by its content, whatever its name says.
  ASSERT_TRUE(photo.save(FDir.filePath("photo.gif"), "PNG"));
  Save(FDir.filePath("child.swf"), Movie(TraceTag("child arrived") + ShowFrame(), 1));
  const auto loadMovie = [](const QString& clip, const QString& url) {
    return Asm()
        .Push(url)
        .PushInteger(1)
        .Push(clip)
        .Op(GetVariable)
        .Push("loadMovie")
        .Op(CallMethod)
        .Op(Pop);
  };
  const auto createClip = [](const QString& name, int depth) {
    return Asm()
        .PushInteger(depth)
        .Push(name)
        .PushInteger(2)
        .Push("_root")
        .Op(GetVariable)
        .Push("createEmptyMovieClip")
        .Op(CallMethod)
        .Op(Pop);
  };
  Open(Movie(Asm().Append(createClip("photo", 1))
                     .Append(createClip("movie", 2))
                     .Append(loadMovie("photo", "photo.gif"))
                     .Append(loadMovie("movie", "child.swf"))
                     .Tag() +
                 ShowFrame(),
             1));
  Frames(1);
  EXPECT_EQ(FFlash.TGetProperty("_level0.photo", 8), "30");
  EXPECT_EQ(FFlash.TGetProperty("_level0.photo", 9), "20");
  EXPECT_EQ(TakeTraces(), QStringList{"child arrived"});
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

namespace {

// PlaceObject2 of a named character at depth with a ratio, at the origin.
QByteArray PlaceWithRatio(int depth, int character, int ratio, const QString& name) {
  return Tag(26, Writer()
                     .U8(0x02 | 0x04 | 0x10 | 0x20)
                     .U16(depth)
                     .U16(character)
                     .U8(0)
                     .U16(ratio)
                     .Text(name)
                     .Data());
}

// PlaceObject2 moving what lies at depth to x twips.
QByteArray MoveTo(int depth, int x) {
  Writer writer;
  writer.U8(0x05).U16(depth).Bits(0, 1).Bits(0, 1).Bits(15, 5).SignedBits(x, 15);
  writer.SignedBits(0, 15).Align();
  return Tag(26, writer.Data());
}

QByteArray RemoveDepth(int depth) {
  return Tag(28, Writer().U16(depth).Data());
}

// target.method(argument) for a pushed argument, its result dropped.
Asm CallOn(const QString& target, const QString& method, const Asm& argument) {
  return Asm(argument)
      .PushInteger(1)
      .Push(target)
      .Op(GetVariable)
      .Push(method)
      .Op(CallMethod)
      .Op(Pop);
}

constexpr int SetVariable = 0x1D, SetMember = 0x4F;

} // namespace

TEST_F(TimelineTest, GoingBackKeepsTheInstancesThePlayerKeeps) {
  const QByteArray empty = SpriteOfFrames(2, 1, ShowFrame());
  const Asm back = Asm().Record(0x81, QByteArray(2, '\0')); // gotoAndStop(1)

  // Frame 2 brings "c", swaps "b" in front of "a" and "c" to another depth of the timeline's,
  // and makes two clips: "made" at a timeline depth, "dynamic" at a script's.
  const Asm swaps =
      Asm()
          .Append(CallOn("b", "swapDepths", Asm().Push("a").Op(GetVariable)))
          .Append(CallOn("c", "swapDepths", Asm().PushInteger(-16370)))
          .Set("a.mark", Asm().Push("A"))
          .Set("b.mark", Asm().Push("B"))
          .Append(
              Asm().PushInteger(-16380).Push("made").PushInteger(2).Push("_root").Op(GetVariable))
          .Push("createEmptyMovieClip")
          .Op(CallMethod)
          .Op(Pop)
          .Append(Asm().PushInteger(5).Push("dynamic").PushInteger(2).Push("_root").Op(GetVariable))
          .Push("createEmptyMovieClip")
          .Op(CallMethod)
          .Op(Pop);
  Open(Movie(empty + Place(1, 2, 0, 0, "a") + Place(2, 2, 0, 0, "b") + ShowFrame() +
                 Place(3, 2, 0, 0, "c") + swaps.Tag() + ShowFrame() + back.Tag() + ShowFrame(),
             3));
  Frames(2);
  EXPECT_EQ(FFlash.TGetProperty("_root", 4), "1");
  // The swapped clips stay where frame 1 places anything, as they were; what lies where it
  // places nothing goes, and so does a script's clip at a timeline depth.
  EXPECT_EQ(FFlash.GetVariable("_root.a.mark"), "A");
  EXPECT_EQ(FFlash.GetVariable("_root.b.mark"), "B");
  EXPECT_EQ(FFlash.GetVariable("_root.c._name"), "");
  EXPECT_EQ(FFlash.GetVariable("_root.made._name"), "");
  EXPECT_EQ(FFlash.GetVariable("_root.dynamic._name"), "dynamic");

  // Looping back: a clip that frame 2 moved takes frame 1's place again; frame 2's new
  // placement of the same character stands for frame 1's, unless its ratio differs.
  const Asm marks =
      Asm().Set("same.mark", Asm().Push("kept")).Set("other.mark", Asm().Push("kept"));
  Open(Movie(empty + Place(1, 2, 0, 0, "k") + Place(2, 2, 0, 0, "same") +
                 Place(3, 2, 0, 0, "other") + ShowFrame() + MoveTo(1, 2000) + RemoveDepth(2) +
                 RemoveDepth(3) + Place(2, 2, 0, 0, "same") + PlaceWithRatio(3, 2, 7, "other") +
                 marks.Tag() + ShowFrame(),
             2));
  Frames(1);
  EXPECT_EQ(FFlash.TGetProperty("_level0.k", 0), "100");
  Frames(1);
  EXPECT_EQ(FFlash.TGetProperty("_root", 4), "1");
  EXPECT_EQ(FFlash.TGetProperty("_level0.k", 0), "0");
  EXPECT_EQ(FFlash.GetVariable("_root.same.mark"), "kept");
  EXPECT_EQ(FFlash.GetVariable("_root.other.mark"), "");
}

TEST_F(TimelineTest, AClipIsStillThereByNameWhileItsUnloadHandlerRuns) {
  const QByteArray empty = SpriteOfFrames(2, 1, ShowFrame());
  const Asm handler = Asm()
                          .Push("_root.seen")
                          .Push("_root.mc")
                          .Op(GetVariable)
                          .Push("_name")
                          .Op(GetMember)
                          .Push("this")
                          .Op(GetVariable)
                          .Push("_name")
                          .Op(GetMember)
                          .Op(Add2)
                          .Op(SetVariable);
  const Asm setHandler = Asm()
                             .Push("mc")
                             .Op(GetVariable)
                             .Push("onUnload")
                             .DefineFunction("", {}, handler)
                             .Op(SetMember);
  Open(Movie(empty + Place(1, 2, 0, 0, "mc") + setHandler.Tag() + ShowFrame() + RemoveDepth(1) +
                 Actions().Op(Stop).Tag() + ShowFrame(),
             2));
  Frames(1);
  EXPECT_EQ(FFlash.GetVariable("_root.seen"), "mcmc");
  // Once its handlers ran, it is gone.
  EXPECT_EQ(FFlash.GetVariable("_root.mc._name"), "");
}

TEST_F(TimelineTest, ASceneOffsetsItsLabelsAndAFramePastTheEndRunsNoScript) {
  // gotoAndStop("Scene 2", "start") with scene 2 two frames on: the label's frame plus two.
  const auto gotoFrame2 = [](int flags, int bias) {
    return Asm().Record(0x9F, Writer().U8(flags).U16(bias).Data().left(flags & 2 ? 3 : 1));
  };
  Open(Movie(Asm().Push("start").Append(gotoFrame2(2, 2)).Tag() + ShowFrame() + Label("start") +
                 TraceTag("two") + ShowFrame() + TraceTag("three") + ShowFrame() +
                 Asm(TraceAsm("four")).PushInteger(99).Append(gotoFrame2(0, 0)).Tag() +
                 ShowFrame() + TraceTag("five") + ShowFrame(),
             5));
  EXPECT_EQ(TakeTraces(), QStringList{"four"});
  EXPECT_EQ(FFlash.TGetProperty("_root", 4), "5");
}

TEST_F(TimelineTest, WaitForFrameTakesFramesPastTheEndAsLoadedUpToTheMostAMovieHas) {
  const auto waitFor = [](const Asm& frame, const QString& text) {
    return Asm(frame).Record(0x8D, QByteArray(1, '\x02')).Push(text).Op(Trace);
  };
  Open(Movie(Asm().Append(waitFor(Asm().PushInteger(6), "six"))
                     .Append(waitFor(Asm().PushInteger(16001), "16001"))
                     .Append(waitFor(Asm().PushInteger(16002), "16002"))
                     .Append(waitFor(Asm().Push(16002.5), "not a frame"))
                     .Tag() +
                 ShowFrame(),
             1));
  EXPECT_EQ(TakeTraces(), (QStringList{"six", "16001", "not a frame"}));
}

TEST_F(TimelineTest, AMoviesImportsRunTheirInitScriptsAfterItsOwnBeforeThem) {
  const QByteArray assets = Sprite(1, {}) + Asm(TraceAsm("assets init")).InitTag(1) + ShowFrame();
  Save(FDir.filePath("assets.swf"), File(assets));
  const QByteArray importAll = Tag(71, Writer().Text("assets.swf").U16(1).U16(0).Data());
  Open(File(Sprite(1, {}) + Asm(TraceAsm("own init")).InitTag(1) + importAll + TraceTag("frame 1") +
            ShowFrame()));
  EXPECT_EQ(TakeTraces(), (QStringList{"own init", "assets init", "frame 1"}));
}

TEST_F(TimelineTest, AFunctionsPreloadedRootIsTheClipThatLocksIt) {
  // In the clip "holder": this._lockroot = true; function f() { _level0.found = _root._name }
  // with _root preloaded into register 1; f().
  const Asm body =
      Asm().Push("_level0.found").PushRegister(1).Push("_name").Op(GetMember).Op(SetVariable);
  const Asm script = Asm()
                         .Push("this")
                         .Op(GetVariable)
                         .Push("_lockroot")
                         .PushBoolean(true)
                         .Op(SetMember)
                         .DefineFunction2("f", 2, swfgen::FunctionFlag::PreloadRoot, {}, body)
                         .CallFunction("f", 0)
                         .Op(Pop);
  const QByteArray holder = SpriteOfFrames(2, 1, script.Tag() + ShowFrame());
  Open(Movie(holder + Place(1, 2, 0, 0, "holder") + ShowFrame(), 1));
  EXPECT_EQ(FFlash.GetVariable("_level0.found"), "holder");
}

TEST_F(TimelineTest, AMovieLoadedOverALevelKeepsWhatTheLoadersHandlersSetOnItsRoot) {
  constexpr int NewObject = 0x40, InitObject = 0x43, TypeOf = 0x44;
  Save(FDir.filePath("child.swf"),
       File(Actions().Push("_root.greeting").Op(GetVariable).Op(Trace).Tag() +
            Actions().Push("_root.old").Op(GetVariable).Op(TypeOf).Op(Trace).Tag() + ShowFrame()));
  const Asm onLoadStart =
      Asm().Push("target").Op(GetVariable).Push("greeting").Push("hi").Op(SetMember);
  const Asm script =
      Asm()
          .Set("mcl", Asm().PushInteger(0).Push("MovieClipLoader").Op(NewObject))
          .Set("listener", Asm().PushInteger(0).Op(InitObject))
          .Push("listener")
          .Op(GetVariable)
          .Push("onLoadStart")
          .DefineFunction("", {"target"}, onLoadStart)
          .Op(SetMember)
          .Append(CallOn("mcl", "addListener", Asm().Push("listener").Op(GetVariable)))
          .Set("old", Asm().Push("stale"))
          .Push("_level0")
          .Push("child.swf")
          .PushInteger(2)
          .Push("mcl")
          .Op(GetVariable)
          .Push("loadClip")
          .Op(CallMethod)
          .Op(Pop)
          .Op(Stop);
  Open(Movie(script.Tag() + ShowFrame(), 1));
  Frames(1);
  // The old movie's own variables are gone.
  EXPECT_EQ(TakeTraces(), (QStringList{"hi", "undefined"}));
}

TEST_F(TimelineTest, AnAttachedClipsInitObjectSizesWhatItsFirstFrameShows) {
  // attachMovie("box", "b", 1, {_width: 40}) of a sprite showing a 20 pixel square.
  constexpr int InitObject = 0x43;
  const QByteArray box = RectangleShape(1, QRect(0, 0, 400, 400), Qt::red) +
                         SpriteOfFrames(2, 1, Place(1, 1) + ShowFrame()) +
                         Tag(56, Writer().U16(1).U16(2).Text("box").Data());
  const Asm attach = Asm()
                         .Push("_width")
                         .PushInteger(40)
                         .PushInteger(1)
                         .Op(InitObject)
                         .PushInteger(1)
                         .Push("b")
                         .Push("box")
                         .PushInteger(4)
                         .Push("_root")
                         .Op(GetVariable)
                         .Push("attachMovie")
                         .Op(CallMethod)
                         .Op(Pop);
  Open(Movie(box + attach.Tag() + ShowFrame(), 1));
  EXPECT_EQ(FFlash.TGetProperty("_level0.b", 8), "40");
  EXPECT_EQ(FFlash.TGetProperty("_level0.b", 9), "20");
}
