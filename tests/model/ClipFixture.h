#pragma once

#include "tools/swfgen/ActionWriter.h"
#include "tools/swfgen/SwfWriter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <optional>
#include <stdexcept>

// What a test clip holds on frame 1. Geometry is in twips (1/20 pixel) so fractional sizes
// can be measured.
struct TClipContent {
  QRect ShapeTwips{0, 0, 400, 200};
  // The "item" sprite's prop text; no sprite when absent.
  std::optional<QString> ItemProps;
  // Extra root frame-1 actions, run before the "load" announcement.
  std::function<void(swfgen::ActionWriter&)> RootScript;
};

// Writes real SWF clips into a temporary folder for the lifetime of the fixture.
class TClipFolder {
public:
  QString Clip(const QString& Name, const TClipContent& Content = {}) {
    using namespace swfgen;
    QByteArray Tags = SwfWriter::defineRectangleShape(1, Content.ShapeTwips.size(), 0x3366cc);
    Tags += SwfWriter::placeObject2(1, 1, Content.ShapeTwips.topLeft());
    if (Content.ItemProps) {
      const QByteArray SpriteTags =
          SwfWriter::doAction(
              ActionWriter().setVariable(QStringLiteral("prop"), *Content.ItemProps).bytes()) +
          SwfWriter::showFrame() + SwfWriter::end();
      Tags += SwfWriter::defineSprite(2, 1, SpriteTags);
      Tags += SwfWriter::placeObject2(2, 2, QPoint(), QStringLiteral("item"));
    }
    ActionWriter RootScript;
    if (Content.RootScript)
      Content.RootScript(RootScript);
    Tags += SwfWriter::doAction(RootScript.fsCommandWithTarget(QStringLiteral("load")).bytes());
    Tags += SwfWriter::showFrame() + SwfWriter::end();
    const QByteArray Swf = SwfWriter::file(
        SwfSignature::Fws, 13, SwfWriter::movieBody(QRect(0, 0, 8000, 6000), 24, 1, Tags));
    const QString Path = FDir.filePath(Name + QStringLiteral(".swf"));
    QFile File(Path);
    if (!File.open(QIODevice::WriteOnly) || File.write(Swf) != Swf.size())
      throw std::runtime_error("cannot write test clip");
    return Path;
  }

  QString Path(const QString& Name) const { return FDir.filePath(Name); }

private:
  QTemporaryDir FDir;
};

// Lets queued work run until Done holds or a few seconds pass.
inline bool WaitFor(const std::function<bool()>& Done) {
  QDeadlineTimer Deadline(5000);
  while (!Done()) {
    if (Deadline.hasExpired())
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}
