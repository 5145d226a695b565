#include "player/PlayerStage.h"
#include "player/render/StagePainter.h"
#include "player/swf/SwfError.h"
#include "player/swf/SwfParser.h"

#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

// Reads untrusted bytes as an SWF file, plays it as the main movie and as a clip on a level for
// a few frames on a virtual clock, asks what the designer asks of a measured clip, and draws the
// stage into a small image, so the drawing of what was read is fuzzed as well.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const auto movie =
        ParseSwfMovie(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    PlayerStage stage(nullptr);
    stage.Clock().UseVirtualTime();
    stage.LoadLevel(0, movie, QStringLiteral("main"));
    stage.LoadLevel(101, movie, QStringLiteral("fuzz"));
    for (int frame = 0; frame < 4; ++frame)
      stage.AdvanceFrame();
    // The mouse of a preview: moves, a press, a drag and a release over the frame run what
    // the movie's buttons and mouse handlers do.
    const QRectF frame = movie->FrameRect;
    for (const QPointF& at : {frame.center(), frame.topLeft() + QPointF(40, 40), frame.center()}) {
      stage.Mouse().Move(at);
      stage.Mouse().Press();
      stage.Mouse().Move(frame.bottomRight());
      stage.Mouse().Release();
    }
    stage.Mouse().Leave();
    stage.GetVariable(QStringLiteral("_level101.item.prop"));
    for (const int property : {0, 1, 8, 9})
      stage.GetProperty(QStringLiteral("_level101"), property);
    stage.SetProperty(QStringLiteral("_level101"), 8, QStringLiteral("120.5"));
    QImage image(64, 48, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    StagePainter(painter, stage).Paint(image.rect(), Qt::white);
  } catch (const SwfError&) {
  } catch (const std::runtime_error&) {
  }
  return 0;
}
