#include "player/ShockwaveFlash.h"
#include "tools/swfgen/ActionWriter.h"
#include "tools/swfgen/ClipDescription.h"
#include "tools/swfgen/SwfWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A 200 x 200 pixel clip: a blue rectangle at the root and in an "item" sprite whose
// script sets prop to "a=1&b=2"; the root announces itself with fscommand("load", ...).
const QByteArray ClipBytes = QByteArray::fromHex(
    "4657530ae000000068001f400007d000000c01004302a0a0a42108010060003e80001f4001000000ffff00"
    "1015a0000007b0fa1da3e8ecc1876f0600ff095600000002000100a000010060003e80001f4001000000ff"
    "001015a0000007b0fa1da3e8ecc1876f060087060601000100020021039606000074686973001c96060000"
    "70726f700096090000613d3126623d32004f004000000093062601000200c980006000093232006974656d"
    "002f03961000004653436f6d6d616e643a6c6f6164009606000074686973001c960900005f746172676574"
    "004e9a010000000000");

constexpr int Clips = 1000;

// A 100 x 100 pixel clip drawn as real control clips are: a gradient plate and a 64 x 64
// bitmap over it, with the same item sprite and announcement.
QByteArray PaintedClipBytes() {
  return swfgen::ClipDescription::parse(
             QStringLiteral("frame 100 100\n"
                            "gradient 0 0 100 60 linear 0:#4CB07A,255:#1F6B41\n"
                            "bitmap 18 30 64 64 lossless2-32 8 #3E8ED0 #ECF0F180\n"
                            "item a=1&b=2\nload\n"),
             nullptr)
      ->toSwf();
}

// A 100 x 100 pixel clip whose 80 x 60 plate is placed with a drop shadow (blur 4, distance
// 4 at 45 degrees, black at half alpha), as the buttons and panels of control interfaces are.
QByteArray ShadowedClipBytes() {
  using namespace swfgen;
  QByteArray place3;
  place3.append(char(0x06)).append(char(0x01)); // character and matrix; a filter list
  place3.append(char(1)).append(char(0)).append(char(2)).append(char(0));
  place3.append(SwfWriter::translateMatrix(QPoint(200, 200)));
  const auto fixed = [&place3](double value) {
    const qint32 raw = qint32(value * 65536);
    for (int i = 0; i < 4; ++i)
      place3.append(char(raw >> (8 * i)));
  };
  place3.append(char(1)).append(char(0)); // one filter: a drop shadow
  place3.append(char(0)).append(char(0)).append(char(0)).append(char(128));
  fixed(4);
  fixed(4);
  fixed(0.785);
  fixed(4);
  place3.append(char(0)).append(char(1)).append(char(0x21)); // strength 1; composite, 1 pass
  const QByteArray tags =
      SwfWriter::setBackgroundColor(qRgb(255, 255, 255)) +
      SwfWriter::defineRectangleShape(1, QSize(1600, 1200), qRgb(0x3E, 0x8E, 0xD0)) +
      SwfWriter::defineSprite(2, 1,
                              SwfWriter::placeObject2(1, 1, QPoint()) + SwfWriter::showFrame()) +
      SwfWriter::tag(TagCode(70), place3) +
      SwfWriter::doAction(ActionWriter().fsCommandWithTarget(QStringLiteral("load")).bytes()) +
      SwfWriter::showFrame();
  return SwfWriter::file(SwfSignature::Fws, 8,
                         SwfWriter::movieBody(QRect(0, 0, 2000, 2000), 24, 1, tags));
}

class ClipFile {
public:
  explicit ClipFile(const QByteArray& bytes = ClipBytes) : FPath(FDir.filePath("clip.swf")) {
    QFile file(FPath);
    if (file.open(QIODevice::WriteOnly))
      file.write(bytes);
  }
  const QString& Path() const { return FPath; }

private:
  QTemporaryDir FDir;
  QString FPath;
};

void Measure(TShockwaveFlash& flash, const QString& path) {
  flash.SetMovie(path);
  flash.Play();
  for (const int property : {8, 9, 0, 1})
    benchmark::DoNotOptimize(flash.TGetProperty("_root", property));
  benchmark::DoNotOptimize(flash.GetVariable("_root.item.prop"));
}

// Fills a stage with the clip on levels 101 and up, returning once every "load" arrived.
void LoadClips(TShockwaveFlash& stage, const QString& path, int count = Clips) {
  int loaded = 0;
  const auto connection = QObject::connect(&stage, &TShockwaveFlash::FSCommand,
                                           [&loaded](const QString&, const QString&) { ++loaded; });
  for (int i = 0; i < count; ++i)
    stage.LoadMovie(101 + i, path);
  while (loaded < count)
    QCoreApplication::processEvents();
  QObject::disconnect(connection);
}

} // namespace

// What measuring an element costs once its clip is in the cache.
static void BM_MeasureClipWarm(benchmark::State& state) {
  const ClipFile clip;
  TShockwaveFlash flash;
  Measure(flash, clip.Path());
  for (auto _ : state)
    Measure(flash, clip.Path());
}
BENCHMARK(BM_MeasureClipWarm)->Unit(benchmark::kMicrosecond);

// The same with a fresh control each time, as element creation does it.
static void BM_MeasureClipWarmNewControl(benchmark::State& state) {
  const ClipFile clip;
  {
    TShockwaveFlash warm;
    Measure(warm, clip.Path());
  }
  for (auto _ : state) {
    TShockwaveFlash flash;
    Measure(flash, clip.Path());
  }
}
BENCHMARK(BM_MeasureClipWarmNewControl)->Unit(benchmark::kMicrosecond);

static void BM_Load1000Clips(benchmark::State& state) {
  const ClipFile clip;
  for (auto _ : state) {
    TShockwaveFlash stage;
    stage.resize(800, 600);
    LoadClips(stage, clip.Path());
  }
}
BENCHMARK(BM_Load1000Clips)->Unit(benchmark::kMillisecond);

// One repaint of a stage holding count clips, after a first paint (warm).
static void PaintClips(benchmark::State& state, const QByteArray& clipBytes, int count = Clips) {
  const ClipFile clip(clipBytes);
  TShockwaveFlash stage;
  stage.resize(800, 600);
  LoadClips(stage, clip.Path(), count);
  for (int i = 0; i < count; ++i)
    stage.TSetProperty(QStringLiteral("_level%1").arg(101 + i), 0, QString::number(i % 40 * 20));
  QImage image(stage.size(), QImage::Format_ARGB32_Premultiplied);
  stage.render(&image);
  for (auto _ : state)
    stage.render(&image);
}

// Clips of solid rectangles.
static void BM_Paint1000Clips(benchmark::State& state) {
  PaintClips(state, ClipBytes);
}
BENCHMARK(BM_Paint1000Clips)->Unit(benchmark::kMillisecond);

// Clips of a gradient plate and a 64 x 64 bitmap each.
static void BM_Paint1000GradientBitmapClips(benchmark::State& state) {
  PaintClips(state, PaintedClipBytes());
}
BENCHMARK(BM_Paint1000GradientBitmapClips)->Unit(benchmark::kMillisecond);

// 100 clips whose plates cast drop shadows.
static void BM_Paint100DropShadowClips(benchmark::State& state) {
  PaintClips(state, ShadowedClipBytes(), 100);
}
BENCHMARK(BM_Paint100DropShadowClips)->Unit(benchmark::kMillisecond);

// One repaint of a stage holding 1,000 demo labels, each showing its own text through the
// text field bound to its item variable.
static void BM_Paint1000TextClips(benchmark::State& state) {
  const QString label = QStringLiteral(VISTALOOM_BIN_DIR "/repository/label.swf");
  TShockwaveFlash stage;
  stage.resize(800, 600);
  LoadClips(stage, label);
  for (int i = 0; i < Clips; ++i) {
    const QString level = QStringLiteral("_level%1").arg(101 + i);
    stage.TSetProperty(level, 0, QString::number(i % 5 * 160));
    stage.TSetProperty(level, 1, QString::number(i / 5 % 21 * 28));
    stage.SetVariable(QStringLiteral("_root.%1.item.text").arg(level),
                      QStringLiteral("Label %1").arg(i));
  }
  QImage image(stage.size(), QImage::Format_ARGB32_Premultiplied);
  stage.render(&image);
  for (auto _ : state)
    stage.render(&image);
}
BENCHMARK(BM_Paint1000TextClips)->Unit(benchmark::kMillisecond);
