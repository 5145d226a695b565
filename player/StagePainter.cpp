#include "player/StagePainter.h"

#include "player/PlayerStage.h"
#include "player/SwfShape.h"
#include "player/TextPainter.h"

#include <QPainter>
#include <algorithm>

namespace {

const QColor PlaceholderFill(0xC8, 0xCC, 0xD0);
const QColor PlaceholderBorder(0x70, 0x78, 0x80);
const QColor PlaceholderText(0x30, 0x30, 0x30);

// Maps main-movie twips to widget pixels: the movie's frame fits the area at one scale.
QTransform StageTransform(const PlayerStage& stage, const QRect& area) {
  const auto main = stage.Levels().find(0);
  QRectF frame(0, 0, area.width() * TwipsPerPixel, area.height() * TwipsPerPixel);
  if (main != stage.Levels().end() && main->second->Movie().FrameRect.isValid())
    frame = main->second->Movie().FrameRect;
  const double scale = std::min(area.width() / frame.width(), area.height() / frame.height());
  QTransform transform;
  transform.scale(scale, scale);
  transform.translate(-frame.x(), -frame.y());
  return transform;
}

} // namespace

void StagePainter::Paint(const QRect& area, const QColor& background) {
  FPainter.fillRect(area, background);
  FPainter.setRenderHint(QPainter::Antialiasing);
  const QTransform stage = StageTransform(FStage, area);
  for (const auto& [number, level] : FStage.Levels()) {
    if (number > 0 && !level->HasSolidFills())
      DrawPlaceholder(*level->Root(), stage, level->TypeName());
    else
      DrawClip(*level->Root(), stage, 1);
  }
  FPainter.resetTransform();
  FPainter.setOpacity(1);
}

void StagePainter::DrawClip(const MovieClip& clip, const QTransform& parent, double opacity) {
  opacity *= clip.Opacity();
  if (!clip.IsVisible() || opacity <= 0)
    return;
  const QTransform transform = clip.Transform() * parent;
  for (const MovieClip::DisplayEntry& entry : clip.DisplayList()) {
    if (entry.Clip) {
      DrawClip(*entry.Clip, transform, opacity);
      continue;
    }
    if (!entry.Shape) {
      DrawText(entry, entry.Matrix * transform, opacity);
      continue;
    }
    if (entry.Shape->Fills.empty())
      continue;
    FPainter.setTransform(entry.Matrix * transform);
    FPainter.setOpacity(std::min(opacity, 1.0));
    for (const SwfShape::Fill& fill : entry.Shape->Fills)
      FPainter.fillPath(fill.Path, fill.Color);
  }
}

void StagePainter::DrawText(const MovieClip::DisplayEntry& entry, const QTransform& transform,
                            double opacity) {
  if (!entry.Field && !entry.StaticText)
    return;
  FPainter.setTransform(transform);
  FPainter.setOpacity(std::min(opacity, 1.0));
  if (entry.Field)
    PaintTextField(FPainter, *entry.Field, FStage);
  else
    PaintStaticText(FPainter, *entry.StaticText);
}

void StagePainter::DrawPlaceholder(const MovieClip& root, const QTransform& stage,
                                   const QString& label) {
  if (!root.IsVisible() || root.Opacity() <= 0)
    return;
  const QRectF box = (root.Transform() * stage).mapRect(root.ContentBounds());
  FPainter.resetTransform();
  FPainter.setOpacity(std::min(root.Opacity(), 1.0));
  FPainter.fillRect(box, PlaceholderFill);
  FPainter.setPen(PlaceholderBorder);
  FPainter.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
  FPainter.setPen(PlaceholderText);
  FPainter.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, label);
}
