// The seeds are where every fuzz run starts: a seed the reader rejects leaves the code behind
// that rejection unexplored without any run telling. These tests read the committed seeds.
#include "player/PlayerStage.h"
#include "player/render/StagePainter.h"
#include "player/swf/SwfParser.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// Every file of fuzz/corpus/<target>, with its name.
QList<std::pair<QString, QByteArray>> Seeds(const QString& target) {
  QList<std::pair<QString, QByteArray>> seeds;
  const QDir folder(QStringLiteral(VISTALOOM_SOURCE_DIR "/fuzz/corpus/") + target);
  for (const QFileInfo& info : folder.entryInfoList(QDir::Files, QDir::Name)) {
    QFile file(info.filePath());
    if (file.open(QIODevice::ReadOnly))
      seeds.append({info.fileName(), file.readAll()});
  }
  return seeds;
}

} // namespace

// Each SWF seed is a movie the player reads, plays as the main movie and as a clip, and draws.
TEST(SeedCorpus, SwfSeedsAreMoviesThePlayerPlaysAndDraws) {
  const auto seeds = Seeds(QStringLiteral("fuzz_swf"));
  ASSERT_GE(seeds.size(), 10);
  for (const auto& [name, bytes] : seeds) {
    SCOPED_TRACE(name.toStdString());
    try {
      PlayerStage stage(nullptr);
      const auto movie = ParseSwfMovie(bytes);
      stage.LoadLevel(0, movie, QStringLiteral("main"));
      stage.LoadLevel(101, movie, QStringLiteral("clip"));
      QImage image(64, 48, QImage::Format_ARGB32_Premultiplied);
      QPainter painter(&image);
      StagePainter(painter, stage).Paint(image.rect(), Qt::white);
    } catch (const std::runtime_error& error) {
      ADD_FAILURE() << error.what();
    }
  }
}
