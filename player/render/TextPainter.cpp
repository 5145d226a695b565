#include "player/render/TextPainter.h"

#include "player/TextField.h"
#include "player/swf/SwfText.h"

#include <QPainter>
#include <cmath>

namespace {

// A field's background and its border of one crisp device pixel: the border runs through
// the pixels at the bounds' edges, its right and bottom lines just outside the background. A
// turned or skewed field draws them as an outline through its transform.
void PaintFrame(QPainter& painter, const QRectF& bounds, const QColor& background,
                const QColor& border) {
  const QTransform transform = painter.transform();
  if (!transform.isAffine() || transform.m12() != 0 || transform.m21() != 0) {
    painter.fillRect(bounds, background);
    painter.setPen(QPen(border, 0));
    painter.drawRect(bounds);
    return;
  }
  const QRectF device = transform.mapRect(bounds);
  const QRect pixels(
      QPoint(int(std::lround(device.left())), int(std::lround(device.top()))),
      QPoint(int(std::lround(device.right())) - 1, int(std::lround(device.bottom())) - 1));
  painter.save();
  painter.resetTransform();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(pixels, background);
  painter.setPen(QPen(border, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(pixels);
  painter.restore();
}

} // namespace

void PaintTextField(QPainter& painter, const TextField& field, const PlayerStage& stage) {
  if (!field.IsVisible())
    return;
  const SwfEditText& definition = field.Definition();
  painter.save();
  if (definition.Border || field.HasBackground())
    PaintFrame(painter, definition.Bounds,
               field.HasBackground() ? field.BackgroundColor() : QColor(Qt::transparent),
               definition.Border ? field.BorderColor() : QColor(Qt::transparent));
  painter.setClipRect(definition.Bounds, Qt::IntersectClip);
  const QPointF scroll = field.ScrollOffset();
  if (field.DrawsRuns(stage)) {
    const FormattedOutlines& runs = field.RunLayout();
    painter.translate(-scroll);
    runs.Draw(painter);
  } else {
    const TextLayout& layout = field.Layout(field.CurrentText(stage));
    painter.translate(-scroll);
    layout.Draw(painter);
  }
  painter.restore();
}

void PaintStaticText(QPainter& painter, const SwfStaticText& text) {
  for (const SwfStaticText::Run& run : text.Runs)
    painter.fillPath(run.Path, run.Color);
}
