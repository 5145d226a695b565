#include "player/render/StagePainter.h"

#include "player/PlayerStage.h"
#include "player/render/RenderCache.h"
#include "player/render/ShapePainter.h"
#include "player/swf/SwfShape.h"
#include "player/render/TextPainter.h"

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

bool IsTransparent(const SwfColorTransform& colors) {
  return colors.Multiply[3] <= 0 && colors.Add[3] <= 0;
}

// The area a mask entry covers, in device coordinates: the union of the fills of its shape,
// or of every shape inside its clip.
void AddMaskArea(QPainterPath& area, const MovieClip::DisplayEntry& entry,
                 const QTransform& transform) {
  if (entry.Shape) {
    const QTransform shapeTransform = entry.Matrix * transform;
    for (const SwfShape::Fill& fill : entry.Shape->Fills)
      area.addPath(shapeTransform.map(fill.Path));
  } else if (entry.Clip) {
    const QTransform clipTransform = entry.Clip->Transform() * transform;
    for (const MovieClip::DisplayEntry& inner : entry.Clip->DisplayList())
      AddMaskArea(area, inner, clipTransform);
  }
}

} // namespace

void StagePainter::Paint(const QRect& area, const QColor& background) {
  FPainter.fillRect(area, background);
  FPainter.setRenderHint(QPainter::Antialiasing);
  const QTransform stage = StageTransform(FStage, area);
  FStageScale = stage.m11() * TwipsPerPixel;
  for (const auto& [number, level] : FStage.Levels()) {
    if (number > 0 && !level->HasDrawnShapes())
      DrawPlaceholder(*level->Root(), stage, level->TypeName());
    else
      DrawClip(*level->Root(), stage, {});
  }
  FPainter.resetTransform();
  FPainter.setOpacity(1);
}

void StagePainter::DrawClip(const MovieClip& clip, const QTransform& parent,
                            const SwfColorTransform& colors) {
  const SwfColorTransform clipColors = clip.ColorTransform().Then(colors);
  if (!clip.IsVisible() || IsTransparent(clipColors))
    return;
  DrawEntries(clip.DisplayList(), 0, clip.DisplayList().size(), clip.Transform() * parent,
              clipColors);
}

void StagePainter::DrawEntries(const Entries& entries, size_t begin, size_t end,
                               const QTransform& transform, const SwfColorTransform& colors) {
  for (size_t index = begin; index < end; ++index) {
    const MovieClip::DisplayEntry& entry = entries[index];
    if (entry.ClipDepth <= 0) {
      DrawEntry(entry, transform, colors);
      continue;
    }
    size_t masked = index + 1;
    while (masked < end && entries[masked].Depth <= entry.ClipDepth)
      ++masked;
    QPainterPath area;
    area.setFillRule(Qt::WindingFill);
    AddMaskArea(area, entry, transform);
    FPainter.save();
    FPainter.resetTransform();
    FPainter.setClipPath(area, FPainter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    DrawEntries(entries, index + 1, masked, transform, colors);
    FPainter.restore();
    index = masked - 1;
  }
}

void StagePainter::DrawEntry(const MovieClip::DisplayEntry& entry, const QTransform& transform,
                             const SwfColorTransform& colors) {
  if (entry.Clip)
    DrawClip(*entry.Clip, transform, colors);
  else if (entry.Shape)
    DrawShape(*entry.Shape, entry.Matrix * transform, entry.ColorTransform.Then(colors));
  else
    DrawText(entry, entry.Matrix * transform, entry.ColorTransform.Then(colors));
}

void StagePainter::DrawShape(const SwfShape& shape, const QTransform& transform,
                             const SwfColorTransform& colors) {
  if (!shape.HasDrawing() || IsTransparent(colors))
    return;
  if (FCache) {
    FCache->Draw(FPainter, shape, transform, colors, FStageScale);
    return;
  }
  FPainter.setTransform(transform);
  ShapePainter(FPainter, FStageScale).Paint(shape, colors);
}

void StagePainter::DrawText(const MovieClip::DisplayEntry& entry, const QTransform& transform,
                            const SwfColorTransform& colors) {
  const double opacity = colors.Channel(3, 255) / 255.0;
  if ((!entry.Field && !entry.StaticText) || opacity <= 0)
    return;
  FPainter.setTransform(transform);
  FPainter.setOpacity(opacity);
  if (entry.Field)
    PaintTextField(FPainter, *entry.Field, FStage);
  else
    PaintStaticText(FPainter, *entry.StaticText);
  FPainter.setOpacity(1);
}

void StagePainter::DrawPlaceholder(const MovieClip& root, const QTransform& stage,
                                   const QString& label) {
  const double opacity = root.ColorTransform().Multiply[3];
  if (!root.IsVisible() || opacity <= 0)
    return;
  const QRectF box = (root.Transform() * stage).mapRect(root.ContentBounds());
  FPainter.resetTransform();
  FPainter.setOpacity(std::min(opacity, 1.0));
  FPainter.fillRect(box, PlaceholderFill);
  FPainter.setPen(PlaceholderBorder);
  FPainter.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
  FPainter.setPen(PlaceholderText);
  FPainter.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, label);
}
