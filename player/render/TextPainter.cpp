#include "player/render/TextPainter.h"

#include "player/swf/SwfText.h"
#include "player/TextField.h"

#include <QPainter>

void PaintTextField(QPainter& painter, const TextField& field, const PlayerStage& stage) {
  const SwfEditText& definition = field.Definition();
  painter.save();
  if (definition.Border) {
    painter.fillRect(definition.Bounds, Qt::white);
    painter.setPen(QPen(Qt::black, 0));
    painter.drawRect(definition.Bounds);
  }
  painter.setClipRect(definition.Bounds, Qt::IntersectClip);
  field.Layout(field.CurrentText(stage)).Draw(painter);
  painter.restore();
}

void PaintStaticText(QPainter& painter, const SwfStaticText& text) {
  for (const SwfStaticText::Run& run : text.Runs)
    painter.fillPath(run.Path, run.Color);
}
