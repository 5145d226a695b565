// Playing clips over time: what a stage of stopped clips costs while it sits idle, and what
// one frame of animating clips costs, repaint included.
#include "player/ShockwaveFlash.h"
#include "player/swf/SwfFileDecoder.h"
#include "tools/swfgen/ClipDescription.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <ctime>

namespace {

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

void AppendU16(QByteArray& bytes, int value) {
  bytes.append(char(value & 0xFF));
  bytes.append(char((value >> 8) & 0xFF));
}

// A 100 x 100 pixel clip whose root moves its 50-pixel square 40 pixels right on frame 2 and
// back on frame 1, looping.
QByteArray AnimatedClipBytes() {
  const QByteArray still =
      swfgen::ClipDescription::parse(QStringLiteral("frame 100 100\nrate 24\n"
                                                    "rect 0 0 50 50 #D04030\n"),
                                     nullptr)
          ->toSwf();
  QByteArray body = DecodeSwfFile(still).Body;
  body.chop(2); // the End tag; the body ends with frame 1's ShowFrame
  // PlaceObject2 moving depth 1 to (800, 0) twips: translate-only matrix of 11-bit fields.
  const quint64 bits = (0ull << 63) | (0ull << 62) | (11ull << 57) | (800ull << 46);
  QByteArray place;
  place.append(char(0x05));
  AppendU16(place, 1);
  for (int i = 0; i < 4; ++i)
    place.append(char((bits >> (56 - 8 * i)) & 0xFF));
  AppendU16(body, (26 << 6) | int(place.size()));
  body += place;
  AppendU16(body, 1 << 6); // ShowFrame
  AppendU16(body, 0);      // End
  // The frame count follows the frame rectangle and the rate.
  const int rectBytes = (5 + 4 * (quint8(body[0]) >> 3) + 7) / 8;
  body[rectBytes + 2] = 2;
  body[rectBytes + 3] = 0;
  QByteArray file("FWS");
  file.append(char(8));
  const quint32 length = quint32(body.size() + 8);
  for (int i = 0; i < 4; ++i)
    file.append(char((length >> (8 * i)) & 0xFF));
  return file + body;
}

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  QFile file(path);
  if (file.open(QIODevice::WriteOnly))
    file.write(bytes);
  return path;
}

void LoadClips(TShockwaveFlash& stage, const QString& path, int count) {
  for (int i = 0; i < count; ++i)
    stage.LoadMovie(101 + i, path);
  QCoreApplication::processEvents();
  for (int i = 0; i < count; ++i)
    stage.TSetProperty(QStringLiteral("_level%1").arg(101 + i), 0, QString::number(i % 40 * 20));
}

// Loads count of the demo repository's clips, the six types in turn, and sends each one its
// position and item properties as the designer does when a clip reports "load"; every tenth
// lamp blinks when blinking is asked for.
void LoadDemoClips(TShockwaveFlash& stage, int count, bool blinking) {
  static const QStringList types{QStringLiteral("button"), QStringLiteral("frame"),
                                 QStringLiteral("gauge"),  QStringLiteral("label"),
                                 QStringLiteral("lamp"),   QStringLiteral("slider")};
  for (int i = 0; i < count; ++i)
    stage.LoadMovie(
        101 + i,
        QStringLiteral(VISTALOOM_BIN_DIR "/repository/%1.swf").arg(types.at(i % types.size())));
  QCoreApplication::processEvents();
  for (int i = 0; i < count; ++i) {
    const QString level = QStringLiteral("_level%1").arg(101 + i);
    stage.TSetProperty(level, 0, QString::number(i % 40 * 20));
    const QString item = QStringLiteral("_root.%1.item.").arg(level);
    stage.SetVariable(item + "color", i % 2 ? QStringLiteral("red") : QStringLiteral("#2F6FD0"));
    stage.SetVariable(item + "value", QString::number(i % 100));
    stage.SetVariable(item + "state", QStringLiteral("on"));
    stage.SetVariable(item + "blink",
                      blinking && i % 60 == 4 ? QStringLiteral("1") : QStringLiteral("0"));
  }
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
  int Paints = 0;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint)
      ++Paints;
    return QObject::eventFilter(watched, event);
  }
};

} // namespace

// A shown stage of 1,000 stopped demo clips of every type, their item properties set: the
// process's CPU time per second of idling, in percent of one core.
static void BM_Idle1000StoppedClips(benchmark::State& state) {
  TShockwaveFlash stage;
  stage.resize(800, 600);
  stage.show();
  LoadDemoClips(stage, 1000, false);
  QCoreApplication::processEvents();
  double cpu = 0;
  for (auto _ : state) {
    const double before = ProcessCpuSeconds();
    QEventLoop idle;
    QTimer::singleShot(1000, &idle, &QEventLoop::quit);
    idle.exec();
    cpu += ProcessCpuSeconds() - before;
  }
  state.counters["cpu_percent"] = 100 * cpu / double(state.iterations());
}
BENCHMARK(BM_Idle1000StoppedClips)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100 clips animating on a shown stage: one frame, the repaint of what moved included.
static void BM_Frame100AnimatingClips(benchmark::State& state) {
  const QTemporaryDir dir;
  const QString clip = Write(dir, "animated.swf", AnimatedClipBytes());
  TShockwaveFlash stage;
  stage.UseVirtualClock();
  stage.resize(800, 600);
  stage.show();
  LoadClips(stage, clip, 100);
  QCoreApplication::processEvents();
  PaintCounter counter;
  stage.installEventFilter(&counter);
  for (auto _ : state) {
    stage.AdvanceFrame();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
  state.counters["paints_per_frame"] = double(counter.Paints) / double(state.iterations());
}
BENCHMARK(BM_Frame100AnimatingClips)->Unit(benchmark::kMillisecond);

// The same 1,000 demo clips with every sixtieth lamp blinking (17 lamps): one frame, the
// repaint of what changed included.
static void BM_Frame1000DemoClipsBlinking(benchmark::State& state) {
  TShockwaveFlash stage;
  stage.UseVirtualClock();
  stage.resize(800, 600);
  stage.show();
  LoadDemoClips(stage, 1000, true);
  QCoreApplication::processEvents();
  PaintCounter counter;
  stage.installEventFilter(&counter);
  for (auto _ : state) {
    stage.AdvanceFrame();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
  state.counters["paints_per_frame"] = double(counter.Paints) / double(state.iterations());
}
BENCHMARK(BM_Frame1000DemoClipsBlinking)->Unit(benchmark::kMillisecond);
