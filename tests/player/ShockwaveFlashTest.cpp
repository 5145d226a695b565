#include "player/ShockwaveFlash.h"

#include "player/MovieCache.h"
#include "player/SwfBuilder.h"

#include <QCoreApplication>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace SwfBuilder;

namespace {

const QColor ClipBlue(0, 0, 255);

// Rendering may round a channel by one step.
testing::AssertionResult Near(const QColor& actual, const QColor& expected) {
  const int distance = std::max({std::abs(actual.red() - expected.red()),
                                 std::abs(actual.green() - expected.green()),
                                 std::abs(actual.blue() - expected.blue())});
  if (distance <= 2)
    return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << actual.name().toStdString() << " is not " << expected.name().toStdString();
}

// A 100 x 50 pixel clip with a blue rectangle in an "item" sprite whose script sets prop,
// announcing itself with fscommand("load", this._target).
QByteArray Clip(char signature = 'F') {
  const QByteArray item = Sprite(2, RectangleShape(1, QRect(0, 0, 2000, 1000), ClipBlue) +
                                        Place(1, 1) + Actions().SetThis("prop", "a=1&b=2").Tag());
  return File(RectangleShape(1, QRect(0, 0, 2000, 1000), ClipBlue) + item +
                  Place(1, 2, 0, 0, "item") + Actions().AnnounceLoad().Tag(),
              signature, 4000, 4000);
}

class ShockwaveFlashTest : public testing::Test {
protected:
  QString Write(const QString& name, const QByteArray& bytes) {
    return Save(FDir.filePath(name), bytes);
  }
  // A stage of 400 x 300 pixels whose main movie has the same size.
  void LoadMainMovie() {
    FFlash.resize(400, 300);
    FFlash.SetMovie(Write("main.swf", File(Background(Qt::white), 'F', 8000, 6000)));
    FFlash.Play();
  }
  void LoadClip(int level, const QString& path) {
    FFlash.LoadMovie(level, path);
    QCoreApplication::processEvents();
  }
  double Number(const QString& target, int property) {
    return FFlash.TGetProperty(target, property).toDouble();
  }
  QColor PixelAt(int x, int y) {
    QImage image(FFlash.size(), QImage::Format_ARGB32);
    FFlash.render(&image);
    return image.pixelColor(x, y);
  }

  QTemporaryDir FDir;
  TShockwaveFlash FFlash;
};

} // namespace

TEST_F(ShockwaveFlashTest, MeasuresAClipAtOnceAfterMovieAndPlay) {
  for (const char signature : {'F', 'C', 'Z'}) {
    SCOPED_TRACE(signature);
    TShockwaveFlash measuring;
    measuring.SetMovie(Write(QStringLiteral("clip%1.swf").arg(signature), Clip(signature)));
    measuring.Play();
    EXPECT_EQ(measuring.TGetProperty("_root", 8), "100");
    EXPECT_EQ(measuring.TGetProperty("_root", 9), "50");
    EXPECT_EQ(measuring.TGetProperty("_root", 0), "0");
    EXPECT_EQ(measuring.TGetProperty("_root", 1), "0");
    EXPECT_EQ(measuring.GetVariable("_root.item.prop"), "a=1&b=2");
    EXPECT_EQ(measuring.LoadError(0), "");
  }
}

TEST_F(ShockwaveFlashTest, LoadArrivesOnlyWhenEventsArePumped) {
  QSignalSpy commands(&FFlash, &TShockwaveFlash::FSCommand);
  FFlash.LoadMovie(101, Write("clip.swf", Clip()));
  EXPECT_EQ(commands.count(), 0);
  EXPECT_THROW(FFlash.TGetProperty("_level101", 0), std::runtime_error);
  QCoreApplication::processEvents();
  ASSERT_EQ(commands.count(), 1);
  EXPECT_EQ(commands[0][0].toString(), "load");
  EXPECT_EQ(commands[0][1].toString(), "_level101");
}

TEST_F(ShockwaveFlashTest, ReachesLevelsAndVariablesByPath) {
  LoadMainMovie();
  LoadClip(101, Write("clip.swf", Clip()));
  EXPECT_EQ(FFlash.TGetProperty("_level101", 11), "_level101");
  EXPECT_EQ(FFlash.TGetProperty("_root._level101", 11), "_level101");
  // Level 0's root answers with the slash path of the main movie.
  EXPECT_EQ(FFlash.TGetProperty("_root", 11), "/");
  EXPECT_EQ(FFlash.TGetProperty("_level101.item", 13), "item");
  EXPECT_EQ(FFlash.GetVariable("_root._level101.item.prop"), "a=1&b=2");
  FFlash.SetVariable("_root._level101.item.key", "value");
  FFlash.SetVariable("_root._level101.item.", "");
  EXPECT_EQ(FFlash.GetVariable("_level101.item.key"), "value");
  EXPECT_EQ(FFlash.GetVariable("_root.item.key"), ""); // level 0 has no item
  FFlash.SetVariable("rootVariable", "1");
  EXPECT_EQ(FFlash.GetVariable("_root.rootVariable"), "1");
  EXPECT_EQ(FFlash.GetVariable("_level7.anything"), "");
  EXPECT_EQ(FFlash.GetVariable("_level101.item.key.deeper"), "");
}

TEST_F(ShockwaveFlashTest, LevelSegmentSelectsItsLevelWithoutMainMovie) {
  LoadClip(101, Write("clip.swf", Clip()));
  EXPECT_EQ(FFlash.TGetProperty("_root._level101", 11), "_level101");
  EXPECT_EQ(FFlash.GetVariable("_root._level101.item.prop"), "a=1&b=2");
  FFlash.TSetProperty("_root._level101", 7, "0");
  EXPECT_EQ(FFlash.TGetProperty("_level101", 7), "0");
  EXPECT_THROW(FFlash.TGetProperty("_root", 11), std::runtime_error);
}

TEST_F(ShockwaveFlashTest, SetsPropertiesAndScalesBySize) {
  LoadMainMovie();
  LoadClip(101, Write("clip.swf", Clip()));
  FFlash.TSetProperty("_level101", 0, "10.13");
  FFlash.TSetProperty("_level101", 1, "-2.50");
  FFlash.TSetProperty("_level101", 8, "200.00");
  FFlash.TSetProperty("_level101", 9, "25");
  FFlash.TSetProperty("_level101", 10, "not a number");
  EXPECT_EQ(FFlash.TGetProperty("_level101", 0), "10.13");
  EXPECT_EQ(FFlash.TGetProperty("_level101", 1), "-2.5");
  EXPECT_EQ(FFlash.TGetProperty("_level101", 8), "200");
  EXPECT_EQ(FFlash.TGetProperty("_level101", 2), "200");
  EXPECT_EQ(FFlash.TGetProperty("_level101", 3), "50");
  EXPECT_EQ(FFlash.TGetProperty("_level101", 10), "0");
  EXPECT_EQ(FFlash.TGetProperty("_level101", 6), "100");
  FFlash.TSetProperty("_root._level101", 7, "0");
  EXPECT_EQ(FFlash.TGetProperty("_level101", 7), "0");
  FFlash.TSetProperty("_root._level101", 7, "1");
  EXPECT_EQ(FFlash.TGetProperty("_level101", 7), "1");
  EXPECT_EQ(FFlash.TGetProperty("_level101", 4), "1"); // _currentframe: the first is shown
  EXPECT_THROW(FFlash.TGetProperty("_level101", 14), std::runtime_error);
  EXPECT_THROW(FFlash.TGetProperty("_level101.nothing", 0), std::runtime_error);
}

TEST_F(ShockwaveFlashTest, RootSizeFollowsPlacedContentOrElseTheFrame) {
  const QByteArray placed = File(RectangleShape(1, QRect(0, 0, 1000, 400), Qt::red) +
                                     Place(1, 1, 2000, 0, {}, 1.5) + Place(2, 1, 0, 1000),
                                 'F', 8000, 6000);
  FFlash.SetMovie(Write("placed.swf", placed));
  FFlash.Play();
  EXPECT_EQ(Number("_root", 8), 175); // 0..1000 and 2000..3500 twips
  EXPECT_EQ(Number("_root", 9), 70);  // 0..1400 twips
  FFlash.SetMovie(Write("empty.swf", File({}, 'F', 6000, 2000)));
  FFlash.Play();
  EXPECT_EQ(Number("_root", 8), 300);
  EXPECT_EQ(Number("_root", 9), 100);
}

TEST_F(ShockwaveFlashTest, ALevelWithoutMovieThrowsOnReadsAndIgnoresWrites) {
  const QString missing = FDir.filePath("missing.swf");
  const QString broken = Write("broken.swf", "FWS\x0a garbage");
  for (const QString& path : {QString(), FDir.path(), missing, broken}) {
    SCOPED_TRACE(path.toStdString());
    FFlash.SetMovie(path);
    FFlash.Play();
    EXPECT_EQ(FFlash.Movie(), path);
    EXPECT_THROW(FFlash.TGetProperty("_root", 8), std::runtime_error);
    EXPECT_EQ(FFlash.GetVariable("_root.item.prop"), "");
    EXPECT_NO_THROW(FFlash.SetVariable("_root.item.prop", "x"));
    EXPECT_NO_THROW(FFlash.TSetProperty("_root", 0, "1"));
  }
  EXPECT_NE(FFlash.LoadError(0), "");
  LoadClip(3, missing);
  EXPECT_THROW(FFlash.TGetProperty("_level3", 0), std::runtime_error);
  EXPECT_NE(FFlash.LoadError(3), "");
}

// The message of the error TGetProperty throws for target, or "" when it answers.
QString PropertyError(TShockwaveFlash& flash, const QString& target) {
  try {
    flash.TGetProperty(target, 8);
  } catch (const std::runtime_error& error) {
    return QString::fromStdString(error.what());
  }
  return {};
}

// A clip whose first frame makes more objects than a level may hold: a sprite placing twenty
// of a sprite placing twenty of ... a shape, five placements deep (over 160,000 objects).
QByteArray CrowdedClip() {
  QByteArray tags = RectangleShape(1, QRect(0, 0, 20, 20), ClipBlue);
  for (int sprite = 2; sprite <= 5; ++sprite) {
    QByteArray places;
    for (int depth = 1; depth <= 20; ++depth)
      places += Place(depth, sprite - 1);
    tags += Sprite(sprite, places);
  }
  return File(tags + Place(1, 5));
}

// Whatever stops a file from playing, the error names the file and the reason, both in
// LoadError and when a property of the level that stayed empty is read.
TEST_F(ShockwaveFlashTest, LoadErrorsNameTheFileAndTheReason) {
  QByteArray corruptZlib = Clip('C');
  corruptZlib[8] = 0x00;
  const std::pair<QString, QString> cases[] = {
      {Write("garbage.swf", "GIF89a, not a movie at all"), "not a Flash movie (bad signature)"},
      {Write("cut.swf", Clip().left(17)), "truncated ("},
      {Write("short.swf", "FWS\x08"), "truncated (4 bytes, shorter than the 8-byte header)"},
      {Write("zlib.swf", corruptZlib), "compressed body corrupt (zlib: "},
      {Write("crowded.swf", CrowdedClip()), "too many objects on the first frame"},
      {FDir.filePath("missing.swf"), "cannot open (No such file or directory)"},
  };
  for (const auto& [path, reason] : cases) {
    SCOPED_TRACE(path.toStdString());
    const QString expected = path + ": " + reason;
    TShockwaveFlash measuring;
    measuring.SetMovie(path);
    measuring.Play();
    EXPECT_TRUE(measuring.LoadError(0).startsWith(expected))
        << measuring.LoadError(0).toStdString();
    EXPECT_EQ(PropertyError(measuring, "_root"), measuring.LoadError(0));

    LoadClip(7, path);
    EXPECT_TRUE(FFlash.LoadError(7).startsWith(expected)) << FFlash.LoadError(7).toStdString();
    EXPECT_EQ(PropertyError(FFlash, "_root._level7"), FFlash.LoadError(7));
  }
  // A level that was never loaded has no file to name.
  EXPECT_EQ(PropertyError(FFlash, "_level8"), "no movie clip at _level8");
}

TEST_F(ShockwaveFlashTest, LoadMovieReplacesTheLevel) {
  LoadClip(5, Write("clip.swf", Clip()));
  FFlash.TSetProperty("_level5", 0, "30");
  LoadClip(5, Write("other.swf", File({}, 'F', 1000, 1000)));
  EXPECT_EQ(FFlash.TGetProperty("_level5", 0), "0");
  EXPECT_EQ(FFlash.TGetProperty("_level5", 8), "50");
  EXPECT_EQ(FFlash.GetVariable("_level5.item.prop"), "");
  LoadClip(5, FDir.filePath("missing.swf"));
  EXPECT_THROW(FFlash.TGetProperty("_level5", 0), std::runtime_error);
}

TEST_F(ShockwaveFlashTest, ParsesAClipOnceForMeasuringAndLoading) {
  const QString path = Write("cached.swf", Clip());
  const quint64 before = MovieCache::Instance().ParseCount();
  {
    TShockwaveFlash measuring;
    measuring.SetMovie(path);
    measuring.Play();
  }
  LoadClip(101, path);
  LoadClip(102, path);
  EXPECT_EQ(MovieCache::Instance().ParseCount(), before + 1);
  Write("cached.swf", File({}, 'F', 1000, 1000));
  LoadClip(103, path);
  EXPECT_EQ(MovieCache::Instance().ParseCount(), before + 2);
  EXPECT_EQ(Number("_level103", 8), 50);
}

TEST_F(ShockwaveFlashTest, DrawsTheStageScaledFromTheTopLeft) {
  LoadMainMovie();
  FFlash.SetBackgroundColor(13621210);
  LoadClip(101, Write("clip.swf", Clip()));
  FFlash.TSetProperty("_level101", 0, "200");
  FFlash.TSetProperty("_level101", 1, "100");
  LoadClip(102, Write("shapeless.swf", File({}, 'F', 1000, 1000)));
  FFlash.TSetProperty("_level102", 0, "20");
  FFlash.TSetProperty("_level102", 1, "200");
  const QColor grey(218, 216, 207);
  EXPECT_TRUE(Near(PixelAt(5, 5), grey));
  EXPECT_TRUE(Near(PixelAt(250, 125), ClipBlue));
  EXPECT_TRUE(Near(PixelAt(310, 125), grey));
  EXPECT_TRUE(Near(PixelAt(250, 160), grey));
  const QColor placeholder = PixelAt(30, 210);
  EXPECT_FALSE(Near(placeholder, grey));
  EXPECT_TRUE(Near(PixelAt(80, 210), grey));

  // Twice as wide as the movie's proportions: the height decides the scale.
  FFlash.resize(800, 150);
  EXPECT_TRUE(Near(PixelAt(110, 55), ClipBlue));
  EXPECT_TRUE(Near(PixelAt(160, 55), grey));

  FFlash.TSetProperty("_root._level101", 7, "0");
  EXPECT_TRUE(Near(PixelAt(110, 55), grey));
}

TEST_F(ShockwaveFlashTest, DrawingLayerStaysUntilTheStageIsRepainted) {
  LoadMainMovie();
  QImage& layer = FFlash.DrawingLayer();
  EXPECT_EQ(layer.size(), QSize(400, 300));
  QPainter(&layer).fillRect(10, 10, 5, 5, Qt::red);
  EXPECT_TRUE(Near(PixelAt(12, 12), QColor(Qt::red)));
  EXPECT_TRUE(Near(PixelAt(20, 20), QColor(Qt::white)));
  FFlash.Repaint();
  EXPECT_TRUE(Near(PixelAt(12, 12), QColor(Qt::white)));

  // A resize redraws the whole control, which wipes the layer too.
  QPainter(&layer).fillRect(10, 10, 5, 5, Qt::red);
  FFlash.resize(500, 300);
  EXPECT_TRUE(Near(PixelAt(12, 12), QColor(Qt::white)));
  EXPECT_EQ(FFlash.DrawingLayer().size(), QSize(500, 300));
}

TEST_F(ShockwaveFlashTest, ControlBasics) {
  EXPECT_TRUE(FFlash.Menu());
  EXPECT_NO_THROW(FFlash.DoVerb(-1));
  EXPECT_THROW(FFlash.DoVerb(7), std::runtime_error);
}
