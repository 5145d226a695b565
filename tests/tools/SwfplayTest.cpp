// The command-line player as a clip author and the conformance scripts run it.
#include "player/swf/SwfFileDecoder.h"
#include "tools/swfgen/ClipDescription.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct PlayResult {
  int ExitCode = -1;
  QString Out;
  QString Err;
};

PlayResult Swfplay(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(VISTALOOM_BIN_DIR "/swfplay"), arguments);
  process.waitForFinished(30000);
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromUtf8(process.readAllStandardOutput()),
          QString::fromUtf8(process.readAllStandardError())};
}

// A 40 x 30 pixel movie on green with a red left half; frame 1 traces "hello" and sends
// fscommand("load", this._target).
QByteArray Movie() {
  const QByteArray described =
      swfgen::ClipDescription::parse(QStringLiteral("frame 40 30\nbackground #00FF00\n"
                                                    "rect 0 0 20 30 #FF0000\nload\n"),
                                     nullptr)
          ->toSwf();
  QByteArray body = DecodeSwfFile(described).Body;
  // Before frame 1's ShowFrame and End: DoAction { push "hello"; trace }.
  body.chop(4);
  QByteArray push = QByteArray::fromHex("960700");
  push += '\0';
  push += "hello";
  push += '\0';
  const QByteArray script = push + QByteArray::fromHex("2600");
  const int header = (12 << 6) | int(script.size()); // DoAction with a short header
  body += char(header & 0xFF);
  body += char(header >> 8);
  body += script;
  body += QByteArray::fromHex("40000000");
  QByteArray file = QByteArray("FWS") + char(described[3]);
  const quint32 length = quint32(body.size() + 8);
  for (int i = 0; i < 4; ++i)
    file += char((length >> (8 * i)) & 0xFF);
  return file + body;
}

} // namespace

TEST(Swfplay, PrintsTracesOnStdoutFsCommandsOnStderrAndDrawsTheStage) {
  QTemporaryDir dir;
  const QString movie = dir.filePath("movie.swf");
  QFile file(movie);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(Movie());
  file.close();

  const PlayResult traced = Swfplay({"--frames", "3", "--trace", movie});
  EXPECT_EQ(traced.ExitCode, 0) << traced.Err.toStdString();
  EXPECT_EQ(traced.Out, "hello\n");
  EXPECT_TRUE(traced.Err.contains("fscommand load /\n")) << traced.Err.toStdString();

  // Without --trace nothing reaches stdout; the picture is the stage at scale 1.
  const QString picture = dir.filePath("stage.png");
  const PlayResult drawn = Swfplay({"--png", picture, movie});
  EXPECT_EQ(drawn.ExitCode, 0);
  EXPECT_EQ(drawn.Out, "");
  const QImage image(picture);
  ASSERT_EQ(image.size(), QSize(40, 30));
  EXPECT_EQ(QColor(image.pixel(5, 15)), QColor(Qt::red));
  EXPECT_EQ(QColor(image.pixel(35, 15)), QColor(Qt::green));
}

TEST(Swfplay, AMovieThatCannotBeReadExitsWithOneAndTheReason) {
  QTemporaryDir dir;
  const QString missing = dir.filePath("missing.swf");
  const PlayResult absent = Swfplay({missing});
  EXPECT_EQ(absent.ExitCode, 1);
  EXPECT_TRUE(absent.Err.contains(missing));

  const QString garbage = dir.filePath("garbage.swf");
  QFile file(garbage);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not a movie at all");
  file.close();
  const PlayResult unreadable = Swfplay({"--trace", garbage});
  EXPECT_EQ(unreadable.ExitCode, 1);
  EXPECT_EQ(unreadable.Out, "");
  EXPECT_TRUE(unreadable.Err.contains(garbage));
}
